// What the X server says about the desktop's scale, read over a short
// connection of its own before the engine opens the window: the resource
// string (where Xft.dpi lives) and the work area the window manager leaves
// for windows (_NET_WORKAREA of the current desktop, else the screen).
#pragma once

#include "app/display_scale.h"

// Fills `xResources`, `workWidth` and `workHeight` of `inputs`; leaves
// them as they are when no X server answers.
void readXDisplay(ScaleInputs& inputs);
