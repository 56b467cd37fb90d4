// The board screen: the match in play, shown as a menu bar and a button
// for each tile. The rules (game/rules.h) decide what a click does; here
// their outcome is shown and said, and the win is announced.
#pragma once

#include "game/match.h"

#include <irrlicht.h>
#include <string>

struct Board {
    Match match;
    // Owned by the GUI environment; valid only while the board built
    // last is on screen.
    irr::gui::IGUIButton* tileButtons[TILE_COUNT] = {};
};

extern Board board;

// A new match on the last one's arrangement, shuffled from the clock and
// traced on standard output, on a board built anew.
void newGame();
void buildBoard();

// A click on tile `id`, as the rules take it: its outcome shown on the
// buttons and said, and after the last pair the win box.
void playTile(int id);

// The tile whose button `element` is, or -1.
int tileOf(irr::gui::IGUIElement* element);

// The win box's title and text after `clicks` clicks, in the player's
// language.
std::string winCaption();
std::string winText(int clicks);
