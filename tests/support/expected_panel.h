// The result panel as the user must see it, drawn with plain GDI from the two
// lines a test expects: a 2-px black border from (2,1) to (340,70) around
// white, the distance in black at (10,10) and the time in red at (10,40),
// both in 11-px bold italic "Consola" (8 points at 96 DPI) on white.
#pragma once

#include <windows.h>

#include <string>

inline void DrawExpectedPanel(HDC dc, const std::wstring& distance, const std::wstring& time) {
  constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0);
  HPEN pen = CreatePen(PS_SOLID, 2, kBlack);
  HBRUSH brush = CreateSolidBrush(kWhite);
  LOGFONTW lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = TRUE;
  lf.lfCharSet = ANSI_CHARSET;
  lstrcpyW(lf.lfFaceName, L"Consola");
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldFont = SelectObject(dc, font);
  Rectangle(dc, 2, 1, 340, 70);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kWhite);
  const struct {
    int y;
    COLORREF colour;
    const std::wstring& text;
  } lines[] = {{10, kBlack, distance}, {40, kRed, time}};
  for (const auto& line : lines) {
    SetTextColor(dc, line.colour);
    const RECT clip{10, line.y, 4096, line.y + tm.tmHeight + tm.tmExternalLeading};
    ExtTextOutW(dc, 10, line.y, ETO_CLIPPED, &clip, line.text.c_str(),
                static_cast<UINT>(line.text.size()), nullptr);
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(font);
  DeleteObject(brush);
  DeleteObject(pen);
}
