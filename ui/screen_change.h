// Screen changes happen inside the click of an element that the change
// removes. `clearScreen` takes every element off the screen at once but
// keeps them alive; `releaseClearedScreen` frees them once the engine has
// finished delivering the event (the frame loop calls it after `run`).
#pragma once

void clearScreen();
void releaseClearedScreen();
