// Every id the game gives a GUI element. Events are routed by these
// numbers; the tiles of the board use the ids 0 to TILE_COUNT - 1.
#pragma once

enum {
    TILE_COUNT = 20,

    ID_START_GAME = 26,
    ID_ABOUT = 27,
    ID_BACK = 28,
    ID_WEBSITE = 29,

    CMD_EXIT = 56,
    CMD_NEW_GAME = 57,

    ID_WIN_BOX = 121,
    ID_ARCHIVE_ERROR_BOX = 150,

    // Menu bar, the "Menu" title's command, the About text and the fader.
    ID_NONE = -1
};
