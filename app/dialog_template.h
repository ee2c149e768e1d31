// In-memory dialog templates (DLGTEMPLATE and its DLGITEMTEMPLATEs), for the
// windows the program builds at run time instead of carrying as resources.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

class DialogTemplate {
 public:
  // Predefined control classes.
  static constexpr WORD kButton = 0x0080;
  static constexpr WORD kEdit = 0x0081;
  static constexpr WORD kStatic = 0x0082;

  // Standard dialog class, no menu. The font is written only when the style
  // asks for one (DS_SETFONT); without it the dialog uses the system font.
  DialogTemplate(DWORD style, DWORD exStyle, short width, short height, std::wstring_view title,
                 WORD fontPoints = 0, std::wstring_view fontFace = {});

  // Items come in tab order.
  void Item(WORD controlClass, int id, short x, short y, short width, short height, DWORD style,
            std::wstring_view text);

  LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

 private:
  void Dword(DWORD value);
  void Text(std::wstring_view text);

  std::vector<WORD> words_;
};
