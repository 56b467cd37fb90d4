// The whole-number scale the game is drawn at, 1 or 2, decided once at
// start-up from what the player and the desktop say. Deciding is a pure
// function of what was read, so that every case can be tried without a
// desktop; reading the X server's part is in platform/x_display.h.
#pragma once

#include "platform/x_display.h"
#include "ui/layout.h"

// What the X server says (its work area, when known, holds a scale back
// only when the window would not fit), and:
struct ScaleInputs : DesktopSize {
    // The --scale option: 1 or 2, or 0 when it was not given.
    int option = 0;
    // GDK_SCALE as found in the environment, null when unset.
    const char* gdkScale = nullptr;
};

const int MAX_SCALE = 2;

// --scale first, else GDK_SCALE when a positive whole number (2 and more
// mean 2), else Xft.dpi (144 dpi and more mean 2), else 1; then 1 after
// all when the window at that scale would not fit the work area.
int chooseScale(const ScaleInputs& inputs);
