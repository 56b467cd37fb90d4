#include "game/rules.h"

#include "app/game_state.h"
#include "ui/control_ids.h"
#include "ui/skin.h"

#include <cstdio>

using namespace irr;

namespace {

const s32 LAST_PAIR_BEFORE_WIN = 9;

// A value indexes the 20-entry picture table directly, so value 10 shows
// "1.jpg" and every other value v shows "v+1.jpg".
void showTile(int id) {
    gameState.tileButtons[id]->setImage(gameState.faceTextures[gameState.tileValues[id]]);
}

void hideTile(int id) {
    gameState.tileButtons[id]->setImage(gameState.hiddenTexture);
}

void removeTile(int id) {
    gameState.tileButtons[id]->setEnabled(false);
    gameState.tileButtons[id]->setVisible(false);
}

void announceWin() {
    char narrow[64];
    std::snprintf(narrow, sizeof narrow, "Your number of clicks are %d\nPlay Again",
                  gameState.clickCount);
    core::stringw text;
    for (const char* c = narrow; *c; ++c)
        text.append(static_cast<wchar_t>(*c));
    dressMessageBox(gameState.guiEnvironment->addMessageBox(
        L"You won", text.c_str(), true, gui::EMBF_OK, nullptr, ID_WIN_BOX, nullptr));
}

} // namespace

void onTileClicked(int id) {
    ++gameState.clickCount;
    switch (gameState.revealedCount) {
    case 0:
        gameState.revealedCount = 1;
        showTile(id);
        gameState.firstTile = id;
        break;
    case 1:
        if (id == gameState.firstTile)
            break;
        gameState.revealedCount = 2;
        showTile(id);
        gameState.secondTile = id;
        checkPair(gameState.firstTile, gameState.secondTile);
        break;
    case 2:
        gameState.revealedCount = 1;
        hideTile(gameState.secondTile);
        hideTile(gameState.firstTile);
        gameState.firstTile = id;
        showTile(id);
        break;
    default:
        break;
    }
}

void checkPair(int a, int b) {
    if (gameState.tileValues[a] != gameState.tileValues[b])
        return;
    removeTile(a);
    removeTile(b);
    if (gameState.matchedPairs < LAST_PAIR_BEFORE_WIN) {
        ++gameState.matchedPairs;
        return;
    }
    announceWin();
}
