// Opening the game: the device and its 800x500 window, the engine
// handles in `gameState`, the receiver, the assets and the intro; and
// closing it again.
#pragma once

#include "ui/event_receiver.h"

#include <irrlicht.h>

// Creates the device with `driverType` (falling back from OpenGL to the
// engine's software renderer) and starts the intro. False when no device
// could be created; nothing else has happened then.
bool startUp(irr::video::E_DRIVER_TYPE driverType, AppContext& context, MyEventReceiver& receiver);

// Releases what the last screen change kept alive and then the device.
void shutDown();
