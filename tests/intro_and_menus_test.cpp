// Start-up and the screens around the game: the device the game asks
// for, when the intro gives way, and what each screen puts up.
#include "app/frame_pacing.h"
#include "support/null_game.h"
#include "ui/control_ids.h"
#include "ui/keyboard.h"

#include <gtest/gtest.h>
#include <utility>

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
                 pictures.buttonFaceTexture);
    expectButton(ID_ABOUT, core::rect<s32>(300, 400, 500, 450), "About", "About",
                 pictures.buttonFaceTexture);
}

TEST(Startup, AsksForItsWindowAndStartsTheClockBeforeLoading) {
    clockStepWhileLoading = 2500;
    NullGame game;
    clockStepWhileLoading = 0;
    const SIrrlichtCreationParameters& asked = lastDeviceParameters;
    EXPECT_EQ(asked.WindowSize, core::dimension2d<u32>(800, 500));
    EXPECT_EQ(asked.Bits, 32);
    EXPECT_FALSE(asked.Fullscreen);
    EXPECT_TRUE(asked.Stencilbuffer);
    EXPECT_TRUE(asked.Vsync);
    EXPECT_EQ(asked.EventReceiver, nullptr);
    EXPECT_EQ(asked.LoggingLevel, ELL_NONE);
    // The intro's six seconds include the time loading took.
    EXPECT_EQ(gameState.device->getTimer()->getTime() - gameState.startTime, 2500u);
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
    // Fading in: from opaque black to clear, as the fader's attributes say.
    io::IAttributes* colours = gameState.device->getFileSystem()->createEmptyAttributes();
    fader->serializeAttributes(colours);
    EXPECT_EQ(colours->getAttributeAsColor("FullColor"), video::SColor(255, 0, 0, 0));
    EXPECT_EQ(colours->getAttributeAsColor("TransColor"), video::SColor(0, 0, 0, 0));
    colours->drop();
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
    game.setTime(gameState.startTime + INTRO_MS);
    game.frame();
    EXPECT_TRUE(gameState.splashVisible);
    EXPECT_EQ(findId(ID_START_GAME), nullptr);

    game.setTime(gameState.startTime + INTRO_MS + 1);
    game.frame();
    expectMainMenu();
}

TEST(Intro, LetsTheSplashGoWhenItGivesWay) {
    NullGame game;
    video::ITexture* splash = pictures.splashTexture;
    ASSERT_NE(splash, nullptr);
    splash->grab();
    const u32 textures = gameState.videoDriver->getTextureCount();
    game.skipIntro();
    // The frame that ended the intro drew it for the last time: nothing
    // but this test holds it now, and the loop has no splash left to draw.
    expectMainMenu();
    EXPECT_EQ(pictures.splashTexture, nullptr);
    EXPECT_EQ(splash->getReferenceCount(), 1);
    EXPECT_EQ(gameState.videoDriver->getTextureCount(), textures - 1);
    splash->drop();
    // The main menu again, with no splash to let go.
    game.clickId(ID_ABOUT);
    game.clickId(ID_BACK);
    expectMainMenu();
    EXPECT_EQ(gameState.videoDriver->getTextureCount(), textures - 1);
}

// When the loop expects the picture to change by itself, it must: the
// engine's own fader and intro timer decide, seen on the null driver with
// the clock moved by hand.
TEST(Intro, TheLoopWakesForEveryShadeOfTheFadeThenForTheEnd) {
    NullGame game;
    auto* fader = static_cast<gui::IGUIInOutFader*>(
        *gameState.guiEnvironment->getRootGUIElement()->getChildren().begin());
    u32 due = 0;
    u32 now = gameState.startTime;
    game.setTime(now);
    game.frame();
    // Every step below is a pass in which no input came: only the loop's
    // own timing draws.
    const auto drawsOnlyAt = [&](u32 at) {
        game.setTime(at - 1);
        EXPECT_FALSE(game.quietFrame()) << "drawn early, at " << at - 1;
        game.setTime(at);
        EXPECT_TRUE(game.quietFrame()) << "not drawn at " << at;
    };
    while (!fader->isReady()) {
        ASSERT_LT(now, gameState.startTime + 5000) << "the fade never ended";
        ASSERT_TRUE(nextChangeDue(due));
        EXPECT_EQ(due, now + 16) << now;
        drawsOnlyAt(due);
        now = due;
    }
    // The frame after the last shade showed the splash at full light; it
    // stands until the intro's time is up.
    ASSERT_TRUE(nextChangeDue(due));
    EXPECT_EQ(due, gameState.startTime + INTRO_MS + 1);
    drawsOnlyAt(due);
    expectMainMenu();
    // That frame drew the menu's buttons over the splash; one more shows
    // the menu background, and then nothing moves.
    ASSERT_TRUE(nextChangeDue(due));
    EXPECT_EQ(due, gameState.startTime + INTRO_MS + 1 + 16);
    drawsOnlyAt(due);
    EXPECT_FALSE(nextChangeDue(due));
    game.setTime(due + 60000);
    EXPECT_FALSE(game.quietFrame());
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
                     pictures.buttonFaceTexture);
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

// The engine launches a tool-tip a second after the pointer enters a
// button, and half a second after the last one went when the pointer
// moves on quickly; the loop must wake for exactly those frames.
TEST(MainMenu, ToolTipsComeWhenTheLoopWakesForThem) {
    NullGame game;
    game.skipIntro();
    u32 now = gameState.startTime + INTRO_MS + 1 + 16;
    game.setTime(now);
    game.frame();
    u32 due = 0;
    ASSERT_FALSE(nextChangeDue(due));

    struct Visit {
        const char* button;
        core::position2d<s32> at;
        u32 after;   // ms after the last visit's tool-tip came
        u32 showsIn; // ms after the pointer enters
    };
    const Visit visits[] = {{"Start Game", {400, 325}, 5000, 1000},
                            {"About", {400, 425}, 200, 300},
                            {"Start Game", {400, 325}, 700, 0},
                            {"About", {400, 425}, 1500, 1000}};
    for (const Visit& visit : visits) {
        SCOPED_TRACE(visit.button);
        now += visit.after;
        game.setTime(now);
        game.move(visit.at.X, visit.at.Y);
        game.frame();
        if (visit.showsIn > 0) {
            EXPECT_EQ(toolTipText(), "");
            ASSERT_TRUE(nextChangeDue(due));
            EXPECT_EQ(due, now + visit.showsIn);
            game.setTime(due - 1);
            EXPECT_FALSE(game.quietFrame());
            EXPECT_EQ(toolTipText(), "");
            now = due;
            game.setTime(now);
            EXPECT_TRUE(game.quietFrame());
        }
        EXPECT_EQ(toolTipText(), visit.button);
        EXPECT_FALSE(nextChangeDue(due));
    }
}

// A click beside a modal box makes the engine flash the box's outline
// for 300 ms: the loop draws through the flash and once at its end, then
// rests.
TEST(MainMenu, TheLoopFollowsABoxFlashToItsEnd) {
    NullGame game;
    game.startGame();
    playEveryPair(game);
    ASSERT_NE(findId(ID_WIN_BOX), nullptr);
    const u32 clicked = gameState.device->getTimer()->getTime() + 5000;
    game.setTime(clicked);
    game.click(790, 490);
    std::vector<u32> expected, drawn;
    for (u32 at = clicked + 16; at < clicked + 300; at += 16)
        expected.push_back(at);
    expected.push_back(clicked + 300);
    u32 due = 0;
    while (nextChangeDue(due) && drawn.size() <= expected.size()) {
        game.setTime(due - 1);
        EXPECT_FALSE(game.quietFrame()) << "drawn early, at " << due - 1;
        game.setTime(due);
        if (!game.quietFrame())
            break;
        drawn.push_back(due);
    }
    EXPECT_EQ(drawn, expected);
    game.setTime(clicked + 60000);
    EXPECT_FALSE(game.quietFrame());
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
