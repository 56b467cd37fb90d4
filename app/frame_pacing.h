// Keeps the frame loop from drawing a still picture hundreds of times a
// second where vertical sync does not hold: full rate while the intro
// fades and shortly after any input, a few frames a second at rest, and
// a wait that ends the moment the X server has input for the window.
#pragma once

void paceFrame();
