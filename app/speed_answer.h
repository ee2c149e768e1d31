#pragma once
#include <cstdint>
#include <string_view>

// The answer as the input box returned it. Accepts only ASCII digits (an
// empty answer is 0, leading zeros don't count) up to 2147483647. Returns
// true and sets speedKmh when acceptable; otherwise leaves it untouched.
bool ParseSpeedAnswer(std::wstring_view answer, int32_t& speedKmh);
