#include "app/speed_prompt.h"

#include <windows.h>

#include "app/dialog_template.h"
#include "app/speed_answer.h"
#include "common/state.h"

namespace {

constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME;
static_assert(kBoxStyle == 0x80C80880);
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
static_assert(kEditStyle == 0x50810080);
constexpr DWORD kOkStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
static_assert(kOkStyle == 0x50010001);
constexpr DWORD kCancelStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
static_assert(kCancelStyle == 0x50010000);
constexpr DWORD kPromptStyle = WS_CHILD | WS_VISIBLE | SS_LEFT;
static_assert(kPromptStyle == 0x50000000);

constexpr int kEditId = 101;
constexpr int kPromptId = 102;
constexpr size_t kLongestAnswer = 255;

struct InputBoxCall {
  int32_t x, y;
  std::wstring answer;
};

void PlaceAndSelect(HWND box, const InputBoxCall& call) {
  if (call.x >= 0 && call.y >= 0)
    SetWindowPos(box, nullptr, call.x, call.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND edit = GetDlgItem(box, kEditId);
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
}

// The edit has no limit of its own; only the start of a long text counts.
std::wstring EditText(HWND box) {
  wchar_t text[kLongestAnswer + 1] = {};
  GetDlgItemTextW(box, kEditId, text, kLongestAnswer + 1);
  return text;
}

INT_PTR CALLBACK InputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* call = reinterpret_cast<InputBoxCall*>(GetWindowLongPtrW(box, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(box, DWLP_USER, lParam);
      PlaceAndSelect(box, *reinterpret_cast<InputBoxCall*>(lParam));
      return FALSE;  // the focus is already where it belongs
    case WM_COMMAND:
      // Enter comes as IDOK through the default button; Escape and the
      // close box come as IDCANCEL.
      if (LOWORD(wParam) == IDOK) {
        if (call) call->answer = EditText(box);
        EndDialog(box, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(box, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

std::wstring InputBox(const std::wstring& prompt, const std::wstring& title,
                      const std::wstring& proposed, int32_t x, int32_t y) {
  // No DS_SETFONT: the box uses the system font.
  DialogTemplate box(kBoxStyle, 0, 150, 100, title);
  box.Item(DialogTemplate::kEdit, kEditId, 4, 82, 140, 12, kEditStyle, proposed);
  box.Item(DialogTemplate::kButton, IDOK, 104, 5, 40, 10, kOkStyle, L"OK");
  box.Item(DialogTemplate::kButton, IDCANCEL, 104, 19, 40, 10, kCancelStyle, L"Cancel");
  box.Item(DialogTemplate::kStatic, kPromptId, 5, 5, 95, 72, kPromptStyle, prompt);

  // No owner: the main window stays usable while the box is up.
  InputBoxCall call{x, y, {}};
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), box.get(), nullptr, InputBoxProc,
                          reinterpret_cast<LPARAM>(&call));
  return call.answer;
}

void AskSpeed(const std::wstring& proposed) {
  // The prompt is a bare "#": the title already says what is asked, and the
  // box stays small enough to sit over the map without hiding much of it.
  // A box that can't be shown answers "", which is acceptable: this never
  // spins without asking.
  while (!ParseSpeedAnswer(InputBox(L"#", L"Velocidad", proposed, -1, -1), SpeedKmh)) {
  }
}
