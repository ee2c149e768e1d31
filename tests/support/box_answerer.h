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

// What to do with one input box: a text is typed over the proposal and
// confirmed with OK; std::nullopt presses Cancel. Message boxes get OK.
struct BoxReply {
  enum How { kSetTextThenOk, kOk, kCancel, kTypeThenEnter, kEscape, kCloseBox };
  How how = kCancel;
  std::wstring text;

  BoxReply(const wchar_t* typed) : how(kSetTextThenOk), text(typed) {}
  BoxReply(std::nullopt_t) {}
  BoxReply(How h, std::wstring typed = {}) : how(h), text(std::move(typed)) {}
  // Characters sent to whatever has the focus, then the Enter key.
  static BoxReply Type(std::wstring typed) { return BoxReply(kTypeThenEnter, std::move(typed)); }
};

class BoxAnswerer {
 public:
  // One reply per box, in order. Boxes beyond the list are cancelled, so a
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

  static constexpr int kEditId = 101;

 private:
  static constexpr UINT_PTR kReplyTimer = 0xB0A;
  static constexpr ULONGLONG kPatienceMs = 10000;

  static std::wstring Text(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
  }

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && active_) active_->Notice(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  // Only dialog boxes without a menu (not the main window), each once. The
  // box is still being activated here: it is answered from its own loop.
  void Notice(HWND box) {
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    if (std::wstring(cls) != L"#32770" || GetMenu(box) || GetPropW(box, L"answer")) return;
    SetPropW(box, L"answer", reinterpret_cast<HANDLE>(++next_));
    SetPropW(box, L"since", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GetTickCount64())));
    SetTimer(box, kReplyTimer, USER_TIMER_MINIMUM, Later);
  }

  // A busy machine may show the box and settle its focus late; a reply sent
  // earlier would go astray, so wait for both, with a generous deadline.
  static bool Settled(HWND box) {
    HWND focus = GetFocus();
    return IsWindowVisible(box) && focus && (focus == box || IsChild(box, focus));
  }

  static void CALLBACK Later(HWND box, UINT, UINT_PTR timer, DWORD) {
    const auto since = reinterpret_cast<UINT_PTR>(GetPropW(box, L"since"));
    if (!Settled(box) && GetTickCount64() - since < kPatienceMs) return;
    KillTimer(box, timer);
    if (active_) active_->Reply(box);
  }

  void Reply(HWND box) {
    HWND edit = GetDlgItem(box, kEditId);
    HWND message = GetDlgItem(box, 0xFFFF);
    seen_.push_back({Text(box), edit ? Text(edit) : message ? Text(message) : L""});
    if (inspector_) inspector_(box);
    const size_t index = reinterpret_cast<size_t>(GetPropW(box, L"answer")) - 1;
    const BoxReply reply = index < replies_.size() ? replies_[index] : BoxReply(std::nullopt);
    if (!edit) {
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
    // Keys go where a person's would: a misplaced focus shows as a wrong
    // answer, not a hang.
    HWND focus = Settled(box) ? GetFocus() : box;
    switch (reply.how) {
      case BoxReply::kSetTextThenOk:
        SetWindowTextW(edit, reply.text.c_str());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        break;
      case BoxReply::kOk:
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        break;
      case BoxReply::kCancel:
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        break;
      case BoxReply::kTypeThenEnter:
        for (wchar_t c : reply.text) PostMessageW(focus, WM_CHAR, c, 1);
        PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
        break;
      case BoxReply::kEscape:
        PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
        break;
      case BoxReply::kCloseBox:
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
  }

  static inline BoxAnswerer* active_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<BoxReply> replies_;
  size_t next_ = 0;
  std::vector<SeenBox> seen_;
  std::function<void(HWND)> inspector_;
};
