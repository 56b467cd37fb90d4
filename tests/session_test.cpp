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

} // namespace
