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

// Typed over each input box's selected proposal in turn ("" keeps it, "\b" clears it), then
// Enter; std::nullopt, and every input box beyond the replies, is cancelled. Message boxes get OK.
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
  std::function<void(HWND box)> inspect;  // called with each box just before it is answered
  std::vector<std::wstring> seen;         // each box's proposed text, or its message

 private:
  // A dialog being activated (not the main window: it has a menu) is answered later, from its
  // own loop. One left unanswered holds its test until CTest's time limit names it.
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_DESTROYWND) RemovePropW(box, L"seen");
    const bool dialog = code == HCBT_ACTIVATE && GetClassLongPtrW(box, GCW_ATOM) == 0x8002;
    if (dialog && active_ && !GetMenu(box) && !GetPropW(box, L"seen")) {
      SetPropW(box, L"seen", box);
      SetTimer(box, 1, USER_TIMER_MINIMUM, Later);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  // Keys sent before a busy machine shows the box and settles its focus would go astray.
  static void CALLBACK Later(HWND box, UINT, UINT_PTR timer, DWORD) {
    HWND focus = GetFocus();
    if (!IsWindowVisible(box) || !focus || (focus != box && !IsChild(box, focus)) || !active_) return;
    KillTimer(box, timer);
    BoxAnswerer& self = *active_;
    HWND edit = GetDlgItem(box, 101);
    self.seen.push_back(WindowText(edit ? edit : GetDlgItem(box, 0xFFFF)));
    if (self.inspect) self.inspect(box);
    const BoxReply reply = edit && self.asked_ < self.replies_.size() ? self.replies_[self.asked_] : std::nullopt;
    self.asked_ += edit != nullptr;
    if (reply) {
      for (wchar_t c : *reply) PostMessageW(focus, WM_CHAR, c, 1);
      PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    } else {
      PostMessageW(box, WM_COMMAND, edit ? IDCANCEL : IDOK, 0);
    }
  }

  static inline BoxAnswerer* active_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<BoxReply> replies_;
  size_t asked_ = 0;  // input boxes answered so far
};
