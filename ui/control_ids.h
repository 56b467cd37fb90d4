// Every id the game gives a GUI element or a menu command. Events are
// routed by these numbers. The tiles of the board use the ids 0 to
// TILE_COUNT - 1 (game/board_shape.h); every other element's id lies
// beyond them, whatever the board's size.
#pragma once

#include "game/board_shape.h"

enum {
    ID_START_GAME = TILE_COUNT + 6,
    ID_ABOUT,
    ID_BACK,
    ID_WEBSITE,

    ID_WIN_BOX = TILE_COUNT + 101,
    ID_ARCHIVE_ERROR_BOX = TILE_COUNT + 130,

    // Commands of the menu bar's items, numbered apart from the elements.
    CMD_EXIT = 56,
    CMD_NEW_GAME = 57,

    // Menu bar, the "Menu" title's command, the About text and the fader.
    ID_NONE = -1
};
