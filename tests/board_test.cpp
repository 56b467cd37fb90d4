// The board shows what the rules decide (tests/rules_test.cpp tries the
// rules alone): clicks reach the rules through the engine's own
// hit-testing, the buttons show each tile's side and picture, a pair
// leaves the board for good, and the last pair opens the win box once.
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace irr;

namespace {

// The first tile of every pair, in board order.
std::vector<int> pairStarts() {
    std::vector<int> starts;
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        if (partnerOf(tile) > tile)
            starts.push_back(tile);
    return starts;
}

// A tile still on the board that does not pair with `tile`, or -1.
int someTileNotMatching(int tile) {
    for (int other = 0; other < TILE_COUNT; ++other)
        if (board.match.tileValues[other] != board.match.tileValues[tile] &&
            (!board.tileButtons[other] || board.tileButtons[other]->isVisible()))
            return other;
    return -1;
}

void clickTile(NullGame& game, int tile) {
    game.click(board.tileButtons[tile]);
}

video::ITexture* imageOf(int tile) {
    return buttonImage(board.tileButtons[tile]);
}

std::string winText() {
    gui::IGUIElement* box = findId(ID_WIN_BOX);
    gui::IGUIStaticText* text = box ? messageText(box) : nullptr;
    return text ? narrow(text->getText()) : "";
}

void playPerfectly(NullGame& game) {
    for (int tile : pairStarts()) {
        const int partner = partnerOf(tile);
        clickTile(game, tile);
        clickTile(game, partner);
    }
}

TEST(Board, APerfectGameTakesTwentyClicks) {
    NullGame game;
    game.startGame();
    playPerfectly(game);
    EXPECT_EQ(board.match.clickCount, TILE_COUNT);
    EXPECT_EQ(board.match.matchedPairs, 9);
    EXPECT_EQ(countId(ID_WIN_BOX), 1);
    gui::IGUIElement* box = findId(ID_WIN_BOX);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getType(), gui::EGUIET_MESSAGE_BOX);
    EXPECT_EQ(box->getParent()->getType(), gui::EGUIET_MODAL_SCREEN);
    EXPECT_EQ(narrow(box->getText()), "You won");
    EXPECT_EQ(winText(),
              "Your number of clicks are " + std::to_string(TILE_COUNT) + "\nPlay Again");
    const std::vector<gui::IGUIElement*> answers = answerButtons(box);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(narrow(answers[0]->getText()),
              narrow(gameState.guiEnvironment->getSkin()->getDefaultText(gui::EGDT_MSG_BOX_OK)));
    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        EXPECT_FALSE(board.tileButtons[tile]->isVisible()) << tile;
        EXPECT_FALSE(board.tileButtons[tile]->isEnabled()) << tile;
    }
}

TEST(Board, MissesCountInTheWinBox) {
    NullGame game;
    game.startGame();
    int clicks = 0;
    // Open every pair with a wasted click on the tile already face up and,
    // while there is another pair left, a miss.
    for (int tile : pairStarts()) {
        const int stranger = someTileNotMatching(tile);
        clickTile(game, tile);
        clickTile(game, tile);
        clicks += 2;
        if (stranger >= 0) {
            clickTile(game, stranger);
            clickTile(game, tile);
            clicks += 2;
        }
        clickTile(game, partnerOf(tile));
        ++clicks;
        ASSERT_EQ(board.match.clickCount, clicks);
    }
    EXPECT_EQ(winText(), "Your number of clicks are " + std::to_string(clicks) + "\nPlay Again");
    EXPECT_EQ(clicks, 48);
}

TEST(Board, ClickingTheFaceUpTileAgainOnlyCounts) {
    NullGame game;
    game.startGame();
    clickTile(game, 4);
    clickTile(game, 4);
    EXPECT_EQ(board.match.clickCount, 2);
    EXPECT_EQ(imageOf(4), pictures.faceTextures[board.match.tileValues[4]]);
    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        if (tile != 4) {
            EXPECT_EQ(imageOf(tile), pictures.hiddenTexture) << tile;
        }
    }
}

TEST(Board, AThirdClickTurnsTheMissBackAndStartsAgain) {
    NullGame game;
    game.startGame();
    const int first = 0;
    const int second = someTileNotMatching(first);
    // A third picture, so that the third click is a miss too.
    int third = 0;
    while (board.match.tileValues[third] == board.match.tileValues[first] ||
           board.match.tileValues[third] == board.match.tileValues[second])
        ++third;
    clickTile(game, first);
    clickTile(game, second);
    EXPECT_EQ(imageOf(first), pictures.faceTextures[board.match.tileValues[first]]);
    EXPECT_EQ(imageOf(second), pictures.faceTextures[board.match.tileValues[second]]);

    // Clicking one of the two hides both, then shows it as a new first.
    clickTile(game, second);
    EXPECT_EQ(imageOf(first), pictures.hiddenTexture);
    EXPECT_EQ(imageOf(second), pictures.faceTextures[board.match.tileValues[second]]);

    clickTile(game, third);
    clickTile(game, first);
    EXPECT_EQ(imageOf(second), pictures.hiddenTexture);
    EXPECT_EQ(imageOf(third), pictures.hiddenTexture);
    EXPECT_EQ(imageOf(first), pictures.faceTextures[board.match.tileValues[first]]);
}

TEST(Board, ARemovedTileCanNoLongerBeClicked) {
    NullGame game;
    game.startGame();
    const int tile = 9;
    const int partner = partnerOf(tile);
    clickTile(game, tile);
    clickTile(game, partner);
    EXPECT_EQ(board.match.matchedPairs, 1);
    EXPECT_FALSE(board.tileButtons[tile]->isVisible());
    EXPECT_FALSE(board.tileButtons[partner]->isEnabled());
    clickTile(game, tile);
    clickTile(game, partner);
    EXPECT_EQ(board.match.clickCount, 2);
    // The next attempt starts cleanly after a removed pair.
    const int next = tile == 0 || partner == 0 ? partnerOf(1) == 0 ? 2 : 1 : 0;
    clickTile(game, next);
    EXPECT_EQ(board.match.clickCount, 3);
    EXPECT_EQ(board.match.revealedCount, 1);
    EXPECT_EQ(board.match.firstTile, next);
}

TEST(Board, FacesShowThePictureTheValueIndexes) {
    NullGame game;
    game.startGame();
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        EXPECT_EQ(imageOf(tile), pictures.hiddenTexture) << tile;
    // Whatever the state, the tile just clicked lies face up.
    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        SCOPED_TRACE(tile);
        clickTile(game, tile);
        video::ITexture* face = imageOf(tile);
        ASSERT_NE(face, nullptr);
        std::string name = face->getName().getPath().c_str();
        name = name.substr(name.find_last_of('/') + 1);
        // Value v shows picture v + 1, and value 10 wraps round to "1.jpg".
        EXPECT_EQ(name, std::to_string(board.match.tileValues[tile] % PAIR_COUNT + 1) + ".jpg");
        EXPECT_EQ(face, pictures.faceTextures[board.match.tileValues[tile]]);
    }
}

TEST(Board, TheWinIsAnnouncedOnceAndANewGameFollows) {
    NullGame game;
    game.startGame();
    playPerfectly(game);
    ASSERT_EQ(countId(ID_WIN_BOX), 1);
    // Nothing left to click: more clicks on the empty board change nothing.
    game.click(60, 60);
    game.click(400, 250);
    EXPECT_EQ(countId(ID_WIN_BOX), 1);
    EXPECT_EQ(board.match.matchedPairs, 9);
    EXPECT_EQ(board.match.clickCount, TILE_COUNT);

    game.dismissBox(ID_WIN_BOX);
    EXPECT_EQ(countId(ID_WIN_BOX), 0);
    const std::string trace = captureStdout([&] { game.chooseMenu(0); });
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), TILE_COUNT);
    EXPECT_EQ(board.match.clickCount, 0);
    EXPECT_EQ(board.match.matchedPairs, 0);
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        EXPECT_TRUE(board.tileButtons[tile]->isVisible());
    playPerfectly(game);
    EXPECT_EQ(winText(),
              "Your number of clicks are " + std::to_string(TILE_COUNT) + "\nPlay Again");
    game.dismissBox(ID_WIN_BOX);
    game.chooseMenu(1);
    EXPECT_FALSE(game.frame());
}

} // namespace
