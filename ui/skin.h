// The look of the engine's own widgets (the menu bar, the message boxes
// and the tool-tips): the colours of the game's menu panel and button art
// instead of the engine's grey, and every size the engine takes from its
// skin (menu, title bar and box margins, text offsets, the buttons of a
// box) at the game's scale. The website button, which has no picture of
// its own, wears the button art like the menu's buttons (ui/button_art.h).
#pragma once

#include <irrlicht.h>
#include <string>

// Gives the GUI a skin in the game's colours whose sizes are the engine's
// own times `gameState.scale`, drawing text in `font`. Called once the
// font is loaded and before any element is added.
void dressSkin(irr::gui::IGUIFont* font);

// The engine draws a box's close button with a picture of its own at one
// size only: so that a box looks the same at every scale, it keeps only
// its answer button, which closes it as well, and Escape presses that
// (ui/keyboard.h).
void dressMessageBox(irr::gui::IGUIWindow* box);

// A modal box so dressed, with `flags`' buttons, its texts as the player
// reads them (ui/texts.h).
void addGameMessageBox(const std::string& caption, const std::string& text,
                       irr::gui::EMESSAGE_BOX_FLAG flags, irr::s32 id);

// Text that stands on the menu background's dark blue, off the panel,
// would be dark on dark in the skin's text colour: it takes the panel's
// light colour instead.
void dressTextOnBackground(irr::gui::IGUIStaticText* text);
