// 2D graphics commands.
#pragma once

// The 2D viewport in window pixels from the top left; a width or height of
// 0 or less covers the whole screen (keeping x and y).
void SetViewport(double x, double y, double width, double height);
