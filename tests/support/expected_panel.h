// The result panel as the user must see it, drawn with plain GDI from the two lines a test
// expects: a 2-px black border from (2,1) to (340,70) around white, the distance in black at
// (10,10) and the time in red at (10,40), both in 11-px bold italic "Consola" (8 points at
// 96 DPI) on white.
#pragma once

#include <windows.h>

#include <string>
#include <tuple>
#include <utility>

inline void DrawExpectedPanel(HDC dc, const std::wstring& distance, const std::wstring& time) {
  constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0);
  const LOGFONTW lf{-11, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, L"Consola"};
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 2, kBlack));
  HGDIOBJ brush = SelectObject(dc, CreateSolidBrush(kWhite));
  HGDIOBJ font = SelectObject(dc, CreateFontIndirectW(&lf));
  Rectangle(dc, 2, 1, 340, 70);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SetBkColor(dc, kWhite);
  for (const auto& [y, colour, text] : {std::tuple{10, kBlack, distance}, std::tuple{40, kRed, time}}) {
    SetTextColor(dc, colour);
    const RECT clip{10, y, 4096, y + tm.tmHeight + tm.tmExternalLeading};
    ExtTextOutW(dc, 10, y, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  }
  DeleteObject(SelectObject(dc, font));
  DeleteObject(SelectObject(dc, brush));
  DeleteObject(SelectObject(dc, pen));
}

// How many pixels of the panel's outline and what it holds (1..339 by 0..69) differ in `shown`,
// whose map starts at `map`, from the panel reading these two lines. Both are compared as
// copies in memory: a pixel read from a window or the screen is a round trip each.
inline int PanelDifference(HDC shown, POINT map, const std::wstring& distance, const std::wstring& time) {
  HDC seen = CreateCompatibleDC(shown), want = CreateCompatibleDC(shown);
  HGDIOBJ seenPicture = SelectObject(seen, CreateCompatibleBitmap(shown, 340, 70));
  HGDIOBJ wantPicture = SelectObject(want, CreateCompatibleBitmap(shown, 340, 70));
  BitBlt(seen, 0, 0, 340, 70, shown, map.x, map.y, SRCCOPY);
  PatBlt(want, 0, 0, 340, 70, WHITENESS);
  DrawExpectedPanel(want, distance, time);
  int differ = 0;
  for (int y = 0; y < 70; ++y)
    for (int x = 1; x < 340; ++x) differ += GetPixel(seen, x, y) != GetPixel(want, x, y);
  for (auto [dc, picture] : {std::pair{seen, seenPicture}, std::pair{want, wantPicture}}) {
    DeleteObject(SelectObject(dc, picture));
    DeleteDC(dc);
  }
  return differ;
}
