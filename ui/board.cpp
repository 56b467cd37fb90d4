#include "ui/board.h"

#include "game/deal.h"
#include "game/rules.h"
#include "platform/clock.h"
#include "platform/standard_streams.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/layout.h"
#include "ui/narration.h"
#include "ui/pictures.h"
#include "ui/screen_change.h"
#include "ui/skin.h"

using namespace irr;

Board board;

namespace {

const s32 TILE_WIDTH = 100;
const s32 TILE_HEIGHT = 50;
const wchar_t* const MENU_TOOL_TIP =
    L"Menu: F10 or Alt+M\nNew Game: Ctrl+N or F2\nExit: Ctrl+Q\nSpeech: Ctrl+S";

// A tile shows the side the match gives it. One that has gone leaves the
// board face up, as it was found, and can no longer be clicked.
void showSide(int tile) {
    gui::IGUIButton* button = board.tileButtons[tile];
    const TileSide side = board.match.sides[tile];
    button->setImage(side == TileSide::FACE_DOWN
                         ? pictures.hiddenTexture
                         : pictures.faceTextures[board.match.tileValues[tile]]);
    if (side == TileSide::GONE) {
        button->setEnabled(false);
        button->setVisible(false);
    }
}

core::stringw widened(const std::string& text) {
    core::stringw wide;
    for (char c : text)
        wide.append(static_cast<wchar_t>(c));
    return wide;
}

void announceWin() {
    dressMessageBox(gameState.guiEnvironment->addMessageBox(
        widened(winCaption()).c_str(), widened(winText(board.match.clickCount)).c_str(), true,
        gui::EMBF_OK, nullptr, ID_WIN_BOX, nullptr));
}

} // namespace

void newGame() {
    board.match = nextMatch(board.match);
    gameState.menuBackgroundVisible = false;
    clearScreen();
    shuffleDeal(board.match, millisecondTicks());
    // One write for the whole deal, so a reader sees it entire or not at all.
    const std::string trace = dealTrace(board.match);
    writeWholeOrNothing(trace.data(), trace.size());
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
        const s32 left = 10 + 200 * tileColumn(id);
        const s32 top = 35 + 100 * tileRow(id);
        gui::IGUIButton* tile = gui->addButton(
            atScale(core::rect<s32>(left, top, left + TILE_WIDTH, top + TILE_HEIGHT)), nullptr, id,
            L"", L"choose me");
        tile->setImage(pictures.hiddenTexture);
        // Ids run down the columns; Tab reads the board row by row.
        tile->setTabOrder(tileRow(id) * BOARD_COLUMNS + tileColumn(id));
        board.tileButtons[id] = tile;
    }
}

void playTile(int id) {
    holdFocusSentences();
    const Move move = onTileClicked(board.match, id);
    board.match = move.match;
    for (int tile : move.changed)
        if (tile >= 0)
            showSide(tile);
    if (move.outcome == Outcome::WON)
        announceWin();
    sayTurn(id, move);
}

int tileOf(gui::IGUIElement* element) {
    if (!element || element->getType() != gui::EGUIET_BUTTON)
        return -1;
    const s32 id = element->getID();
    return isTile(id) && board.tileButtons[id] == element ? id : -1;
}

const char* winCaption() {
    return "You won";
}

std::string winText(int clicks) {
    return "Your number of clicks are " + std::to_string(clicks) + "\nPlay Again";
}
