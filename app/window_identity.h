// How the desktop knows the game's window: its class (which ties it to
// the menu entry's StartupWMClass), its process and host, its fixed size,
// a close request any window manager can send, and its icon. The engine
// offers no way to set any of it, so the game names the window on the
// engine's own connection just before the engine shows it
// (app/x_connection.h), with either renderer: a window manager already
// running finds everything in place when it takes the window.
#pragma once

// Called with the engine's connection (an Xlib Display) and its window
// just before the window is first shown: sets WM_CLASS, _NET_WM_PID,
// WM_CLIENT_MACHINE and size hints that hold it at its size, and makes
// sure the engine's own close request will name WM_DELETE_WINDOW.
void nameWindow(void* display, unsigned long window);

// Once the assets are mounted: sets _NET_WM_ICON from the game's icon
// pictures (icon-16.png up to icon-128.png), decoded like every other
// picture; a picture that is missing or refused is left out.
void setWindowIcon();
