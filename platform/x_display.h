// What the X server says about the desktop's scale, read over a
// connection of its own before the engine opens the window: the resource
// string (where Xft.dpi lives) and the work area the window manager leaves
// for windows (_NET_WORKAREA of the current desktop, else the screen).
// The connection stays open until the engine's own is: a server that
// resets when its last client leaves (Xvfb, xvfb-run, some remote
// desktops) would otherwise reset in between and may come back without
// GLX, leaving the game to the software renderer.
#pragma once

#include <string>

struct DesktopSize {
    // The X server's resource string (where Xft.dpi lives), empty when
    // there is none.
    std::string xResources;
    // The work area the window manager leaves for windows, or the screen;
    // 0 when unknown.
    int workWidth = 0;
    int workHeight = 0;
};

// Fills `desktop`; leaves it as it is when no X server answers.
void readXDisplay(DesktopSize& desktop);

// Closes the connection `readXDisplay` opened, once the engine's device
// has its own (or has given up).
void releaseXDisplay();
