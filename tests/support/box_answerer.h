// Answers the program's modal boxes in-process, as a person at the screen would: each box is
// read, then answered once it is up.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

inline std::wstring WindowText(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

// Typed over an input box's selected proposal ("" keeps it, "\b" clears it), then Enter;
// std::nullopt, and every box beyond the replies, is cancelled. Message boxes get OK.
using BoxReply = std::optional<std::wstring>;

class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<BoxReply> replies = {}) : replies_(std::move(replies)) {
    active_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~BoxAnswerer() {
    UnhookWindowsHookEx(hook_);
    active_ = nullptr;
  }
  // Called with each box just before it is answered.
  void Inspect(std::function<void(HWND box)> inspector) { inspector_ = std::move(inspector); }
  // Each box's proposed text, or its message.
  const std::vector<std::wstring>& seen() const { return seen_; }

 private:
  // A dialog being activated (not the main window: it has a menu) is answered later from its
  // own loop, by a timer whose id is the tick count it started at.
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_DESTROYWND) RemovePropW(box, L"seen");
    const bool dialog = code == HCBT_ACTIVATE && GetClassLongPtrW(box, GCW_ATOM) == 0x8002;
    if (dialog && active_ && !GetMenu(box) && !GetPropW(box, L"seen")) {
      SetPropW(box, L"seen", box);
      SetTimer(box, GetTickCount(), USER_TIMER_MINIMUM, Later);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  // Keys sent before a busy machine shows the box and settles its focus would go astray. A box
  // that never settles is cancelled after 30 s, and reads "unsettled".
  static void CALLBACK Later(HWND box, UINT, UINT_PTR timer, DWORD) {
    HWND focus = GetFocus();
    const bool settled = IsWindowVisible(box) && focus && (focus == box || IsChild(box, focus));
    if (!settled && GetTickCount() - static_cast<DWORD>(timer) < 30000) return;
    KillTimer(box, timer);
    if (!active_) return;
    BoxAnswerer& self = *active_;
    HWND edit = GetDlgItem(box, 101);
    self.seen_.push_back(settled ? WindowText(edit ? edit : GetDlgItem(box, 0xFFFF)) : L"unsettled");
    if (settled && self.inspector_) self.inspector_(box);
    const size_t i = self.seen_.size() - 1;
    if (edit && settled && i < self.replies_.size() && self.replies_[i]) {
      for (wchar_t c : *self.replies_[i]) PostMessageW(focus, WM_CHAR, c, 1);
      PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    } else {
      PostMessageW(box, WM_COMMAND, edit || !settled ? IDCANCEL : IDOK, 0);
    }
  }

  static inline BoxAnswerer* active_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<BoxReply> replies_;
  std::vector<std::wstring> seen_;
  std::function<void(HWND)> inspector_;
};
