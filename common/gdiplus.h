// GDI+ with the flat API only. Its headers use unqualified min and max,
// which NOMINMAX takes away.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
