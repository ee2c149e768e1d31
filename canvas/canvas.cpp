#include "canvas/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "canvas/counts.h"
#include "canvas/owned.h"
#include "canvas/window_proc.h"
#include "common/x87.h"

namespace {

enum class Kind { kControl, kBitmap };

// Window and GDI handles come from different tables and may have the same
// value: a target is known by both.
using Key = std::pair<Kind, HANDLE>;

// One picture and the state that drawing on it keeps. Its members go in
// reverse order: the selections first, putting the DC's own objects back,
// then the brush, the bitmap and last the DC.
struct Target {
  Kind kind = Kind::kBitmap;
  HWND control = nullptr;     // control targets: the control, where Attach finds it
  HWND parent = nullptr;
  int id = 0;
  WNDPROC previous = nullptr; // control targets: the procedure the canvas's own replaced
  OwnedDC dc;                 // holds the picture
  OwnedBitmap bitmap;
  OwnedBrush backgroundBrush;
  Selection picture;          // the bitmap, in the DC
  Selection font;             // one of the registry's fonts, in the DC
  int width = 0, height = 0;
  COLORREF foreground = 0;
  int penWidth = 0;
  int lineHeight = 0;
  int x = 0, y = 0;
  bool faceCurrent = false;   // control targets: the face shows exactly the picture
  bool dcHandedOut = false;   // control targets: the picture may change unseen

  ::Key Key() const {
    if (kind == Kind::kControl) return {kind, control};
    return {kind, bitmap.get()};
  }
};

struct FontEntry {
  std::wstring face;
  float points;
  int style;
  OwnedFont handle;           // made the first time the font is selected
};

thread_local Target* current = nullptr;

// Every target and font the layer holds, found by the target's key (the
// control's window or the bitmap's handle) and by font id.
class Registry {
 public:
  Registry() = default;
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  ~Registry() { current = nullptr; }

  // False, with nothing changed, when the key is already taken: an entry is
  // never replaced behind its owner's back.
  bool Insert(std::unique_ptr<Target>& target) {
    const ::Key key = target->Key();
    return targets_.try_emplace(key, std::move(target)).second;
  }
  void Erase(::Key key) {
    auto it = targets_.find(key);
    if (it == targets_.end()) return;
    if (current == it->second.get()) current = nullptr;
    targets_.erase(it);
  }
  Target* Find(::Key key) {
    auto it = targets_.find(key);
    return it == targets_.end() ? nullptr : it->second.get();
  }
  // Under Wine every question to the window manager is a round trip to its
  // server; every message the map control receives attaches it, so controls
  // are found here, by parent and id, without asking.
  Target* FindControl(HWND parent, int id) {
    for (auto& [key, t] : targets_)
      if (t->kind == Kind::kControl && t->parent == parent && t->id == id) return t.get();
    return nullptr;
  }
  std::vector<FontEntry>& fonts() { return fonts_; }
  CanvasCounts Counts() const { return CanvasCounts{targets_.size(), fonts_.size()}; }

 private:
  // Fonts are selected into the targets' DCs, and Windows refuses to delete a
  // font a DC still holds: declared first, the fonts go last, once every
  // target has put its DC's own font back.
  std::vector<FontEntry> fonts_;
  std::map<::Key, std::unique_ptr<Target>> targets_;
};

Registry registry;

int Px(float v) { return RoundToInt32(v); }  // half to even; out of range, INT32_MIN

LONG Clamp(int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The rectangle a drawing touched, wider by `margin`, wherever it lies.
RECT Around(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t margin) {
  return RECT{Clamp(left - margin), Clamp(top - margin), Clamp(right + margin),
              Clamp(bottom + margin)};
}

// Every drawing on the control shows at once, as if drawn on the screen.
// Only a repaint of the whole control brings all of its face up to date,
// and only while nothing else may draw into its DC.
void Touched(Target& t, const RECT* area) {
  if (t.kind != Kind::kControl) return;
  InvalidateRect(t.control, area, FALSE);
  UpdateWindow(t.control);
  if (!area) t.faceCurrent = !t.dcHandedOut;
}

Target* FindBitmap(HBITMAP key) { return registry.Find({Kind::kBitmap, key}); }

// Pen colour: -1 stands for the foreground.
COLORREF Resolve(const Target& t, COLORREF color) {
  return color == kDefaultColor ? t.foreground : color;
}

bool SelectFontInto(Target& t, int fontId) {
  FontEntry& f = registry.fonts()[fontId];
  if (!f.handle) {
    LOGFONTW lf{};
    // Every picture here is in map pixels (1 px = 1 km), whatever the screen:
    // text takes the size it has at 96 dots per inch, 11 px for 8 points, so
    // that it stays inside the boxes drawn around it. The program is DPI
    // aware, so at 125 % or 150 % Windows hands this DC 120 or 144 and would
    // no longer scale the result back down.
    constexpr int kMapDotsPerInch = 96;
    const long double pixels = kMapDotsPerInch * static_cast<long double>(f.points) / 72;
    lf.lfHeight = -RoundToInt32(pixels);
    lf.lfWeight = (f.style & kBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (f.style & kItalic) != 0;
    lf.lfUnderline = (f.style & kUnderline) != 0;
    lf.lfStrikeOut = (f.style & kStrikeOut) != 0;
    lf.lfCharSet = ANSI_CHARSET;
    f.face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    f.handle.Reset(CreateFontIndirectW(&lf));
    if (!f.handle) return false;
  }
  // The font selected before goes back out first, so that this selection
  // displaces the DC's own font, which it puts back in turn.
  t.font.Reset();
  t.font = Selection(t.dc.get(), f.handle.get());
  TEXTMETRICW tm{};
  GetTextMetricsW(t.dc.get(), &tm);
  t.lineHeight = tm.tmHeight + tm.tmExternalLeading;
  return static_cast<bool>(t.font);
}

bool SetBackground(Target& t, COLORREF color) {
  OwnedBrush brush(CreateSolidBrush(color));
  if (!brush) return false;
  t.backgroundBrush = std::move(brush);
  SetBkColor(t.dc.get(), color);
  SetBkMode(t.dc.get(), OPAQUE);
  return true;
}

bool ApplyDefaults(Target& t) {
  t.foreground = GetSysColor(COLOR_WINDOWTEXT);
  SetTextColor(t.dc.get(), t.foreground);
  SetTextAlign(t.dc.get(), TA_UPDATECP);
  return SetBackground(t, GetSysColor(COLOR_BTNFACE)) &&
         SelectFontInto(t, NewFont(L"MS Sans Serif", 8, 0));
}

// A memory picture compatible with `reference` (the screen's DC, or the
// control's), with the defaults every target starts from.
bool MakePicture(Target& t, HDC reference, int width, int height) {
  // Without a reference, CreateCompatibleDC would still give a DC, of the
  // screen's kind, but nothing of the control's.
  if (!reference) return false;
  t.dc.Reset(CreateCompatibleDC(reference));
  if (!t.dc) return false;
  t.bitmap.Reset(CreateCompatibleBitmap(reference, width, height));
  if (!t.bitmap) return false;
  t.picture = Selection(t.dc.get(), t.bitmap.get());
  t.width = width;
  t.height = height;
  return t.picture && ApplyDefaults(t);
}

bool IsNavigationKey(WPARAM vk) {
  return (vk >= VK_F1 && vk <= VK_F24) || (vk >= VK_PRIOR && vk <= VK_DOWN) ||
         vk == VK_INSERT || vk == VK_DELETE;
}

// Behaviour the map control has ahead of a plain static: it takes the focus
// when pressed and swallows keys, so F10 or the arrows do nothing while the
// map has the focus.
LRESULT CALLBACK CanvasControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const Target* t = registry.Find({Kind::kControl, hwnd});
  // Each control hands on to the procedure it had itself.
  const WNDPROC previous = t ? t->previous : DefWindowProcW;
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
      registry.Erase({Kind::kControl, hwnd});
      break;
  }
  return CallWindowProcW(previous, hwnd, msg, wp, lp);
}

}  // namespace

void Attach(HWND parent, int controlId) { current = registry.FindControl(parent, controlId); }

void Attach(HBITMAP bitmap) { current = FindBitmap(bitmap); }

void Detach() { current = nullptr; }

// Drawing on the control has already shown itself; repainting identical
// pixels again would double the cost of every pointer move.
void Redraw() {
  if (current && !current->faceCurrent) Touched(*current, nullptr);
}

HBITMAP NewBitmap(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  auto t = std::make_unique<Target>();
  t->kind = Kind::kBitmap;
  const WindowDC screen(nullptr);
  if (!MakePicture(*t, screen.get(), width, height)) return nullptr;
  const HBITMAP key = t->bitmap.get();
  return registry.Insert(t) ? key : nullptr;
}

void EndBitmap() {
  if (current && current->kind == Kind::kBitmap) registry.Erase(current->Key());
}

SIZE GetCanvasSize() {
  if (!current) return SIZE{0, 0};
  return SIZE{current->width, current->height};
}

HDC GetCanvasDC() {
  if (!current) return nullptr;
  if (current->kind == Kind::kControl) {
    current->dcHandedOut = true;
    current->faceCurrent = false;
  }
  return current->dc.get();
}

void Clear(COLORREF color) {
  if (!current) return;
  Target& t = *current;
  const RECT all{0, 0, t.width, t.height};
  if (color == kDefaultColor) {
    FillRect(t.dc.get(), &all, t.backgroundBrush.get());
  } else {
    const OwnedBrush brush(CreateSolidBrush(color));
    FillRect(t.dc.get(), &all, brush.get());
  }
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
  const int toX = Px(x), toY = Px(y);
  // Short of GDI objects the line is left out, rather than drawn in
  // whatever pen the DC holds; the next one may be made again.
  if (const OwnedPen pen{CreatePen(PS_SOLID, t.penWidth, Resolve(t, color))}) {
    const Selection drawing(t.dc.get(), pen.get());
    MoveToEx(t.dc.get(), t.x, t.y, nullptr);
    LineTo(t.dc.get(), toX, toY);
  }
  const RECT touched = Around(std::min(t.x, toX), std::min(t.y, toY),
                              int64_t{std::max(t.x, toX)} + 1, int64_t{std::max(t.y, toY)} + 1,
                              int64_t{t.penWidth} + 1);
  Touched(t, &touched);
  t.x = toX;
  t.y = toY;
}

void Box(float x1, float y1, float x2, float y2, int cornerPercent, COLORREF lineColor,
         COLORREF fillColor) {
  if (!current) return;
  Target& t = *current;
  int left = Px(x1), top = Px(y1), right = Px(x2), bottom = Px(y2);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  {
    const OwnedPen pen(CreatePen(PS_SOLID, t.penWidth, Resolve(t, lineColor)));
    const OwnedBrush brush(CreateSolidBrush(Resolve(t, fillColor)));
    if (!pen || !brush) return;
    const Selection border(t.dc.get(), pen.get());
    const Selection fill(t.dc.get(), brush.get());
    if (cornerPercent > 0) {
      // In 64 bits: a side can be as long as 2^32 - 1.
      const int64_t side = std::min(int64_t{right} - left, int64_t{bottom} - top);
      const LONG round = Clamp(side * cornerPercent / 100);
      RoundRect(t.dc.get(), left, top, right, bottom, round, round);
    } else {
      Rectangle(t.dc.get(), left, top, right, bottom);
    }
  }
  const RECT touched = Around(left, top, right, bottom, int64_t{t.penWidth} + 1);
  Touched(t, &touched);
}

int NewFont(std::wstring_view face, float points, int style) {
  std::wstring name(face.substr(0, 31));
  if (points == 0) points = 8;
  std::vector<FontEntry>& fonts = registry.fonts();
  for (size_t i = 0; i < fonts.size(); ++i) {
    if (fonts[i].face == name && fonts[i].points == points && fonts[i].style == style)
      return static_cast<int>(i);
  }
  fonts.push_back(FontEntry{name, points, style, {}});
  return static_cast<int>(fonts.size() - 1);
}

void SetFont(int fontId) {
  if (!current || fontId < 0 || static_cast<size_t>(fontId) >= registry.fonts().size()) return;
  SelectFontInto(*current, fontId);
}

void Print(std::wstring_view text) {
  if (!current) return;
  Target& t = *current;
  const LONG below = Clamp(int64_t{t.y} + t.lineHeight);
  RECT line{t.x, t.y, t.width, below};
  if (!text.empty() && line.left < line.right) {
    MoveToEx(t.dc.get(), t.x, t.y, nullptr);
    ExtTextOutW(t.dc.get(), t.x, t.y, ETO_CLIPPED, &line, text.data(),
                static_cast<UINT>(text.size()), nullptr);
    Touched(t, &line);
  }
  t.x = 0;
  t.y = below;
}

void CopyAt(HBITMAP source, float x, float y) {
  if (!current) return;
  Target* from = FindBitmap(source);
  if (!from) return;
  BitBlt(current->dc.get(), Px(x), Px(y), from->width, from->height, from->dc.get(), 0, 0, SRCCOPY);
  Touched(*current, nullptr);
}

bool CopyAll(HBITMAP source, DWORD rasterOp) {
  if (!current) return false;
  Target* from = FindBitmap(source);
  if (!from) return false;
  const int width = std::min(from->width, current->width);
  const int height = std::min(from->height, current->height);
  const bool copied =
      BitBlt(current->dc.get(), 0, 0, width, height, from->dc.get(), 0, 0, rasterOp) != FALSE;
  Touched(*current, nullptr);
  return copied;
}

void RenderResource(std::wstring_view name, float x1, float y1, float x2, float y2) {
  if (!current || name.empty()) return;
  Target& t = *current;
  const std::wstring id(name);
  const wchar_t* resource = id.c_str();
  if (id[0] == L'#' && id.size() > 1 &&
      id.find_first_not_of(L"0123456789", 1) == std::wstring::npos) {
    // Numeric ids have 16 bits: a larger number names no resource.
    const unsigned long number = std::wcstoul(id.c_str() + 1, nullptr, 10);
    if (number > 0xFFFF) return;
    resource = MAKEINTRESOURCEW(number);
  }
  const int left = Px(x1), top = Px(y1);
  const LONG width = Clamp(int64_t{Px(x2)} - left + 1), height = Clamp(int64_t{Px(y2)} - top + 1);
  HINSTANCE module = GetModuleHandleW(nullptr);
  if (const OwnedBitmap bmp{static_cast<HBITMAP>(
          LoadImageW(module, resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))}) {
    BITMAP info{};
    GetObjectW(bmp.get(), sizeof info, &info);
    const OwnedDC source(CreateCompatibleDC(t.dc.get()));
    const Selection picture(source.get(), bmp.get());
    SetStretchBltMode(t.dc.get(), HALFTONE);
    StretchBlt(t.dc.get(), left, top, width, height, source.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  } else if (const OwnedIcon icon{static_cast<HICON>(
                 LoadImageW(module, resource, IMAGE_ICON, width, height, 0))}) {
    DrawIconEx(t.dc.get(), left, top, icon.get(), width, height, 0, nullptr, DI_NORMAL);
  } else {
    return;
  }
  const RECT touched = Around(left, top, int64_t{left} + width, int64_t{top} + height, 0);
  Touched(t, &touched);
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
  t->control = control;
  t->parent = parent;
  t->id = id;
  RECT client{};
  GetClientRect(control, &client);
  bool made = false;
  {
    const WindowDC dc(control);
    made = MakePicture(*t, dc.get(), client.right, client.bottom);
  }
  if (made) {
    const RECT all{0, 0, t->width, t->height};
    FillRect(t->dc.get(), &all, t->backgroundBrush.get());
  }
  if (!made || !registry.Insert(t)) {
    DestroyWindow(control);
    return nullptr;
  }

  SendMessageW(control, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
  Target* registered = registry.Find({Kind::kControl, control});
  registered->previous = ReplaceWindowProc(control, CanvasControlProc);
  return control;
}

BOOL PaintCanvasControl(const DRAWITEMSTRUCT& item) {
  Target* t = registry.Find({Kind::kControl, item.hwndItem});
  if (!t) return FALSE;
  if (item.itemAction & ODA_DRAWENTIRE)
    BitBlt(item.hDC, 0, 0, t->width, t->height, t->dc.get(), 0, 0, SRCCOPY);
  return TRUE;
}

CanvasCounts GetCanvasCounts() { return registry.Counts(); }
