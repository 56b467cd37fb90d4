// Opening the game: the device and its window (800x500 times the scale),
// the engine handles in `gameState`, the receiver, the assets and the
// intro; and closing it again.
#pragma once

#include "ui/event_receiver.h"

#include <irrlicht.h>

// Creates the device with `driverType` (falling back from OpenGL to the
// engine's software renderer) at `scale` (1 or 2; 1 after all when the
// pictures drawn for 2 are not all there) and starts the intro. False
// when no device could be created; nothing else has happened then.
bool startUp(irr::video::E_DRIVER_TYPE driverType, int scale, AppContext& context,
             MyEventReceiver& receiver);

// Releases what the last screen change kept alive and then the device.
void shutDown();
