// How the desktop knows the game's window: its class (which ties it to
// the menu entry's StartupWMClass), its process and host, its icon, its
// fixed size and a close request any window manager can send. The game sets these
// through a short-lived X connection of its own: the engine offers no
// way to, and its software renderer does not even say which window is
// its own.
#pragma once

#include <irrlicht.h>

typedef struct _XDisplay Display;

// The game's own connection, open from before the device exists until
// the window has its identity, and the window once found.
struct WindowIdentity {
    Display* connection = nullptr;
    unsigned long window = 0;
};

// Before the device is created: opens the connection and interns
// WM_DELETE_WINDOW. The engine looks that atom up only if it exists, and
// on a server no window manager has touched yet it does not, so the
// window would offer a close request that no window manager can send.
// The connection stays null without an X server.
WindowIdentity openWindowIdentity();

// Right after the device is created, its window mapped: finds the window
// and sets WM_CLASS, _NET_WM_PID, WM_CLIENT_MACHINE and size hints that
// hold it at the driver's screen size.
void nameWindow(WindowIdentity& identity, irr::IrrlichtDevice* device);

// Once the assets are mounted: sets _NET_WM_ICON from the game's icon
// pictures (icon-16.png up to icon-128.png), decoded like every other
// picture; a picture that is missing or refused is left out.
void setWindowIcon(WindowIdentity& identity);

// Closes the connection; the window keeps what it was given.
void closeWindowIdentity(WindowIdentity& identity);
