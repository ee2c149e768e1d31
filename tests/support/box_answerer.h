// Answers the program's modal boxes in-process, as a person at the screen
// would: each box that becomes active on this thread is read (caption, and
// the proposed text or the message) and answered once it is up.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct SeenBox {
  std::wstring caption;
  std::wstring text;  // the input box's proposed text, or a message box's message
};

// For an input box: a text is put in place of the proposal and confirmed
// with OK; std::nullopt presses Cancel; Type() sends keys to whatever has
// the focus, then Enter. Message boxes always get OK.
struct BoxReply {
  enum How { kSetTextThenOk, kOk, kCancel, kTypeThenEnter };
  How how = kCancel;
  std::wstring text;
  BoxReply(const wchar_t* typed) : how(kSetTextThenOk), text(typed) {}
  BoxReply(std::nullopt_t) {}
  BoxReply(How h, std::wstring typed = {}) : how(h), text(std::move(typed)) {}
  static BoxReply Type(std::wstring typed) { return BoxReply(kTypeThenEnter, std::move(typed)); }
};

class BoxAnswerer {
 public:
  // One reply per box, in order; boxes beyond the list are cancelled, so a
  // test never hangs on one.
  explicit BoxAnswerer(std::vector<BoxReply> replies = {}) : replies_(std::move(replies)) {
    active_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~BoxAnswerer() {
    UnhookWindowsHookEx(hook_);
    active_ = nullptr;
  }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  // Called with each box just before it is answered.
  void Inspect(std::function<void(HWND box)> inspector) { inspector_ = std::move(inspector); }
  const std::vector<SeenBox>& seen() const { return seen_; }

 private:
  static std::wstring Text(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
  }

  // Dialog boxes without a menu (not the main window), each once. Still
  // being activated here, a box is answered later from its own loop.
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    wchar_t cls[16] = {};
    if (code == HCBT_ACTIVATE && active_ && GetClassNameW(box, cls, 16) && std::wstring(cls) == L"#32770" &&
        !GetMenu(box) && !GetPropW(box, L"answer")) {
      SetPropW(box, L"answer", reinterpret_cast<HANDLE>(++active_->asked_));
      SetPropW(box, L"since", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GetTickCount64())));
      SetTimer(box, 1, USER_TIMER_MINIMUM, Later);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  // A busy machine may show the box or settle its focus late, and keys sent
  // before then go astray: wait for both, up to a generous deadline.
  static bool Settled(HWND box) {
    HWND focus = GetFocus();
    return IsWindowVisible(box) && focus && (focus == box || IsChild(box, focus));
  }
  static void CALLBACK Later(HWND box, UINT, UINT_PTR timer, DWORD) {
    const auto since = reinterpret_cast<UINT_PTR>(GetPropW(box, L"since"));
    if (!Settled(box) && GetTickCount64() - since < 10000) return;
    KillTimer(box, timer);
    if (active_) active_->Reply(box);
  }

  void Reply(HWND box) {
    HWND edit = GetDlgItem(box, 101);
    HWND message = GetDlgItem(box, 0xFFFF);
    seen_.push_back({Text(box), Text(edit ? edit : message)});
    if (inspector_) inspector_(box);
    const size_t index = reinterpret_cast<size_t>(GetPropW(box, L"answer")) - 1;
    const BoxReply reply = index < replies_.size() ? replies_[index] : BoxReply(std::nullopt);
    // Keys go where a person's would: a misplaced focus shows as a wrong
    // answer, not a hang.
    HWND focus = Settled(box) ? GetFocus() : box;
    if (edit && reply.how == BoxReply::kSetTextThenOk) SetWindowTextW(edit, reply.text.c_str());
    if (edit && reply.how == BoxReply::kTypeThenEnter) {
      for (wchar_t c : reply.text) PostMessageW(focus, WM_CHAR, c, 1);
      PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    } else {
      PostMessageW(box, WM_COMMAND, !edit || reply.how != BoxReply::kCancel ? IDOK : IDCANCEL, 0);
    }
  }

  static inline BoxAnswerer* active_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<BoxReply> replies_;
  size_t asked_ = 0;
  std::vector<SeenBox> seen_;
  std::function<void(HWND)> inspector_;
};
