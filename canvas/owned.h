// Small owners for GDI, USER and GDI+ handles, so that every object has
// exactly one owner and is released once, on every way out.
#pragma once

#include <windows.h>

#include <utility>

// Owns one handle and releases it with `Release` when it goes or is reset.
template <typename Handle, auto Release>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  ~Owned() { Reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  // For calls that hand back a new object through a pointer.
  Handle* Out() {
    Reset();
    return &handle_;
  }
  void Reset(Handle handle = Handle{}) {
    if (handle_) Release(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

template <typename Handle>
BOOL WINAPI DeleteGdiObject(Handle handle) {
  return DeleteObject(handle);
}

using OwnedPen = Owned<HPEN, DeleteGdiObject<HPEN>>;
using OwnedBrush = Owned<HBRUSH, DeleteGdiObject<HBRUSH>>;
using OwnedBitmap = Owned<HBITMAP, DeleteGdiObject<HBITMAP>>;
using OwnedFont = Owned<HFONT, DeleteGdiObject<HFONT>>;
using OwnedDC = Owned<HDC, DeleteDC>;
using OwnedIcon = Owned<HICON, DestroyIcon>;

// Keeps objects selected into a DC while it lives, then puts back the one
// that was there before the first selection: a DC is never deleted, and an
// object never deleted, while one of ours is still selected.
class Selection {
 public:
  Selection() = default;
  Selection(HDC dc, HGDIOBJ object) { Select(dc, object); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (dc_) SelectObject(dc_, original_);
  }

  void Select(HDC dc, HGDIOBJ object) {
    HGDIOBJ replaced = SelectObject(dc, object);
    if (!dc_ && replaced) {
      dc_ = dc;
      original_ = replaced;
    }
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ original_ = nullptr;
};
