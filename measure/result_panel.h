#pragma once

#include <string_view>

// Draws the distance and travel time of the current measurement in a white
// panel at the canvas's top-left corner, or, when the drag ended on column
// 0 or row 0, clears the measurement and shows the bare map.
void ShowDistance();

// The panel itself, on the current target: a white box with a black border
// at the top-left corner holding the two lines, black over red. It leaves
// the target's pen 2 pixels wide.
void DrawResultPanel(std::wstring_view distanceLine, std::wstring_view timeLine);
