#include "game/board.h"

#include "app/game_state.h"
#include "game/deal.h"
#include "ui/control_ids.h"
#include "ui/layout.h"
#include "ui/narration.h"
#include "ui/screen_change.h"

using namespace irr;

namespace {

const int BOARD_ROWS = 5;
const int BOARD_COLUMNS = 4;
const s32 TILE_WIDTH = 100;
const s32 TILE_HEIGHT = 50;
const wchar_t* const MENU_TOOL_TIP =
    L"Menu: F10 or Alt+M\nNew Game: Ctrl+N or F2\nExit: Ctrl+Q\nSpeech: Ctrl+S";

} // namespace

void newGame() {
    gameState.clickCount = 0;
    gameState.revealedCount = 0;
    gameState.matchedPairs = 0;
    gameState.menuBackgroundVisible = false;
    clearScreen();
    shuffleDeal();
    buildBoard();
    sayBoard();
}

void buildBoard() {
    gui::IGUIEnvironment* gui = gameState.guiEnvironment;
    gui::IGUIContextMenu* menuBar = gui->addMenu(nullptr, ID_NONE);
    menuBar->addItem(L"Menu", ID_NONE, true, true, false, false);
    gui::IGUIContextMenu* gameMenu = menuBar->getSubMenu(0);
    gameMenu->addItem(L"New Game", CMD_NEW_GAME, true, false, false, false);
    gameMenu->addItem(L"Exit", CMD_EXIT, true, false, false, false);
    // The title is the board's last stop for Tab, after the tiles, and
    // tells where its commands are on the keyboard.
    menuBar->setTabStop(true);
    menuBar->setTabOrder(TILE_COUNT);
    menuBar->setToolTipText(MENU_TOOL_TIP);

    for (int id = 0; id < TILE_COUNT; ++id) {
        const s32 column = id / BOARD_ROWS;
        const s32 row = id % BOARD_ROWS;
        const s32 left = 10 + 200 * column;
        const s32 top = 35 + 100 * row;
        gui::IGUIButton* tile = gui->addButton(
            atScale(core::rect<s32>(left, top, left + TILE_WIDTH, top + TILE_HEIGHT)), nullptr, id,
            L"", L"choose me");
        tile->setImage(gameState.hiddenTexture);
        // Ids run down the columns; Tab reads the board row by row.
        tile->setTabOrder(row * BOARD_COLUMNS + column);
        gameState.tileButtons[id] = tile;
    }
}
