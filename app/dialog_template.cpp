#include "app/dialog_template.h"

namespace {
constexpr size_t kItemCountIndex = 4;  // after the two style DWORDs
}  // namespace

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short width, short height,
                               std::wstring_view title, WORD fontPoints,
                               std::wstring_view fontFace) {
  words_.reserve(256);
  Dword(style);
  Dword(exStyle);
  words_.push_back(0);  // item count, raised by each Item
  for (short v : {short{0}, short{0}, width, height}) words_.push_back(static_cast<WORD>(v));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // standard dialog class
  Text(title);
  if (style & DS_SETFONT) {
    words_.push_back(fontPoints);
    Text(fontFace);
  }
}

void DialogTemplate::Item(WORD controlClass, int id, short x, short y, short width, short height,
                          DWORD style, std::wstring_view text) {
  if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
  Dword(style);
  Dword(0);
  for (short v : {x, y, width, height}) words_.push_back(static_cast<WORD>(v));
  words_.push_back(static_cast<WORD>(id));
  words_.push_back(0xFFFF);  // a predefined class follows as a number
  words_.push_back(controlClass);
  Text(text);
  words_.push_back(0);  // no creation data
  ++words_[kItemCountIndex];
}

void DialogTemplate::Dword(DWORD value) {
  words_.push_back(LOWORD(value));
  words_.push_back(HIWORD(value));
}

void DialogTemplate::Text(std::wstring_view text) {
  for (wchar_t c : text) words_.push_back(static_cast<WORD>(c));
  words_.push_back(0);
}
