#include "measure/long_path.h"

#include <algorithm>

namespace {
constexpr size_t kMaxPath = 260;
}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
  if (path.size() < kMaxPath || path.rfind(L"\\\\?\\", 0) == 0) return path;
  std::wstring extended;
  if (path.size() > 2 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
    extended = L"\\\\?\\" + path;
  } else if (path.rfind(L"\\\\", 0) == 0) {
    extended = L"\\\\?\\UNC\\" + path.substr(2);
  } else {
    return path;
  }
  // Windows passes an extended path on untouched: "/" is no separator there.
  std::replace(extended.begin(), extended.end(), L'/', L'\\');
  return extended;
}
