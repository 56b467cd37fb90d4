// The game's window on the X server. The engine opens the connection and
// the window and, with its software renderer, keeps them to itself; yet the
// frame loop has to sleep on the connection until the server sends
// something, and the desktop has to know the window: its class (which ties
// it to the menu entry's StartupWMClass), its process and host, its fixed
// size, a close request any window manager can send, and its icon. The game
// defines `XMapRaised`, which the engine's call reaches before Xlib's, and
// so learns both, and names the window just before it is first shown: a
// window manager already running finds everything in place.
#pragma once

#include <irrlicht.h>

// The connection the engine's device showed its window on (an Xlib
// Display), or null before it has.
void* engineXConnection();

// That window, or 0 before it is shown.
unsigned long engineWindow();

// Waits until `display` (an Xlib Display) has events queued, at most
// `timeoutMs` milliseconds, or without limit when it is negative. True
// when events are queued. Events Xlib has already read off the socket
// count as well as those still on it, so none waits for the timeout.
bool waitForXEvents(void* display, int timeoutMs);

// Sets _NET_WM_ICON from the game's icon pictures (icon-16.png up to
// icon-128.png, decoded like every other picture), the null ones left out.
void setWindowIcon(irr::video::IImage* const* icons, int count);
