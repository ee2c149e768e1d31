// Answers the program's modal boxes in-process, as a person at the screen
// would: each box that becomes active on this thread is read (caption,
// proposed text or message) and then answered.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct SeenBox {
  std::wstring caption;
  std::wstring text;  // the input box's proposed text, or a message box's message
};

class BoxAnswerer {
 public:
  // One answer per box, in order: text typed then OK, or nullopt for Cancel.
  // Boxes beyond the list are cancelled, so a test never hangs on one.
  explicit BoxAnswerer(std::vector<std::optional<std::wstring>> answers = {})
      : answers_(std::move(answers)) {
    active_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~BoxAnswerer() {
    UnhookWindowsHookEx(hook_);
    active_ = nullptr;
  }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  void Add(std::optional<std::wstring> answer) { answers_.push_back(std::move(answer)); }
  const std::vector<SeenBox>& seen() const { return seen_; }

 private:
  static constexpr int kEditId = 101;
  static constexpr int kMessageTextId = 0xFFFF;
  static constexpr wchar_t kAnswered[] = L"BoxAnswerer.answered";

  static std::wstring Text(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
  }

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && active_) active_->Answer(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  void Answer(HWND box) {
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    // Only dialog boxes without a menu (not the main window), each once.
    if (std::wstring(cls) != L"#32770" || GetMenu(box) || GetPropW(box, kAnswered)) return;
    SetPropW(box, kAnswered, reinterpret_cast<HANDLE>(1));
    HWND edit = GetDlgItem(box, kEditId);
    HWND message = GetDlgItem(box, kMessageTextId);
    seen_.push_back({Text(box), edit ? Text(edit) : message ? Text(message) : L""});
    std::optional<std::wstring> answer;
    if (next_ < answers_.size()) answer = answers_[next_];
    ++next_;
    if (edit && answer) SetWindowTextW(edit, answer->c_str());
    PostMessageW(box, WM_COMMAND, answer || !edit ? IDOK : IDCANCEL, 0);
  }

  static inline BoxAnswerer* active_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<std::optional<std::wstring>> answers_;
  size_t next_ = 0;
  std::vector<SeenBox> seen_;
};
