#include "canvas/canvas.h"

#include "canvas/owned.h"
#include "canvas/window_proc.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

enum class Kind { kControl, kBitmap };

// Owns its picture: erasing a target from the registry puts the DC's own
// objects back, then deletes the brush, the bitmap and the DC, in that order.
struct Target {
  Kind kind = Kind::kBitmap;
  HANDLE key = nullptr;       // the control's HWND or the bitmap's HBITMAP
  HWND control = nullptr;     // control targets only
  HWND parent = nullptr;      // control targets only: where Attach finds them
  int id = 0;
  OwnedDC dc;                 // holds the picture
  OwnedBitmap bitmap;
  Selection pictureSelected;  // the bitmap in the DC
  Selection fontSelected;     // fonts belong to the font table
  OwnedBrush backgroundBrush;
  int width = 0, height = 0;
  int visibleWidth = 0, visibleHeight = 0;
  COLORREF foreground = 0, background = 0;
  int penWidth = 0;
  int font = 0;
  int lineHeight = 0;
  int x = 0, y = 0;
  bool deferred = true;       // bitmaps never repaint anything
  bool faceCurrent = false;   // the control shows exactly its picture
};

struct FontEntry {
  std::wstring face;
  float points;
  int style;
  OwnedFont handle;           // made the first time the font is selected
};

std::map<HANDLE, std::unique_ptr<Target>> targets;
std::vector<FontEntry> fonts;
thread_local Target* current = nullptr;
WNDPROC staticProc = nullptr;

int Px(float v) { return static_cast<int>(std::lrint(v)); }  // half to even

// Solid for style 0; 1..6 are the GDI hatch patterns.
OwnedBrush MakeBrush(COLORREF color, int fillStyle) {
  if (fillStyle >= 1 && fillStyle <= 6) return OwnedBrush(CreateHatchBrush(fillStyle - 1, color));
  return OwnedBrush(CreateSolidBrush(color));
}

// Every drawing on the control shows at once, as if drawn on the screen.
// Only a repaint of the whole control brings the face up to date: after a
// partial one, whatever was drawn straight into the DC elsewhere still waits.
void Touched(Target& t, const RECT* area) {
  if (t.deferred) return;
  InvalidateRect(t.control, area, FALSE);
  UpdateWindow(t.control);
  if (!area) t.faceCurrent = true;
}

void Touched(Target& t, int left, int top, int right, int bottom, int margin) {
  RECT r{left - margin, top - margin, right + margin, bottom + margin};
  Touched(t, &r);
}

Target* Find(HANDLE key) {
  auto it = targets.find(key);
  return it == targets.end() ? nullptr : it->second.get();
}

Target* FindBitmap(HBITMAP key) {
  Target* t = Find(key);
  return t && t->kind == Kind::kBitmap ? t : nullptr;
}

// Pen colour: -1 stands for the foreground.
COLORREF Resolve(const Target& t, COLORREF color) {
  return color == kDefaultColor ? t.foreground : color;
}

void SelectFontInto(Target& t, int fontId) {
  FontEntry& f = fonts[fontId];
  if (!f.handle) {
    LOGFONTW lf{};
    long double pixels = GetDeviceCaps(t.dc.get(), LOGPIXELSY) * static_cast<long double>(f.points) / 72;
    lf.lfHeight = -static_cast<LONG>(std::lrint(static_cast<double>(pixels)));
    lf.lfWeight = (f.style & kBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (f.style & kItalic) != 0;
    lf.lfUnderline = (f.style & kUnderline) != 0;
    lf.lfStrikeOut = (f.style & kStrikeOut) != 0;
    lf.lfCharSet = ANSI_CHARSET;
    f.face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    f.handle.Reset(CreateFontIndirectW(&lf));
    if (!f.handle) return;
  }
  t.fontSelected.Select(t.dc.get(), f.handle.get());
  t.font = fontId;
  TEXTMETRICW tm{};
  GetTextMetricsW(t.dc.get(), &tm);
  t.lineHeight = tm.tmHeight + tm.tmExternalLeading;
}

void SetBackground(Target& t, COLORREF color) {
  t.background = color;
  t.backgroundBrush.Reset(CreateSolidBrush(color));
  SetBkColor(t.dc.get(), color);
  SetBkMode(t.dc.get(), OPAQUE);
}

void ApplyDefaults(Target& t) {
  t.foreground = GetSysColor(COLOR_WINDOWTEXT);
  SetTextColor(t.dc.get(), t.foreground);
  SetBackground(t, GetSysColor(COLOR_BTNFACE));
  SetTextAlign(t.dc.get(), TA_UPDATECP);
  SelectFontInto(t, NewFont(L"MS Sans Serif", 8, 0));
}

void Unregister(HANDLE key) {
  auto it = targets.find(key);
  if (it == targets.end()) return;
  if (current == it->second.get()) current = nullptr;
  targets.erase(it);
}

// A memory picture compatible with `reference` (the screen when null).
bool MakePicture(Target& t, HDC reference, int width, int height) {
  t.dc.Reset(CreateCompatibleDC(reference));
  if (!t.dc) return false;
  t.bitmap.Reset(CreateCompatibleBitmap(reference, width, height));
  if (!t.bitmap) return false;
  t.pictureSelected.Select(t.dc.get(), t.bitmap.get());
  t.width = width;
  t.height = height;
  return true;
}

bool IsNavigationKey(WPARAM vk) {
  return (vk >= VK_F1 && vk <= VK_F24) || (vk >= VK_PRIOR && vk <= VK_DOWN) ||
         vk == VK_INSERT || vk == VK_DELETE;
}

// Behaviour the map control has ahead of a plain static: it takes the focus
// when pressed and swallows keys, so F10 or the arrows do nothing while the
// map has the focus.
LRESULT CALLBACK CanvasControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (IsNavigationKey(wp)) return 0;
      break;
    case WM_SYSKEYDOWN:
      // Alt+F4 must still close the window.
      if (IsNavigationKey(wp) && !(wp == VK_F4 && (lp & (1 << 29)))) return 0;
      break;
    case WM_CHAR:
      if (wp != VK_TAB) return 0;
      break;
    case WM_NCDESTROY:
      Unregister(hwnd);
      break;
  }
  return CallWindowProcW(staticProc, hwnd, msg, wp, lp);
}

}  // namespace

// Controls are found among the targets by their parent and id, without
// asking the window manager: every message the map control receives
// attaches it, and under Wine each such question is a round trip to the
// server, which costs most when the input comes from another process.
void Attach(HANDLE parentOrBitmap, int controlId) {
  if (controlId != 0) {
    for (auto& [key, t] : targets) {
      if (t->kind == Kind::kControl && t->parent == parentOrBitmap && t->id == controlId) {
        current = t.get();
        return;
      }
    }
  }
  current = Find(parentOrBitmap);
}

void Detach() { current = nullptr; }

// Drawing on the control has already shown itself; repainting identical
// pixels again would double the cost of every pointer move. Only what may
// have been drawn straight into the picture's DC needs a repaint.
void Redraw() {
  if (current && !current->faceCurrent) Touched(*current, nullptr);
}

HBITMAP NewBitmap(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  auto t = std::make_unique<Target>();
  HDC screen = GetDC(nullptr);
  bool made = MakePicture(*t, screen, width, height);
  ReleaseDC(nullptr, screen);
  if (!made) return nullptr;
  t->kind = Kind::kBitmap;
  t->key = t->bitmap.get();
  ApplyDefaults(*t);
  HBITMAP key = t->bitmap.get();
  targets[key] = std::move(t);
  return key;
}

void EndBitmap() {
  if (!current || current->kind != Kind::kBitmap) return;
  Unregister(current->key);
  current = nullptr;
}

SIZE GetCanvasSize() {
  if (!current) return SIZE{0, 0};
  return SIZE{current->width, current->height};
}

HDC GetCanvasDC() {
  if (!current) return nullptr;
  current->faceCurrent = false;  // the caller may draw on it directly
  return current->dc.get();
}

void Clear(COLORREF color, int fillStyle) {
  if (!current) return;
  Target& t = *current;
  RECT all{0, 0, t.width, t.height};
  OwnedBrush brush = MakeBrush(color == kDefaultColor ? t.background : color, fillStyle);
  if (fillStyle >= 1 && fillStyle <= 6) FillRect(t.dc.get(), &all, t.backgroundBrush.get());
  FillRect(t.dc.get(), &all, brush.get());
  t.x = t.y = 0;
  Touched(t, nullptr);
}

void SetColors(COLORREF foreground, COLORREF background) {
  if (!current) return;
  Target& t = *current;
  t.foreground = foreground == kDefaultColor ? GetSysColor(COLOR_WINDOWTEXT) : foreground;
  SetTextColor(t.dc.get(), t.foreground);
  SetBackground(t, background == kDefaultColor ? GetSysColor(COLOR_BTNFACE) : background);
}

void SetWidth(int pixels) {
  if (current) current->penWidth = pixels;
}

void SetPos(float x, float y) {
  if (!current) return;
  current->x = Px(x);
  current->y = Px(y);
}

void DrawLine(float x, float y, COLORREF color) {
  if (!current) return;
  Target& t = *current;
  int toX = Px(x), toY = Px(y);
  {
    OwnedPen pen(CreatePen(PS_SOLID, t.penWidth, Resolve(t, color)));
    Selection drawing(t.dc.get(), pen.get());
    MoveToEx(t.dc.get(), t.x, t.y, nullptr);
    LineTo(t.dc.get(), toX, toY);
  }
  Touched(t, std::min(t.x, toX), std::min(t.y, toY), std::max(t.x, toX) + 1,
          std::max(t.y, toY) + 1, t.penWidth + 1);
  t.x = toX;
  t.y = toY;
}

void Box(float x1, float y1, float x2, float y2, int cornerPercent, COLORREF lineColor,
         COLORREF fillColor, int fillStyle) {
  if (!current) return;
  Target& t = *current;
  int left = Px(x1), top = Px(y1), right = Px(x2), bottom = Px(y2);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  {
    OwnedPen pen(CreatePen(PS_SOLID, t.penWidth, Resolve(t, lineColor)));
    OwnedBrush brush = MakeBrush(Resolve(t, fillColor), fillStyle);
    Selection border(t.dc.get(), pen.get());
    Selection fill(t.dc.get(), brush.get());
    if (cornerPercent > 0) {
      int round = std::min(right - left, bottom - top) * cornerPercent / 100;
      RoundRect(t.dc.get(), left, top, right, bottom, round, round);
    } else {
      Rectangle(t.dc.get(), left, top, right, bottom);
    }
  }
  Touched(t, left, top, right, bottom, t.penWidth + 1);
}

int NewFont(std::wstring_view face, float points, int style) {
  std::wstring name(face.substr(0, 31));
  if (points == 0) points = 8;
  for (size_t i = 0; i < fonts.size(); ++i) {
    if (fonts[i].face == name && fonts[i].points == points && fonts[i].style == style)
      return static_cast<int>(i);
  }
  fonts.push_back(FontEntry{name, points, style, {}});
  return static_cast<int>(fonts.size() - 1);
}

void SetFont(int fontId) {
  if (!current || fontId < 0 || static_cast<size_t>(fontId) >= fonts.size()) return;
  SelectFontInto(*current, fontId);
}

void Print(std::wstring_view text) {
  if (!current) return;
  Target& t = *current;
  RECT line{t.x, t.y, t.width, t.y + t.lineHeight};
  if (!text.empty() && line.left < line.right) {
    SetTextColor(t.dc.get(), t.foreground);
    MoveToEx(t.dc.get(), t.x, t.y, nullptr);
    ExtTextOutW(t.dc.get(), t.x, t.y, ETO_CLIPPED, &line, text.data(),
                static_cast<UINT>(text.size()), nullptr);
    Touched(t, &line);
  }
  t.x = 0;
  t.y += t.lineHeight;
}

void CopyAt(HBITMAP source, float x, float y, int mix) {
  if (!current) return;
  Target* from = FindBitmap(source);
  if (!from) return;
  DWORD rop = SRCCOPY;
  switch (mix) {
    case R2_NOTCOPYPEN: rop = NOTSRCCOPY; break;
    case R2_XORPEN: rop = SRCINVERT; break;
    case R2_MASKPEN: rop = SRCAND; break;
    case R2_MERGEPEN: rop = SRCPAINT; break;
  }
  BitBlt(current->dc.get(), Px(x), Px(y), from->width, from->height, from->dc.get(), 0, 0, rop);
  Touched(*current, nullptr);
}

void CopyAll(HBITMAP source, DWORD rasterOp) {
  if (!current) return;
  Target* from = FindBitmap(source);
  if (!from) return;
  int width = std::min(from->width, current->width);
  int height = std::min(from->height, current->height);
  BitBlt(current->dc.get(), 0, 0, width, height, from->dc.get(), 0, 0, rasterOp);
  Touched(*current, nullptr);
}

void RenderResource(std::wstring_view name, float x1, float y1, float x2, float y2) {
  if (!current || name.empty()) return;
  Target& t = *current;
  std::wstring id(name);
  const wchar_t* resource = id.c_str();
  if (id[0] == L'#' && id.size() > 1 &&
      id.find_first_not_of(L"0123456789", 1) == std::wstring::npos) {
    resource = MAKEINTRESOURCEW(std::wcstoul(id.c_str() + 1, nullptr, 10) & 0xFFFF);
  }
  int left = Px(x1), top = Px(y1);
  int width = Px(x2) - left + 1, height = Px(y2) - top + 1;
  HINSTANCE module = GetModuleHandleW(nullptr);
  if (OwnedBitmap bmp{static_cast<HBITMAP>(
          LoadImageW(module, resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))}) {
    BITMAP info{};
    GetObjectW(bmp.get(), sizeof info, &info);
    OwnedDC source(CreateCompatibleDC(t.dc.get()));
    Selection picture(source.get(), bmp.get());
    SetStretchBltMode(t.dc.get(), HALFTONE);
    StretchBlt(t.dc.get(), left, top, width, height, source.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  } else if (OwnedIcon icon{static_cast<HICON>(
                 LoadImageW(module, resource, IMAGE_ICON, width, height, 0))}) {
    DrawIconEx(t.dc.get(), left, top, icon.get(), width, height, 0, nullptr, DI_NORMAL);
  } else {
    return;
  }
  Touched(t, left, top, left + width, top + height, 0);
}

HWND CreateCanvasControl(HWND parent, int id, int x, int y, int width, int height,
                         DWORD extraStyle) {
  HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | extraStyle,
                                 x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (!control) return nullptr;

  auto t = std::make_unique<Target>();
  t->kind = Kind::kControl;
  t->key = control;
  t->control = control;
  t->parent = parent;
  t->id = id;
  t->deferred = false;
  RECT client{};
  GetClientRect(control, &client);
  t->visibleWidth = client.right;
  t->visibleHeight = client.bottom;
  HDC dc = GetDC(control);
  bool made = MakePicture(*t, dc, client.right, client.bottom);
  ReleaseDC(control, dc);
  if (!made) {
    DestroyWindow(control);
    return nullptr;
  }
  ApplyDefaults(*t);
  RECT all{0, 0, t->width, t->height};
  FillRect(t->dc.get(), &all, t->backgroundBrush.get());
  targets[control] = std::move(t);

  SendMessageW(control, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
  WNDPROC previous = ReplaceWindowProc(control, CanvasControlProc);
  if (!staticProc) staticProc = previous;
  return control;
}

BOOL PaintCanvasControl(const DRAWITEMSTRUCT& item) {
  Target* t = Find(item.hwndItem);
  if (!t || t->kind != Kind::kControl) return FALSE;
  if (item.itemAction & ODA_DRAWENTIRE)
    BitBlt(item.hDC, 0, 0, t->visibleWidth, t->visibleHeight, t->dc.get(), 0, 0, SRCCOPY);
  return TRUE;
}

CanvasCounts GetCanvasCounts() { return CanvasCounts{targets.size(), fonts.size()}; }
