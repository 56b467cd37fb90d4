// How the receiver routes events: which ids change screens, which reach
// the rules, what each returns, and what it leaves alone.
#include "support/null_game.h"
#include "ui/control_ids.h"
#include "ui/keyboard.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace irr;

namespace {

TEST(Routing, MenuButtonsChangeScreensAndAreNotAbsorbed) {
    NullGame game;
    game.skipIntro();
    EXPECT_FALSE(buttonClicked(game, ID_ABOUT));
    EXPECT_NE(findId(ID_BACK), nullptr);
    EXPECT_FALSE(buttonClicked(game, ID_BACK));
    EXPECT_NE(findId(ID_START_GAME), nullptr);
    std::string trace = captureStdout([&] { EXPECT_FALSE(buttonClicked(game, ID_START_GAME)); });
    // The board stands as soon as the callback returns.
    expectFreshBoard();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 20);
    game.frame();
    expectFreshBoard();
}

TEST(Routing, OnlyTileClicksAreAbsorbed) {
    NullGame game;
    game.startGame();
    EXPECT_TRUE(buttonClicked(game, 7));
    EXPECT_EQ(gameState.clickCount, 1);
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_HOVERED)));
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_FOCUSED)));
    EXPECT_EQ(gameState.clickCount, 1);

    SEvent mouse{};
    mouse.EventType = EET_MOUSE_INPUT_EVENT;
    mouse.MouseInput.Event = EMIE_LMOUSE_LEFT_UP;
    EXPECT_FALSE(game.receiver.OnEvent(mouse));
    SEvent key{};
    key.EventType = EET_KEY_INPUT_EVENT;
    key.KeyInput.Key = KEY_RETURN;
    key.KeyInput.PressedDown = true;
    EXPECT_FALSE(game.receiver.OnEvent(key));
    EXPECT_EQ(gameState.clickCount, 1);
}

TEST(Routing, ButtonsWithOtherIdsAreIgnored) {
    NullGame game;
    game.startGame();
    const s32 strangers[] = {-7, -1, 20, 21, 25, 30, 56, 57, 121, 150, 100000};
    for (s32 id : strangers) {
        SCOPED_TRACE(id);
        gui::IGUIButton* button =
            gameState.guiEnvironment->addButton(core::rect<s32>(120, 100, 200, 130), nullptr, id);
        EXPECT_FALSE(buttonClicked(game, id));
        game.click(button);
        EXPECT_EQ(gameState.clickCount, 0);
        EXPECT_EQ(gameState.revealedCount, 0);
        button->remove();
    }
    // The board itself is untouched.
    expectFreshBoard();
}

TEST(Routing, TheMenuTitleOnlyOpensItsSubmenu) {
    NullGame game;
    game.startGame();
    game.click(gameState.tileButtons[3]);
    s32 before[TILE_COUNT];
    std::copy(gameState.tileValues, gameState.tileValues + TILE_COUNT, before);
    gui::IGUIButton* tileBefore = gameState.tileButtons[0];

    gui::IGUIContextMenu* bar = menuBar();
    ASSERT_EQ(bar->getItemCount(), 1u);
    EXPECT_EQ(narrow(bar->getItemText(0)), "Menu");
    EXPECT_EQ(bar->getItemCommandId(0), -1);
    gui::IGUIContextMenu* sub = bar->getSubMenu(0);
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->getItemCount(), 2u);
    EXPECT_EQ(narrow(sub->getItemText(0)), "New Game");
    EXPECT_EQ(sub->getItemCommandId(0), CMD_NEW_GAME);
    EXPECT_EQ(narrow(sub->getItemText(1)), "Exit");
    EXPECT_EQ(sub->getItemCommandId(1), CMD_EXIT);
    // Every item enabled, unchecked and never checking itself.
    for (gui::IGUIContextMenu* menu : {bar, sub})
        for (u32 item = 0; item < menu->getItemCount(); ++item) {
            SCOPED_TRACE(narrow(menu->getItemText(item)));
            EXPECT_TRUE(menu->isItemEnabled(item));
            EXPECT_FALSE(menu->isItemChecked(item));
            EXPECT_FALSE(menu->getItemAutoChecking(item));
            EXPECT_EQ(menu->getSubMenu(item) != nullptr, menu == bar);
        }

    EXPECT_FALSE(sub->isVisible());
    const std::string trace = captureStdout([&] {
        const core::rect<s32> title = bar->getAbsolutePosition();
        game.click(title.UpperLeftCorner.X + 12, title.getCenter().Y);
    });
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(trace, "");
    EXPECT_TRUE(game.frame());
    EXPECT_EQ(gameState.tileButtons[0], tileBefore);
    EXPECT_EQ(gameState.clickCount, 1);
    EXPECT_EQ(gameState.revealedCount, 1);
    EXPECT_TRUE(std::equal(before, before + TILE_COUNT, gameState.tileValues));
}

TEST(Routing, NewGameDealsAFreshBoardAtOnce) {
    NullGame game;
    game.startGame();
    game.click(gameState.tileButtons[0]);
    game.click(gameState.tileButtons[1]);
    game.click(gameState.tileButtons[2]);
    ASSERT_EQ(gameState.clickCount, 3);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::string trace = captureStdout([&] { game.chooseMenu(0); });
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 20);
        expectFreshBoard();
        game.click(gameState.tileButtons[5]);
        EXPECT_EQ(gameState.clickCount, 1);
    }
}

TEST(Routing, ExitClosesTheDevice) {
    NullGame game;
    game.startGame();
    // Chosen as the engine delivers it: acted on, and not absorbed.
    game.pointAtMenu(1);
    gui::IGUIContextMenu* sub = menuBar()->getSubMenu(0);
    ASSERT_EQ(sub->getSelectedItem(), 1);
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(sub, gui::EGET_MENU_ITEM_SELECTED)));
    EXPECT_FALSE(game.frame());
}

} // namespace
