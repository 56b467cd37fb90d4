// The game's connection to the X server. The engine opens it and, with
// its software renderer, keeps it to itself; the frame loop still has to
// sleep on it until the server sends something.
#pragma once

// The connection the engine's device opened (an Xlib Display), or null
// while it has none open.
void* engineXConnection();

// Waits until `display` (an Xlib Display) has events queued, at most
// `timeoutMs` milliseconds, or without limit when it is negative. True
// when events are queued. Events Xlib has already read off the socket
// count as well as those still on it, so none waits for the timeout.
bool waitForXEvents(void* display, int timeoutMs);
