// The small modal box that asks for a line of text, and the speed question
// built on it.
#pragma once

#include <cstdint>
#include <string>

// Shows a box titled `title` with the prompt, an edit field holding the
// proposed text (selected, so typing replaces it), OK and Cancel. Placed
// with its top-left at screen (x, y), or centred on the screen when either
// is negative. Returns at most the first 255 characters confirmed with OK
// or Enter; "" for Cancel, Escape or the close box, and when the box can't
// be shown.
std::wstring InputBox(const std::wstring& prompt, const std::wstring& title,
                      const std::wstring& proposed, int32_t x, int32_t y);

// Asks for the speed in km/h until the answer is a plain number (digits
// only, empty for 0, at most 2147483647), offering the same proposed text
// each time, and stores it in SpeedKmh.
void AskSpeed(const std::wstring& proposed);
