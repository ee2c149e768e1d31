// How many GDI objects the process holds, for the tests that show nothing leaks.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

// GDI objects the process holds. Wine's GetGuiResources is a stub that returns
// 0: there we count the live entries of Wine's GDI handle table (65536 entries
// of 24 bytes, the type in byte 14), which the PEB points to: at 0x94 in a
// 32-bit process, 0xF8 in a 64-bit one.
inline DWORD CountGdiObjects() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
  const BYTE* peb = nullptr;
#ifdef _WIN64
  asm("movq %%gs:0x60, %0" : "=r"(peb));
  const BYTE* table = *reinterpret_cast<BYTE* const*>(peb + 0xF8);
#else
  asm("movl %%fs:0x30, %0" : "=r"(peb));
  const BYTE* table = *reinterpret_cast<BYTE* const*>(peb + 0x94);
#endif
  DWORD n = 0;
  for (int i = 0; table && i < 0x10000; ++i) n += table[24 * i + 14] != 0;
  return n;
}

// The count, from a counter that has just shown it sees an object come: one
// that read 0, or the wrong table, would pass every leak test.
inline DWORD GdiObjects() {
  const DWORD before = CountGdiObjects();
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  const DWORD with = CountGdiObjects();
  DeleteObject(brush);
  EXPECT_EQ(with, before + 1) << "the GDI object counter does not see a new brush";
  return before;
}
