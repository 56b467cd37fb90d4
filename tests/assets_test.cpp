// Finding the assets: in the archive beside the game, in an archive that
// stores them in a folder and in another case, or loose in the working
// directory when the archive is missing.
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

using namespace irr;

namespace {

void expectEveryPictureLoaded() {
    EXPECT_NE(gameState.hiddenTexture, nullptr);
    EXPECT_NE(gameState.menuBackgroundTexture, nullptr);
    EXPECT_NE(gameState.splashTexture, nullptr);
    EXPECT_NE(gameState.buttonFaceTexture, nullptr);
    for (int k = 0; k < TILE_COUNT; ++k)
        EXPECT_NE(gameState.faceTextures[k], nullptr) << "picture " << k;
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(gameState.faceTextures[k], gameState.faceTextures[k + 10]) << "picture " << k;
    // Ten different pictures, not one picture ten times.
    for (int k = 1; k < 10; ++k)
        EXPECT_NE(gameState.faceTextures[k], gameState.faceTextures[0]);
}

void expectGameFont() {
    gui::IGUIFont* font = gameState.guiEnvironment->getSkin()->getFont();
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font, gameState.guiEnvironment->getBuiltInFont());
    EXPECT_EQ(font, gameState.guiEnvironment->getFont("f.xml"));
}

TEST(Assets, TheArchiveBesideTheGameHoldsEverything) {
    NullGame game;
    EXPECT_EQ(gameState.device->getFileSystem()->getFileArchiveCount(), 1u);
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    expectEveryPictureLoaded();
    expectGameFont();
}

TEST(Assets, NamesInTheArchiveIgnoreFoldersAndCase) {
    ScratchDirectory dir;
    dir.copyIn(KAVENNA_FOLDER_CASE_ARCHIVE, "tesmor.dat");
    NullGame game;
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    expectEveryPictureLoaded();
    expectGameFont();
}

TEST(Assets, WithoutTheArchiveABoxSaysSoAndLooseFilesServe) {
    ScratchDirectory dir;
    dir.addLooseAssets();
    NullGame game;
    EXPECT_EQ(gameState.device->getFileSystem()->getFileArchiveCount(), 0u);
    expectEveryPictureLoaded();
    expectGameFont();

    gui::IGUIElement* box = findId(ID_ARCHIVE_ERROR_BOX);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getType(), gui::EGUIET_MESSAGE_BOX);
    EXPECT_EQ(narrow(box->getText()), "error opening tesmor.dat");
    // Modal boxes sit inside a modal screen that holds the fader back.
    EXPECT_EQ(box->getParent()->getType(), gui::EGUIET_MODAL_SCREEN);
    EXPECT_EQ(countId(ID_ARCHIVE_ERROR_BOX), 1);

    const std::vector<gui::IGUIElement*> answers = answerButtons(box);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(narrow(answers[0]->getText()),
              narrow(gameState.guiEnvironment->getSkin()->getDefaultText(gui::EGDT_MSG_BOX_YES)));

    // Laid out for the game's own font: the whole message and caption fit.
    gui::IGUIStaticText* text = messageText(box);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(narrow(text->getText()), "error opening tesmor.dat");
    EXPECT_EQ(text->getActiveFont(), gameState.guiEnvironment->getFont("f.xml"));
    EXPECT_LE(text->getTextWidth(), text->getAbsolutePosition().getWidth());
    EXPECT_LE(text->getTextHeight(), text->getAbsolutePosition().getHeight());
    const core::dimension2d<u32> caption =
        gameState.guiEnvironment->getSkin()->getFont()->getDimension(L"error opening tesmor.dat");
    EXPECT_LT(static_cast<s32>(caption.Width), box->getAbsolutePosition().getWidth());

    // The box stays over the splash until the main menu clears it.
    game.setTime(gameState.startTime + 5000);
    game.frame();
    EXPECT_NE(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    game.skipIntro();
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    EXPECT_NE(findId(ID_START_GAME), nullptr);
}

TEST(Assets, TheBoxCanBeDismissedAndTheIntroGoesOn) {
    ScratchDirectory dir;
    dir.addLooseAssets();
    NullGame game;
    game.dismissBox(ID_ARCHIVE_ERROR_BOX);
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    EXPECT_TRUE(gameState.splashVisible);
    game.skipIntro();
    EXPECT_NE(findId(ID_START_GAME), nullptr);
}

TEST(Assets, WithNothingToLoadTheGameStillRuns) {
    ScratchDirectory dir;
    NullGame game;
    EXPECT_NE(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    EXPECT_EQ(gameState.hiddenTexture, nullptr);
    EXPECT_EQ(gameState.faceTextures[0], nullptr);
    game.startGame();
    EXPECT_EQ(countId(ID_START_GAME), 0);
    game.clickId(0);
    EXPECT_EQ(gameState.clickCount, 1);
}

TEST(Assets, StartingUpWritesNothingToStandardOutput) {
    const std::string written = captureStdout([] {
        NullGame game;
        game.frame();
    });
    EXPECT_EQ(written, "");
    ScratchDirectory dir;
    const std::string withoutArchive = captureStdout([] {
        NullGame game;
        game.frame();
    });
    EXPECT_EQ(withoutArchive, "");
}

} // namespace
