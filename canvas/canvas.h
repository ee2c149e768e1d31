// The drawing layer every picture of the program is composed on.
//
// A target is either a memory bitmap (identified by its own HBITMAP) or the
// surface of an owner-drawn static control (identified by the control's
// window). Each target keeps its picture in a memory DC. Operations act on
// the calling thread's current target; with none, or with an unregistered
// one, they do nothing.
//
// Coordinates are target pixels passed as floats and rounded half to even.
// Colours are COLORREF; -1 where allowed means the target's default.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

constexpr COLORREF kDefaultColor = static_cast<COLORREF>(-1);

// Targets. A control is found by its parent and id, a bitmap by its handle;
// anything else leaves no current target.
void Attach(HWND parent, int controlId);
void Attach(HBITMAP bitmap);
void Detach();
// Repaints a control whose face may differ from its picture. Drawing through
// the canvas shows at once; drawing straight into a DC from GetCanvasDC
// shows only here, so once a control's DC has been handed out, every Redraw
// repaints it.
void Redraw();
// 0 when any GDI object it needs can't be made.
HBITMAP NewBitmap(int32_t width, int32_t height);
void EndBitmap();
SIZE GetCanvasSize();
HDC GetCanvasDC();

// Drawing. Fills are solid and copies plain: the program needs no other.
void Clear(COLORREF color);
void SetColors(COLORREF foreground, COLORREF background);
void SetWidth(int pixels);
void SetPos(float x, float y);
void DrawLine(float x, float y, COLORREF color);
void Box(float x1, float y1, float x2, float y2, int cornerPercent,
         COLORREF lineColor, COLORREF fillColor);
int NewFont(std::wstring_view face, float points, int style);
void SetFont(int fontId);
void Print(std::wstring_view text);
void CopyAt(HBITMAP source, float x, float y);
// False when nothing was copied: an unknown source, or a copy GDI refused.
bool CopyAll(HBITMAP source, DWORD rasterOp = SRCCOPY);
void RenderResource(std::wstring_view name, float x1, float y1, float x2, float y2);

// Font style bits for NewFont.
enum FontStyle : int { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

// The control surface: an owner-drawn STATIC whose face is a copy of its
// picture. The parent must answer WM_DRAWITEM with PaintCanvasControl.
HWND CreateCanvasControl(HWND parent, int id, int x, int y, int width, int height,
                         DWORD extraStyle);
BOOL PaintCanvasControl(const DRAWITEMSTRUCT& item);
