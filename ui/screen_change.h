// Screen changes happen inside the click of an element that the change
// removes. `clearScreen` takes every element off the screen at once but
// keeps them alive; `releaseClearedScreen` frees them once the engine has
// finished delivering the event (the frame loop calls it after `run`).
#pragma once

#include <irrlicht.h>

void clearScreen();
// Keeps `element` alive, whatever removes it meanwhile, until then too.
void keepUntilDelivered(irr::gui::IGUIElement* element);
void releaseClearedScreen();
