// The game's connection to the X server and its window. The engine opens
// both and, with its software renderer, keeps them to itself; the frame
// loop still has to sleep on the connection until the server sends
// something, and the window needs a name before it is shown. The game
// defines `XMapRaised`, which the engine's call reaches before Xlib's,
// and so learns both just before the window is first shown.
#pragma once

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
