// Answers the program's modal boxes in-process, as a person at the screen
// would: each box that becomes active on this thread is, once its own
// message loop runs, read (caption, proposed text or message) and answered.
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

// What to do with one box. A plain text is typed over the edit's text and
// confirmed with OK; std::nullopt presses Cancel. A message box is always
// closed with its OK button.
struct BoxReply {
  enum class How { kSetTextThenOk, kOk, kCancel, kTypeThenEnter, kEscape, kCloseBox };
  How how = How::kCancel;
  std::wstring text;

  BoxReply(const wchar_t* typed) : how(How::kSetTextThenOk), text(typed) {}
  BoxReply(std::wstring typed) : how(How::kSetTextThenOk), text(std::move(typed)) {}
  BoxReply(std::nullopt_t) {}
  BoxReply(std::optional<std::wstring> typed)
      : how(typed ? How::kSetTextThenOk : How::kCancel), text(typed.value_or(L"")) {}

  // OK with the proposed text left as it is.
  static BoxReply Ok() { return BoxReply(How::kOk); }
  // Characters sent to whatever has the focus, then the Enter key.
  static BoxReply TypeThenEnter(std::wstring typed) {
    BoxReply r(How::kTypeThenEnter);
    r.text = std::move(typed);
    return r;
  }
  static BoxReply Escape() { return BoxReply(How::kEscape); }
  static BoxReply CloseBox() { return BoxReply(How::kCloseBox); }

 private:
  explicit BoxReply(How h) : how(h) {}
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

  void Add(BoxReply reply) { replies_.push_back(std::move(reply)); }
  // Called with each box just before it is answered, when it is shown and
  // its focus has settled.
  void Inspect(std::function<void(HWND box)> inspector) { inspector_ = std::move(inspector); }
  const std::vector<SeenBox>& seen() const { return seen_; }

  static constexpr int kEditId = 101;
  static constexpr int kMessageTextId = 0xFFFF;

 private:
  static constexpr wchar_t kAnswered[] = L"BoxAnswerer.answered";
  static constexpr UINT_PTR kReplyTimer = 0xB0A;

  static std::wstring Text(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
  }

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && active_) active_->Notice(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  // Activation is still under way here, and a message box may not hold its
  // text yet: reading and answering wait for the box's own message loop.
  void Notice(HWND box) {
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    // Only dialog boxes without a menu (not the main window), each once.
    if (std::wstring(cls) != L"#32770" || GetMenu(box) || GetPropW(box, kAnswered)) return;
    SetPropW(box, kAnswered, reinterpret_cast<HANDLE>(next_ + 1));
    ++next_;
    SetTimer(box, kReplyTimer, USER_TIMER_MINIMUM, Later);
  }

  static void CALLBACK Later(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    if (active_) active_->Reply(box);
  }

  void Reply(HWND box) {
    HWND edit = GetDlgItem(box, kEditId);
    HWND message = GetDlgItem(box, kMessageTextId);
    seen_.push_back({Text(box), edit ? Text(edit) : message ? Text(message) : L""});
    if (inspector_) inspector_(box);
    size_t index = reinterpret_cast<size_t>(GetPropW(box, kAnswered)) - 1;
    BoxReply reply = index < replies_.size() ? replies_[index] : BoxReply(std::nullopt);
    if (!edit) {
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
    // Keys go where a person's would; with the focus outside the box they
    // still reach it, so a misplaced focus shows as a wrong answer, not a hang.
    HWND focus = GetFocus();
    if (!focus || (focus != box && !IsChild(box, focus))) focus = box;
    switch (reply.how) {
      case BoxReply::How::kSetTextThenOk:
        SetWindowTextW(edit, reply.text.c_str());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        break;
      case BoxReply::How::kOk:
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        break;
      case BoxReply::How::kCancel:
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        break;
      case BoxReply::How::kTypeThenEnter:
        for (wchar_t c : reply.text) PostMessageW(focus, WM_CHAR, c, 1);
        PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
        break;
      case BoxReply::How::kEscape:
        PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
        break;
      case BoxReply::How::kCloseBox:
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
