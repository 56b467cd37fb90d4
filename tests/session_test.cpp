// A whole session as a player clicks it, from the intro to "Exit". Run
// under valgrind, it proves that no screen change touches freed memory:
// the engine library is not instrumented, so only valgrind sees inside it.
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

namespace {

void playToTheWin(NullGame& game) {
    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        for (int other = tile + 1; other < TILE_COUNT; ++other) {
            if (gameState.tileValues[other] == gameState.tileValues[tile] &&
                gameState.tileButtons[tile]->isVisible()) {
                game.click(gameState.tileButtons[tile]);
                game.click(gameState.tileButtons[other]);
            }
        }
    }
}

TEST(Session, IntroMenusAGameAndExit) {
    NullGame game;
    game.setTime(gameState.startTime + 2000);
    ASSERT_TRUE(game.frame());
    game.skipIntro();
    ASSERT_NE(findId(ID_START_GAME), nullptr);

    game.clickId(ID_ABOUT);
    ASSERT_NE(findId(ID_BACK), nullptr);
    game.clickId(ID_BACK);
    game.clickId(ID_ABOUT);
    game.clickId(ID_BACK);
    game.clickId(ID_START_GAME);
    ASSERT_NE(menuBar(), nullptr);

    for (int round = 0; round < 3; ++round) {
        for (int tile : {0, 5, 10, 15, 1})
            game.click(gameState.tileButtons[tile]);
        ASSERT_EQ(gameState.clickCount, 5);
        game.chooseMenu(0);
        ASSERT_EQ(gameState.clickCount, 0);
    }

    playToTheWin(game);
    ASSERT_EQ(countId(ID_WIN_BOX), 1);
    game.dismissBox(ID_WIN_BOX);
    game.chooseMenu(0);
    ASSERT_EQ(countId(ID_WIN_BOX), 0);
    game.click(gameState.tileButtons[2]);
    ASSERT_EQ(gameState.clickCount, 1);

    game.chooseMenu(1);
    EXPECT_FALSE(game.frame());
}

// The same screens changed from the keyboard: inside a key's release on
// a focused button, inside the receiver before the engine sees a
// shortcut, and inside a box's answer to Escape.
TEST(Session, TheSameWithTheKeyboard) {
    NullGame game;
    game.skipIntro();
    game.pressKey(irr::KEY_TAB);
    game.pressKey(irr::KEY_DOWN);
    game.pressKey(irr::KEY_SPACE);
    ASSERT_NE(findId(ID_BACK), nullptr);
    game.pressKey(irr::KEY_DOWN);
    game.pressKey(irr::KEY_RETURN);
    ASSERT_NE(findId(ID_START_GAME), nullptr);
    game.pressKey(irr::KEY_RETURN);
    ASSERT_NE(menuBar(), nullptr);

    for (int round = 0; round < 3; ++round) {
        for (irr::EKEY_CODE key :
             {irr::KEY_SPACE, irr::KEY_RIGHT, irr::KEY_SPACE, irr::KEY_DOWN, irr::KEY_RETURN})
            game.pressKey(key);
        ASSERT_EQ(gameState.clickCount, 3);
        game.pressKey(round == 1 ? irr::KEY_F2 : irr::KEY_KEY_N, round != 1);
        ASSERT_EQ(gameState.clickCount, 0);
    }

    for (int tile = 0; tile < TILE_COUNT; ++tile)
        for (int other = tile + 1; other < TILE_COUNT; ++other)
            if (gameState.tileValues[other] == gameState.tileValues[tile])
                for (int target : {tile, other}) {
                    gameState.guiEnvironment->setFocus(gameState.tileButtons[target]);
                    game.pressKey(irr::KEY_SPACE);
                }
    ASSERT_EQ(countId(ID_WIN_BOX), 1);
    game.pressKey(irr::KEY_ESCAPE);
    ASSERT_EQ(countId(ID_WIN_BOX), 0);
    game.pressKey(irr::KEY_KEY_N, true);
    game.pressKey(irr::KEY_SPACE);
    ASSERT_EQ(gameState.clickCount, 1);

    game.pressKey(irr::KEY_KEY_Q, true);
    EXPECT_FALSE(game.frame());
}

} // namespace
