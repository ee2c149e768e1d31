#include "app/speed_prompt.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "app/speed_answer.h"
#include "app/state.h"

namespace {

constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME;
constexpr int kEditId = 101;
constexpr int kPromptId = 102;
constexpr size_t kLongestAnswer = 255;

// Predefined control classes in a dialog template.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

struct InputBoxCall {
  int32_t x, y;
  std::wstring answer;
};

// A DLGTEMPLATE without DS_SETFONT (the box uses the system font) and its
// four items, in tab order.
class BoxTemplate {
 public:
  BoxTemplate(std::wstring_view title, short width, short height) {
    words_.reserve(256);
    Dword(kBoxStyle);
    Dword(0);
    words_.push_back(0);  // item count, raised by each Item
    words_.insert(words_.end(), {0, 0, static_cast<WORD>(width), static_cast<WORD>(height)});
    words_.insert(words_.end(), {0, 0});  // no menu, standard dialog class
    Text(title);
  }

  void Item(WORD cls, int id, short x, short y, short cx, short cy, DWORD style,
            std::wstring_view text) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
    Dword(style);
    Dword(0);
    words_.insert(words_.end(), {static_cast<WORD>(x), static_cast<WORD>(y),
                                 static_cast<WORD>(cx), static_cast<WORD>(cy),
                                 static_cast<WORD>(id), 0xFFFF, cls});
    Text(text);
    words_.push_back(0);  // no creation data
    ++words_[kCountIndex];
  }

  LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

 private:
  static constexpr size_t kCountIndex = 4;
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void Text(std::wstring_view s) {
    words_.insert(words_.end(), s.begin(), s.end());
    words_.push_back(0);
  }
  std::vector<WORD> words_;
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
  BoxTemplate box(title, 150, 100);
  box.Item(kEditClass, kEditId, 4, 82, 140, 12,
           WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, proposed);
  box.Item(kButtonClass, IDOK, 104, 5, 40, 10,
           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, L"OK");
  box.Item(kButtonClass, IDCANCEL, 104, 19, 40, 10,
           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Cancel");
  box.Item(kStaticClass, kPromptId, 5, 5, 95, 72, WS_CHILD | WS_VISIBLE | SS_LEFT, prompt);

  // No owner: the main window stays usable while the box is up.
  InputBoxCall call{x, y, {}};
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), box.get(), nullptr, InputBoxProc,
                          reinterpret_cast<LPARAM>(&call));
  return call.answer;
}

void AskSpeed(const std::wstring& proposed) {
  // A box that can't be shown answers "", which is acceptable: this never
  // spins without asking.
  while (!ParseSpeedAnswer(InputBox(L"#", L"Velocidad", proposed, -1, -1), SpeedKmh)) {
  }
}
