// Answers the program's modal boxes in-process, as a person at the screen
// would: each box is read, then answered once it is up.
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

// Typed over an input box's selected proposal ("" keeps it, "\b" clears it),
// then Enter; std::nullopt presses Cancel. Message boxes always get OK.
using BoxReply = std::optional<std::wstring>;

class BoxAnswerer {
 public:
  // Boxes beyond the replies are cancelled, so that a test never hangs on one.
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
  // Still being activated here, a box is answered later from its own loop, by
  // a timer whose id is the tick count it started at. The main window has a
  // menu. The mark that a box is being answered goes with the box.
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

  // A busy machine may show the box or settle its focus late, and keys sent
  // before then would go astray: the answer waits for both. A box that never
  // settles is cancelled after 30 s, and its answer reads "unsettled".
  static void CALLBACK Later(HWND box, UINT, UINT_PTR timer, DWORD) {
    HWND focus = GetFocus();
    const bool settled = IsWindowVisible(box) && focus && (focus == box || IsChild(box, focus));
    const bool late = GetTickCount() - static_cast<DWORD>(timer) >= 30000;
    if (!settled && !late) return;
    KillTimer(box, timer);
    if (!active_) return;
    if (settled) {
      active_->Reply(box, focus);
    } else {
      active_->seen_.push_back(L"unsettled");
      PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    }
  }

  void Reply(HWND box, HWND focus) {
    HWND edit = GetDlgItem(box, 101);
    seen_.push_back(WindowText(edit ? edit : GetDlgItem(box, 0xFFFF)));
    if (inspector_) inspector_(box);
    const size_t index = seen_.size() - 1;
    const BoxReply reply = index < replies_.size() ? replies_[index] : std::nullopt;
    if (edit && reply) {
      for (wchar_t c : *reply) PostMessageW(focus, WM_CHAR, c, 1);
      PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    } else {
      PostMessageW(box, WM_COMMAND, edit ? IDCANCEL : IDOK, 0);
    }
  }

  static inline BoxAnswerer* active_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<BoxReply> replies_;
  std::vector<std::wstring> seen_;
  std::function<void(HWND)> inspector_;
};
