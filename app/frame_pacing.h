// Decides when the frame loop draws, so that a still picture costs
// nothing. A frame follows whatever the X server sends (pointer motion, a
// click, a key, the window exposed, mapped or resized) and each moment at
// which the engine changes the picture by itself; in between, the loop
// sleeps on the X connection. On the null driver, which tests step by
// hand, nothing waits, and a pass counts as one in which input came
// unless `gameState.pacing.inputPosted` says otherwise.
#pragma once

#include <irrlicht.h>

// Sleeps until the X server has sent something or a change is due, then
// lets the engine deliver what came, or only moves its clock on when
// nothing did. False once the device has stopped.
bool awaitChange();

// Whether this pass draws a frame.
bool frameWanted();

// Called around the drawing of a frame.
void beginFrame();
void endFrame();

// The engine's virtual time at which the picture next changes by itself;
// false when nothing will before input comes.
bool nextChangeDue(irr::u32& at);
