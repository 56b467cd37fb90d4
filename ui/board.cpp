#include "ui/board.h"

#include "game/deal.h"
#include "game/rules.h"
#include "platform/clock.h"
#include "platform/standard_streams.h"
#include "platform/translation.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/layout.h"
#include "ui/narration.h"
#include "ui/pictures.h"
#include "ui/screen_change.h"
#include "ui/skin.h"
#include "ui/texts.h"

using namespace irr;

Board board;

namespace {

const s32 TILE_WIDTH = 100;
const s32 TILE_HEIGHT = 50;
// TRANSLATORS: the tool-tip of the board's menu title: each command and
// its keys, one a line; the key names stay as they are on the keyboard.
const char* const MENU_TOOL_TIP =
    N_("Menu: F10 or Alt+M\nNew Game: Ctrl+N or F2\nExit: Ctrl+Q\nSpeech: Ctrl+S");

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

void announceWin() {
    addGameMessageBox(winCaption(), winText(board.match.clickCount), gui::EMBF_OK, ID_WIN_BOX);
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
    // TRANSLATORS: the board's menu bar: its title and its two commands.
    menuBar->addItem(onScreen(_("Menu")).c_str(), ID_NONE, true, true, false, false);
    gui::IGUIContextMenu* gameMenu = menuBar->getSubMenu(0);
    gameMenu->addItem(onScreen(_("New Game")).c_str(), CMD_NEW_GAME, true, false, false, false);
    gameMenu->addItem(onScreen(_("Exit")).c_str(), CMD_EXIT, true, false, false, false);
    // The title is the board's last stop for Tab, after the tiles, and
    // tells where its commands are on the keyboard.
    menuBar->setTabStop(true);
    menuBar->setTabOrder(TILE_COUNT);
    menuBar->setToolTipText(onScreen(_(MENU_TOOL_TIP)).c_str());

    // TRANSLATORS: the tool-tip of every face-down tile.
    const core::stringw chooseMe = onScreen(_("choose me"));
    for (int id = 0; id < TILE_COUNT; ++id) {
        const s32 left = 10 + 200 * tileColumn(id);
        const s32 top = 35 + 100 * tileRow(id);
        gui::IGUIButton* tile = gui->addButton(
            atScale(core::rect<s32>(left, top, left + TILE_WIDTH, top + TILE_HEIGHT)), nullptr, id,
            L"", chooseMe.c_str());
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

std::string winCaption() {
    // TRANSLATORS: the title of the box that ends a won game.
    return _("You won");
}

std::string winText(int clicks) {
    // The same words for any count in English; other languages have
    // forms for it.
    // TRANSLATORS: the box that ends a won game: the clicks it took, then
    // on a line of its own an invitation to play again (the menu's "New
    // Game" does). %d is the number of clicks, 20 at the fewest.
    return formatText(P_("Your number of clicks are %d\nPlay Again",
                         "Your number of clicks are %d\nPlay Again", clicks),
                      {std::to_string(clicks)});
}
