// The board's menu bar worked from the keyboard through the engine's own
// menu: opening it presses its title, a highlight points at an item and
// a choice releases the button there, each as the mouse does, so a
// command chosen by key reaches the receiver as exactly the event a
// click raises. Only keyboard play (ui/keyboard.h) calls these.
#pragma once

#include <irrlicht.h>

// The board's menu bar, null on the other screens.
irr::gui::IGUIContextMenu* boardMenuBar();
bool menuOpen();

// Opens "Menu" with the focus on its bar and its first item highlighted.
void openMenu();
// Every highlight the keyboard makes goes through here: `item` of the
// open menu is shown as the pointer over it would show it, and said with
// speech on.
void highlightMenuItem(irr::s32 item);
// The item `step` places after the highlighted one (before it when
// negative), round the ends, passing over disabled items.
void moveMenuHighlight(irr::s32 step);
// Chooses the highlighted item; with none highlighted nothing happens.
void chooseMenuItem();
// Closes the menu without choosing and gives the focus to `focus`, or
// to its title when `focus` is null.
void closeMenu(irr::gui::IGUIElement* focus);

// Where the bar's title stands, the part of the bar the focus ring marks.
irr::core::rect<irr::s32> menuTitleArea(irr::gui::IGUIElement* bar);
