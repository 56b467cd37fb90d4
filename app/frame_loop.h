// One pass of the frame loop: sleep until something may change on screen,
// deliver input, and, when something did or is due to, paint the
// background the screen wants, end the intro when its time is up, draw
// the GUI and present. False once the device has stopped.
#pragma once

#include <irrlicht.h>

bool runFrame();

// The intro gives way to the main menu on the first frame more than this
// many milliseconds of the engine's virtual time after `startTime`.
const irr::u32 INTRO_MS = 6000;
