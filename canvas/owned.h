// Small owners for GDI, USER and file-search handles, so that every object
// has exactly one owner and is released once, on every way out.
#pragma once

#include <windows.h>

#include <utility>

template <typename Handle>
constexpr Handle NoHandle() {
  return Handle{};
}

// Owns one handle and releases it with `Release` when it goes or is reset.
// `None` gives the value that stands for no handle.
template <typename Handle, auto Release, auto None = NoHandle<Handle>>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, None())) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, None()));
    return *this;
  }
  ~Owned() { Reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != None(); }
  // For calls that hand back a new object through a pointer.
  Handle* Out() {
    Reset();
    return &handle_;
  }
  // Hands the handle over to whatever owns it next; this holder keeps none.
  Handle release() { return std::exchange(handle_, None()); }
  void Reset(Handle handle = None()) {
    if (handle_ != None()) Release(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = None();
};

template <typename Handle>
BOOL WINAPI DeleteGdiObject(Handle handle) {
  return DeleteObject(handle);
}
inline HANDLE NoSearch() { return INVALID_HANDLE_VALUE; }

using OwnedPen = Owned<HPEN, DeleteGdiObject<HPEN>>;
using OwnedBrush = Owned<HBRUSH, DeleteGdiObject<HBRUSH>>;
using OwnedBitmap = Owned<HBITMAP, DeleteGdiObject<HBITMAP>>;
using OwnedFont = Owned<HFONT, DeleteGdiObject<HFONT>>;
using OwnedDC = Owned<HDC, DeleteDC>;
using OwnedIcon = Owned<HICON, DestroyIcon>;
using OwnedMenu = Owned<HMENU, DestroyMenu>;
// FindFirstFileW's search; it says "none" with INVALID_HANDLE_VALUE, not 0.
using OwnedSearch = Owned<HANDLE, FindClose, NoSearch>;

// A window's DC (or the screen's, for no window) from GetDC, released to it.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// One object selected into a DC: when it goes or is reset, the object it
// displaced goes back. Declared after what it selects, it is undone before
// that object is deleted, and before its DC is.
class Selection {
 public:
  Selection() = default;
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), displaced_(SelectObject(dc, object)) {
    if (!displaced_ || displaced_ == HGDI_ERROR) dc_ = nullptr;
  }
  Selection(Selection&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), displaced_(std::exchange(other.displaced_, nullptr)) {}
  Selection& operator=(Selection&& other) noexcept {
    if (this != &other) {
      Reset();
      dc_ = std::exchange(other.dc_, nullptr);
      displaced_ = std::exchange(other.displaced_, nullptr);
    }
    return *this;
  }
  ~Selection() { Reset(); }

  explicit operator bool() const { return dc_ != nullptr; }
  void Reset() {
    if (dc_) SelectObject(dc_, displaced_);
    dc_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ displaced_ = nullptr;
};
