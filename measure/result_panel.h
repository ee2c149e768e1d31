#pragma once

// Draws the distance and travel time of the current measurement in a white
// panel at the canvas's top-left corner, or, when the drag ended on column
// 0 or row 0, clears the measurement and shows the bare map.
void ShowDistance();
