#pragma once
#include <string>

// Plain decimal: "-" before negatives, no blanks, no leading zeros.
std::wstring NumberText(long long n);

// A float that holds a whole number (minutes), written like an integer:
// "30", never "30.0"; -0 is "0". A fraction is dropped toward zero, NaN is
// written "0" and values beyond the 64-bit range saturate.
std::wstring WholeNumberText(float v);
