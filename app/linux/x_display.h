// What the X server says about the desktop's scale, read over a
// connection of its own before the engine opens the window: the resource
// string (where Xft.dpi lives) and the work area the window manager leaves
// for windows (_NET_WORKAREA of the current desktop, else the screen).
// The connection stays open until the engine's own is: a server that
// resets when its last client leaves (Xvfb, xvfb-run, some remote
// desktops) would otherwise reset in between and may come back without
// GLX, leaving the game to the software renderer.
#pragma once

#include "app/display_scale.h"

// Fills `xResources`, `workWidth` and `workHeight` of `inputs`; leaves
// them as they are when no X server answers.
void readXDisplay(ScaleInputs& inputs);

// Closes the connection `readXDisplay` opened, once the engine's device
// has its own (or has given up).
void releaseXDisplay();
