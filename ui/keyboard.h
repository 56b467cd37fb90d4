// Keyboard play beside the mouse. The engine itself moves the focus with
// Tab and Shift+Tab and presses the focused button with Space or Enter.
// Added here: the arrow keys move the focus across the buttons on screen
// (on the board across the grid, over removed tiles); on the board Ctrl+N
// or F2 deals, Ctrl+Q quits, and the menu bar's title is the last stop of
// Tab, opened there or anywhere by F10 and Alt+M and worked with the
// arrows (ui/menu_keys.h); Escape answers an open box and on About goes
// back; Ctrl+S turns speech on and off anywhere; with speech on, a key
// that leaves the focus where it was says where it stays; and while the
// keyboard is in use the focus is kept on a stop the player can see. The
// receiver hands key and mouse events here, apart from its routing of GUI
// events.
#pragma once

#include <irrlicht.h>

// True when the key was used up here and the engine must not act on it
// as well. A mouse button press is only noted: it hides the focus ring.
bool onKeyboardInput(const irr::SEvent& event);

// While the keyboard is in use, the stop (a button or the board's menu
// bar) the focus ring belongs on: the focused one; or, when a screen
// change or a removed pair left the focus on nothing the player can
// reach, the next reachable stop in reading order (after a screen change
// the first, on About "Back"), which is focused first. Null while the
// mouse is in use or when no stop can be reached.
irr::gui::IGUIElement* keyboardFocus();

// Whether the player's last press was a key rather than a mouse button.
bool keyboardInUse();

// Keyboard play as a game starts: the mouse in use, no key held.
void forgetKeys();
