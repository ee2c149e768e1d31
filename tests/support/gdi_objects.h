// How many GDI objects the process holds, for the tests that show nothing leaks.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

// Wine's GetGuiResources is a stub answering 0: there the live entries of Wine's GDI handle
// table are counted (65536 of 24 bytes, the type in byte 14), found at 0x94 or 0xF8 in the PEB.
inline DWORD CountGdiObjects() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
  const BYTE* peb = nullptr;
#ifdef _WIN64
  asm("movq %%gs:0x60, %0" : "=r"(peb));
#else
  asm("movl %%fs:0x30, %0" : "=r"(peb));
#endif
  const BYTE* table = *reinterpret_cast<BYTE* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
  DWORD n = 0;
  for (int i = 0; table && i < 0x10000; ++i) n += table[24 * i + 14] != 0;
  return n;
}

// The count, from a counter just seen to notice a new object: one that read 0, or the wrong
// table, would pass every leak test.
inline DWORD GdiObjects() {
  const DWORD before = CountGdiObjects();
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(CountGdiObjects(), before + 1) << "the GDI object counter does not see a new brush";
  DeleteObject(brush);
  return before;
}
