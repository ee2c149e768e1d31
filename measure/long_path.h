// Paths too long for the plain Windows calls.
#pragma once

#include <string>

// The same path in the form that Windows takes at any length ("\\?\C:\..."
// or "\\?\UNC\server\..."), where it is absolute and MAX_PATH (260) or
// longer. Without long-path awareness Windows refuses a longer plain path
// (Wine doesn't). Shorter, relative or already extended paths come back as
// they are.
std::wstring ExtendedLengthPath(const std::wstring& path);
