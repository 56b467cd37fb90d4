// The screens around the game: when the intro gives way, and what each
// screen puts up.
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

using namespace irr;

namespace {

void expectButton(s32 id, const core::rect<s32>& where, const char* text, const char* toolTip,
                  video::ITexture* image) {
    SCOPED_TRACE(text);
    gui::IGUIElement* element = findId(id);
    ASSERT_NE(element, nullptr);
    ASSERT_EQ(element->getType(), gui::EGUIET_BUTTON);
    EXPECT_EQ(element->getAbsolutePosition(), where);
    EXPECT_EQ(narrow(element->getText()), text);
    EXPECT_EQ(narrow(element->getToolTipText().c_str()), toolTip);
    EXPECT_EQ(buttonImage(static_cast<gui::IGUIButton*>(element)), image);
}

void expectMainMenu() {
    EXPECT_FALSE(gameState.splashVisible);
    EXPECT_TRUE(gameState.menuBackgroundVisible);
    EXPECT_EQ(screenElementCount(), 2);
    expectButton(ID_START_GAME, core::rect<s32>(300, 300, 500, 350), "Start Game", "Start Game",
                 gameState.buttonFaceTexture);
    expectButton(ID_ABOUT, core::rect<s32>(300, 400, 500, 450), "About", "About",
                 gameState.buttonFaceTexture);
}

TEST(Intro, FadesInTheSplashFromBlack) {
    NullGame game;
    EXPECT_TRUE(gameState.splashVisible);
    EXPECT_FALSE(gameState.menuBackgroundVisible);
    ASSERT_EQ(screenElementCount(), 1);
    gui::IGUIElement* fader = *gameState.guiEnvironment->getRootGUIElement()->getChildren().begin();
    ASSERT_EQ(fader->getType(), gui::EGUIET_IN_OUT_FADER);
    EXPECT_EQ(fader->getID(), -1);
    EXPECT_EQ(fader->getAbsolutePosition(), core::rect<s32>(0, 0, 800, 500));
    auto* inOut = static_cast<gui::IGUIInOutFader*>(fader);
    EXPECT_EQ(inOut->getColor(), video::SColor(0, 0, 0, 0));
    EXPECT_FALSE(inOut->isReady());

    game.setTime(gameState.startTime + 3999);
    game.frame();
    EXPECT_FALSE(inOut->isReady());
    game.setTime(gameState.startTime + 4001);
    game.frame();
    EXPECT_TRUE(inOut->isReady());
}

TEST(Intro, GivesWayOnlyAfterMoreThanSixSeconds) {
    NullGame game;
    game.setTime(gameState.startTime + 6000);
    game.frame();
    EXPECT_TRUE(gameState.splashVisible);
    EXPECT_EQ(findId(ID_START_GAME), nullptr);

    game.setTime(gameState.startTime + 6001);
    game.frame();
    expectMainMenu();
}

TEST(Intro, ClosingTheDeviceEndsTheLoopWithoutTheMenu) {
    NullGame game;
    gameState.device->closeDevice();
    EXPECT_FALSE(game.frame());
    EXPECT_TRUE(gameState.splashVisible);
}

TEST(MainMenu, AboutAndBackRebuildTheSameScreens) {
    NullGame game;
    game.skipIntro();
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        game.clickId(ID_ABOUT);
        EXPECT_FALSE(gameState.splashVisible);
        EXPECT_TRUE(gameState.menuBackgroundVisible);
        EXPECT_EQ(screenElementCount(), 3);
        expectButton(ID_BACK, core::rect<s32>(300, 400, 500, 450), "Back", "Back",
                     gameState.buttonFaceTexture);
        expectButton(ID_WEBSITE, core::rect<s32>(250, 300, 550, 350),
                     "Visit my website for more games", "open web browser", nullptr);
        gui::IGUIElement* credit = nullptr;
        for (gui::IGUIElement* child : gameState.guiEnvironment->getRootGUIElement()->getChildren())
            if (child->getType() == gui::EGUIET_STATIC_TEXT)
                credit = child;
        ASSERT_NE(credit, nullptr);
        EXPECT_EQ(credit->getID(), -1);
        EXPECT_EQ(narrow(credit->getText()), "Devolped By Tesmor Pell");
        EXPECT_EQ(credit->getAbsolutePosition(), core::rect<s32>(300, 200, 600, 300));
        auto* text = static_cast<gui::IGUIStaticText*>(credit);
        EXPECT_TRUE(text->isWordWrapEnabled());
        EXPECT_FALSE(text->isDrawBorderEnabled());
        EXPECT_FALSE(text->isDrawBackgroundEnabled());

        game.clickId(ID_BACK);
        expectMainMenu();
    }
}

TEST(MainMenu, StartGameLeavesOnlyWhiteBehindTheBoard) {
    NullGame game;
    game.startGame();
    EXPECT_FALSE(gameState.splashVisible);
    EXPECT_FALSE(gameState.menuBackgroundVisible);
    EXPECT_EQ(countId(ID_START_GAME), 0);
    EXPECT_NE(menuBar(), nullptr);
}

} // namespace
