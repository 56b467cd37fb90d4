// Keyboard play beside the mouse, never instead of it: which stop each
// key reaches on every screen, the board's menu bar worked by keys, the
// shortcuts, the ring, the boxes at either scale, and which keys the
// receiver keeps from the engine. What the keys say with speech on is in
// speech_test.cpp.
#include "support/null_game.h"
#include "ui/control_ids.h"
#include "ui/keyboard.h"
#include "ui/menu_keys.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace irr;

namespace {

// --- The board ---

// Tab until `tile` has the focus, as a player reading the board would.
void tabTo(NullGame& game, int tile) {
    for (int presses = 0; presses <= TILE_COUNT && focused() != board.tileButtons[tile]; ++presses)
        game.pressKey(KEY_TAB);
    ASSERT_EQ(focused(), board.tileButtons[tile]);
}

// The tile at `place` when the board is read row by row.
int readingOrder(int place) {
    return tileAt(place % BOARD_COLUMNS, place / BOARD_COLUMNS);
}

// The tiles of row `row` from column `from` on.
std::vector<int> rowFrom(int row, int from) {
    std::vector<int> tiles;
    for (int column = from; column < BOARD_COLUMNS; ++column)
        tiles.push_back(tileAt(column, row));
    return tiles;
}

// The tiles of column `column` from row `from` on.
std::vector<int> columnFrom(int column, int from) {
    std::vector<int> tiles;
    for (int row = from; row < BOARD_ROWS; ++row)
        tiles.push_back(tileAt(column, row));
    return tiles;
}

std::vector<int> joined(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Keyboard, TabReadsTheBoardRowByRowAndBack) {
    NullGame game;
    game.startGame();
    for (int place = 0; place < TILE_COUNT; ++place) {
        game.pressKey(KEY_TAB);
        EXPECT_EQ(focused(), board.tileButtons[readingOrder(place)]) << "Tab number " << place + 1;
    }
    game.pressKey(KEY_TAB);
    EXPECT_EQ(focused(), menuBar()) << "the menu bar's title comes last";
    EXPECT_EQ(keyboardFocus(), menuBar());
    EXPECT_FALSE(menuOpen());
    game.pressKey(KEY_TAB);
    EXPECT_EQ(focused(), board.tileButtons[0]) << "Tab goes round";
    game.pressKey(KEY_TAB, false, true);
    EXPECT_EQ(focused(), menuBar()) << "Shift+Tab from the first tile";
    for (int place = TILE_COUNT - 1; place >= 0; --place) {
        game.pressKey(KEY_TAB, false, true);
        EXPECT_EQ(focused(), board.tileButtons[readingOrder(place)]) << "Shift+Tab to " << place;
    }
    // A pair off the board is passed over.
    for (int tile : {tileAt(1, 0), tileAt(2, 0)}) {
        board.tileButtons[tile]->setEnabled(false);
        board.tileButtons[tile]->setVisible(false);
    }
    game.pressKey(KEY_TAB);
    EXPECT_EQ(focused(), board.tileButtons[tileAt(3, 0)]);
    // A pair gone from the end of the board: the focus goes round to the
    // first tile, not on to the menu bar.
    const int last = TILE_COUNT - 1;
    tabTo(game, last);
    for (int tile : {last, tileAt(BOARD_COLUMNS - 2, BOARD_ROWS - 1)}) {
        board.tileButtons[tile]->setEnabled(false);
        board.tileButtons[tile]->setVisible(false);
    }
    EXPECT_EQ(keyboardFocus(), board.tileButtons[0]);
}

TEST(Keyboard, ArrowsMoveAcrossTheGridOverRemovedTiles) {
    struct Move {
        std::vector<int> removed;
        int from;
        EKEY_CODE key;
        int to;
    };
    const int right = BOARD_COLUMNS - 1;
    const int bottom = BOARD_ROWS - 1;
    const Move moves[] = {
        {{}, tileAt(1, 1), KEY_RIGHT, tileAt(2, 1)},
        {{}, tileAt(1, 1), KEY_LEFT, tileAt(0, 1)},
        {{}, tileAt(1, 1), KEY_UP, tileAt(1, 0)},
        {{}, tileAt(1, 1), KEY_DOWN, tileAt(1, 2)},
        {{}, tileAt(right, 0), KEY_RIGHT, tileAt(right, 0)},
        {{}, tileAt(right, 0), KEY_UP, tileAt(right, 0)},
        {{}, tileAt(0, bottom), KEY_DOWN, tileAt(0, bottom)},
        {{}, tileAt(0, bottom), KEY_LEFT, tileAt(0, bottom)},
        {{tileAt(2, 1)}, tileAt(1, 1), KEY_RIGHT, tileAt(3, 1)},
        {{tileAt(1, 2), tileAt(1, 3)}, tileAt(1, 1), KEY_DOWN, tileAt(1, 4)},
        {columnFrom(0, 1), tileAt(0, 0), KEY_DOWN, tileAt(1, 1)},
        // Nothing left in the line: the nearest line's nearest tile, the
        // upper (or left) one when two are as near.
        {rowFrom(1, 2), tileAt(1, 1), KEY_RIGHT, tileAt(2, 0)},
        {columnFrom(1, 0), tileAt(0, 2), KEY_RIGHT, tileAt(2, 2)},
        {joined(rowFrom(3, 1), {tileAt(1, 2), tileAt(1, 4)}), tileAt(0, 3), KEY_RIGHT,
         tileAt(2, 2)},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(::testing::Message() << "from " << move.from << " key " << move.key);
        NullGame game;
        game.startGame();
        for (int tile : move.removed) {
            board.tileButtons[tile]->setEnabled(false);
            board.tileButtons[tile]->setVisible(false);
        }
        tabTo(game, move.from);
        game.pressKey(move.key);
        EXPECT_EQ(focused(), board.tileButtons[move.to]);
        EXPECT_EQ(keyboardFocus(), board.tileButtons[move.to]);
        EXPECT_EQ(board.match.clickCount, 0);
    }
}

TEST(Keyboard, SpaceAndEnterTurnTheFocusedTileAsAClickDoes) {
    NullGame game;
    game.startGame();
    tabTo(game, 0);
    game.pressKey(KEY_SPACE);
    EXPECT_EQ(board.match.clickCount, 1);
    EXPECT_EQ(board.match.revealedCount, 1);
    EXPECT_EQ(board.match.firstTile, 0);
    EXPECT_EQ(buttonImage(board.tileButtons[0]), pictures.faceTextures[board.match.tileValues[0]]);
    // The same tile again counts and changes nothing else.
    game.pressKey(KEY_RETURN);
    EXPECT_EQ(board.match.clickCount, 2);
    EXPECT_EQ(board.match.revealedCount, 1);

    const int partner = partnerOf(0);
    tabTo(game, partner);
    game.pressKey(KEY_RETURN);
    EXPECT_EQ(board.match.clickCount, 3);
    EXPECT_FALSE(board.tileButtons[0]->isVisible());
    EXPECT_FALSE(board.tileButtons[partner]->isVisible());
    // The focus does not stay on a tile that left the board: it goes on
    // to the next one in reading order.
    std::vector<int> left;
    for (int place = 0; place < TILE_COUNT; ++place)
        if (board.tileButtons[readingOrder(place)]->isVisible())
            left.push_back(place);
    const int partnerPlace = tileRow(partner) * BOARD_COLUMNS + tileColumn(partner);
    auto after =
        std::find_if(left.begin(), left.end(), [&](int place) { return place > partnerPlace; });
    const int next = readingOrder(after == left.end() ? left.front() : *after);
    EXPECT_EQ(keyboardFocus(), board.tileButtons[next]);
    EXPECT_EQ(focused(), board.tileButtons[next]);
}

TEST(Keyboard, AWholeGameAndNewDealsWithoutTheMouse) {
    NullGame game;
    game.skipIntro();
    game.pressKey(KEY_TAB);
    ASSERT_EQ(focused(), findId(ID_START_GAME));
    std::string trace = captureStdout([&] { game.pressKey(KEY_SPACE); });
    ASSERT_EQ(std::count(trace.begin(), trace.end(), '\n'), TILE_COUNT);
    expectFreshBoard();
    // A keyboard player finds the focus on the new board at once.
    EXPECT_EQ(keyboardFocus(), board.tileButtons[0]);

    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        const int partner = partnerOf(tile);
        if (partner < tile)
            continue;
        tabTo(game, tile);
        game.pressKey(KEY_SPACE);
        tabTo(game, partner);
        game.pressKey(KEY_SPACE);
    }
    EXPECT_EQ(board.match.clickCount, TILE_COUNT);
    gui::IGUIElement* box = findId(ID_WIN_BOX);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(narrow(messageText(box)->getText()),
              "Your number of clicks are " + std::to_string(TILE_COUNT) + "\nPlay Again");
    EXPECT_EQ(keyboardFocus(), answerButtons(box).front());

    game.pressKey(KEY_ESCAPE);
    EXPECT_EQ(findId(ID_WIN_BOX), nullptr);
    EXPECT_EQ(keyboardFocus(), menuBar()) << "on the empty board the menu title is the one stop";
    // Tab stays there, Enter opens the menu on "New Game" and chooses it.
    game.pressKey(KEY_TAB);
    EXPECT_EQ(keyboardFocus(), menuBar());
    EXPECT_FALSE(menuOpen());
    game.pressKey(KEY_RETURN);
    ASSERT_TRUE(menuOpen());
    EXPECT_EQ(menuBar()->getSubMenu(0)->getSelectedItem(), 0);
    trace = captureStdout([&] { game.pressKey(KEY_RETURN); });
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), TILE_COUNT);
    expectFreshBoard();
    EXPECT_EQ(keyboardFocus(), board.tileButtons[0]);
    for (bool control : {true, false}) {
        SCOPED_TRACE(control ? "Ctrl+N" : "F2");
        trace = captureStdout([&] { game.pressKey(control ? KEY_KEY_N : KEY_F2, control); });
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), TILE_COUNT);
        expectFreshBoard();
        EXPECT_EQ(keyboardFocus(), board.tileButtons[0]);
        game.pressKey(KEY_SPACE);
        EXPECT_EQ(board.match.clickCount, 1);
    }
    game.pressKey(KEY_KEY_Q, true);
    EXPECT_FALSE(game.frame());
}

TEST(Keyboard, EscapeAndEnterAnswerTheWinBoxWhereverTheFocusIs) {
    enum Focus { AS_OPENED, ON_ITS_BUTTON, CLICKED_BESIDE };
    struct Answer {
        EKEY_CODE key;
        Focus focus;
        int presses;
    };
    // The box opens with the focus on itself, not on its button: Escape
    // and Enter answer it, Space first shows the ring on the button. The
    // same at either scale, where the box shows no close button.
    const Answer answers[] = {
        {KEY_ESCAPE, AS_OPENED, 1}, {KEY_ESCAPE, ON_ITS_BUTTON, 1}, {KEY_ESCAPE, CLICKED_BESIDE, 1},
        {KEY_RETURN, AS_OPENED, 1}, {KEY_RETURN, ON_ITS_BUTTON, 1}, {KEY_RETURN, CLICKED_BESIDE, 1},
        {KEY_SPACE, AS_OPENED, 2},  {KEY_SPACE, ON_ITS_BUTTON, 1},  {KEY_SPACE, CLICKED_BESIDE, 2},
    };
    for (int scale : {1, 2})
        for (const Answer& answer : answers) {
            SCOPED_TRACE(::testing::Message() << "scale " << scale << ", key " << answer.key
                                              << ", focus " << answer.focus);
            NullGame game(scale);
            ASSERT_EQ(gameState.scale, scale);
            game.startGame();
            playEveryPair(game);
            gui::IGUIElement* box = findId(ID_WIN_BOX);
            ASSERT_NE(box, nullptr);
            EXPECT_FALSE(static_cast<gui::IGUIWindow*>(box)->getCloseButton()->isVisible());
            if (answer.focus == ON_ITS_BUTTON) {
                game.pressKey(KEY_TAB);
                ASSERT_EQ(focused(), answerButtons(box).front());
            }
            // A click beside the box lands on the screen that holds it, which
            // hands the focus back to the box.
            if (answer.focus == CLICKED_BESIDE)
                game.click(5, 490);
            for (int press = 1; press < answer.presses; ++press) {
                game.pressKey(answer.key);
                ASSERT_NE(findId(ID_WIN_BOX), nullptr) << "answered at press " << press;
                EXPECT_EQ(keyboardFocus(), answerButtons(box).front());
            }
            game.pressKey(answer.key);
            EXPECT_EQ(findId(ID_WIN_BOX), nullptr);
            EXPECT_EQ(board.match.clickCount, TILE_COUNT);
            EXPECT_TRUE(game.frame());
        }
}

TEST(Keyboard, ShortcutsActOnlyWhereTheMenuBarCould) {
    NullGame game;
    game.skipIntro();
    const std::pair<EKEY_CODE, bool> shortcuts[] = {
        {KEY_KEY_N, true}, {KEY_F2, false}, {KEY_KEY_Q, true}, {KEY_F10, false}};
    for (int screen = 0; screen < 2; ++screen) {
        SCOPED_TRACE(screen == 0 ? "main menu" : "About");
        for (auto [key, control] : shortcuts) {
            const std::string trace = captureStdout([&] { game.pressKey(key, control); });
            EXPECT_EQ(trace, "");
            EXPECT_TRUE(game.frame());
            EXPECT_TRUE(gameState.menuBackgroundVisible);
        }
        if (screen == 0)
            game.clickId(ID_ABOUT);
    }
    game.clickId(ID_BACK);
    game.startGame();
    game.click(board.tileButtons[0]);
    // Without Ctrl the letters are nothing.
    for (EKEY_CODE key : {KEY_KEY_N, KEY_KEY_Q}) {
        const std::string trace = captureStdout([&] { game.pressKey(key); });
        EXPECT_EQ(trace, "");
        EXPECT_TRUE(game.frame());
        EXPECT_EQ(board.match.clickCount, 1);
    }
    // An open box waits for its answer, shortcuts or not.
    playEveryPair(game);
    ASSERT_NE(findId(ID_WIN_BOX), nullptr);
    for (auto [key, control] : shortcuts) {
        const std::string trace = captureStdout([&] { game.pressKey(key, control); });
        EXPECT_EQ(trace, "");
        EXPECT_TRUE(game.frame());
        EXPECT_NE(findId(ID_WIN_BOX), nullptr);
        EXPECT_FALSE(menuOpen());
    }
    game.pressWithAlt(KEY_KEY_M);
    EXPECT_FALSE(menuOpen());
}

TEST(Keyboard, TheRingShowsFromTheFirstKeyUntilTheNextClick) {
    NullGame game;
    game.startGame();
    EXPECT_EQ(keyboardFocus(), nullptr);
    game.click(board.tileButtons[7]);
    EXPECT_EQ(focused(), board.tileButtons[7]);
    EXPECT_EQ(keyboardFocus(), nullptr) << "a mouse player sees no ring";
    // Modifiers alone, as when the player switches windows, are no
    // keyboard play.
    for (EKEY_CODE key : {KEY_LCONTROL, KEY_LSHIFT, KEY_LMENU, KEY_LWIN})
        game.pressKey(key);
    EXPECT_EQ(keyboardFocus(), nullptr);
    game.pressKey(KEY_RIGHT);
    EXPECT_EQ(keyboardFocus(), board.tileButtons[12]) << "arrows go on from the clicked tile";
    game.click(board.tileButtons[9]);
    EXPECT_EQ(keyboardFocus(), nullptr);
    EXPECT_EQ(board.match.clickCount, 2);
}

// Keys are never GUI events: the routing above sees none of them, and
// the receiver absorbs only the keys keyboard play acts on itself, so
// Tab, Space, Enter and Escape still reach the engine.
TEST(Keyboard, OnlyTheKeysActedOnAreAbsorbed) {
    NullGame game;
    game.startGame();
    tabTo(game, 6);
    for (EKEY_CODE key : {KEY_TAB, KEY_SPACE, KEY_RETURN, KEY_ESCAPE, KEY_KEY_N, KEY_KEY_A}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(game.receiver.OnEvent(keyEvent(key, true)));
        EXPECT_FALSE(game.receiver.OnEvent(keyEvent(key, false)));
    }
    for (EKEY_CODE key : {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(game.receiver.OnEvent(keyEvent(key, true)));
        EXPECT_FALSE(game.receiver.OnEvent(keyEvent(key, false)));
    }
    EXPECT_EQ(board.match.clickCount, 0);
    // The menu's keys, and with it open every key but Tab.
    EXPECT_TRUE(game.receiver.OnEvent(keyEvent(KEY_F10, true)));
    ASSERT_TRUE(menuOpen());
    for (EKEY_CODE key : {KEY_DOWN, KEY_UP, KEY_LEFT, KEY_KEY_A, KEY_ESCAPE}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(game.receiver.OnEvent(keyEvent(key, true)));
    }
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(focused(), board.tileButtons[6]);
    gameState.guiEnvironment->setFocus(menuBar());
    EXPECT_TRUE(game.receiver.OnEvent(keyEvent(KEY_RETURN, true))) << "Enter on the title";
    EXPECT_FALSE(game.receiver.OnEvent(keyEvent(KEY_TAB, true)));
    EXPECT_FALSE(game.receiver.OnEvent(keyEvent(KEY_F10, false)));
    std::string trace =
        captureStdout([&] { EXPECT_TRUE(game.receiver.OnEvent(keyEvent(KEY_KEY_N, true, true))); });
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), TILE_COUNT);
    game.frame();
    expectFreshBoard();
    // With the keyboard in use, GUI events route exactly as before.
    ASSERT_TRUE(keyboardInUse());
    EXPECT_TRUE(buttonClicked(game, 7));
    EXPECT_EQ(board.match.clickCount, 1);
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_FOCUSED)));
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_HOVERED)));
    EXPECT_EQ(board.match.clickCount, 1);
}

TEST(Keyboard, TheMenuBarOpensChoosesAndClosesByKeys) {
    const int BAR = -1;
    const int NONE = -1;
    // A tile, and the one Tab reaches after it, in the board's second row.
    const int tile = tileAt(1, 1);
    const int next = tileAt(2, 1);
    const int last = TILE_COUNT - 1;
    enum Press { KEY, SHIFT_KEY, ALT_M, MOUSE_ON_TITLE };
    struct Step {
        Press press;
        EKEY_CODE key;
        int focus; // a tile, or BAR
        bool open;
        int highlighted; // of an open menu
        int dealt;       // trace lines written
    };
    struct Sequence {
        const char* name;
        int from; // the tile Tab reaches first, or BAR
        std::vector<Step> steps;
    };
    const Sequence sequences[] = {
        // Closed without a choice, the menu gives the focus back to the
        // tile it was opened from.
        {"F10, the arrows round, Escape and F10 close",
         tile,
         {{KEY, KEY_F10, BAR, true, 0, 0},
          {KEY, KEY_DOWN, BAR, true, 1, 0},
          {KEY, KEY_DOWN, BAR, true, 0, 0},
          {KEY, KEY_UP, BAR, true, 1, 0},
          {KEY, KEY_LEFT, BAR, true, 1, 0},
          {KEY, KEY_ESCAPE, tile, false, NONE, 0},
          {KEY, KEY_F10, BAR, true, 0, 0},
          {KEY, KEY_F10, tile, false, NONE, 0},
          {KEY, KEY_ESCAPE, tile, false, NONE, 0},
          {KEY, KEY_TAB, next, false, NONE, 0}}},
        {"F10 then Enter deals",
         next,
         {{KEY, KEY_F10, BAR, true, 0, 0}, {KEY, KEY_RETURN, 0, false, NONE, TILE_COUNT}}},
        {"Alt+M then Escape, Space deals",
         3,
         {{ALT_M, KEY_KEY_M, BAR, true, 0, 0},
          {ALT_M, KEY_KEY_M, BAR, true, 0, 0},
          {KEY, KEY_ESCAPE, 3, false, NONE, 0},
          {KEY, KEY_KEY_M, 3, false, NONE, 0},
          {ALT_M, KEY_KEY_M, BAR, true, 0, 0},
          {KEY, KEY_SPACE, 0, false, NONE, TILE_COUNT}}},
        {"Tab moves on from an open menu",
         last,
         {{KEY, KEY_F10, BAR, true, 0, 0}, {KEY, KEY_TAB, 0, false, NONE, 0}}},
        {"Enter, Space and Down on the title open it",
         BAR,
         {{KEY, KEY_RETURN, BAR, true, 0, 0},
          {KEY, KEY_ESCAPE, BAR, false, NONE, 0},
          {KEY, KEY_SPACE, BAR, true, 0, 0},
          {KEY, KEY_ESCAPE, BAR, false, NONE, 0},
          {KEY, KEY_DOWN, BAR, true, 0, 0},
          {KEY, KEY_ESCAPE, BAR, false, NONE, 0},
          {KEY, KEY_UP, BAR, false, NONE, 0},
          {SHIFT_KEY, KEY_TAB, last, false, NONE, 0}}},
        {"a menu the mouse opened takes the keys",
         0,
         {{MOUSE_ON_TITLE, KEY_KEY_0, BAR, true, NONE, 0},
          {KEY, KEY_DOWN, BAR, true, 0, 0},
          {KEY, KEY_DOWN, BAR, true, 1, 0},
          {KEY, KEY_ESCAPE, 0, false, NONE, 0},
          {MOUSE_ON_TITLE, KEY_KEY_0, BAR, true, NONE, 0},
          {KEY, KEY_UP, BAR, true, 1, 0},
          {KEY, KEY_UP, BAR, true, 0, 0},
          {KEY, KEY_RETURN, 0, false, NONE, TILE_COUNT}}},
    };
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        NullGame game;
        game.startGame();
        if (sequence.from == BAR) {
            game.pressKey(KEY_TAB, false, true);
            game.pressKey(KEY_TAB, false, true);
            ASSERT_EQ(focused(), menuBar());
        } else {
            tabTo(game, sequence.from);
        }
        int number = 0;
        for (const Step& step : sequence.steps) {
            SCOPED_TRACE(::testing::Message() << "step " << ++number << ", key " << step.key);
            const std::string trace = captureStdout([&] {
                if (step.press == ALT_M) {
                    game.pressWithAlt(KEY_KEY_M);
                } else if (step.press == MOUSE_ON_TITLE) {
                    const core::rect<s32> bar = menuBar()->getAbsolutePosition();
                    game.click(bar.UpperLeftCorner.X + 12, bar.getCenter().Y);
                } else {
                    game.pressKey(step.key, false, step.press == SHIFT_KEY);
                }
            });
            EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), step.dealt);
            if (step.dealt)
                expectFreshBoard();
            gui::IGUIContextMenu* bar = menuBar();
            ASSERT_NE(bar, nullptr);
            gui::IGUIElement* expected = step.focus == BAR ? static_cast<gui::IGUIElement*>(bar)
                                                           : board.tileButtons[step.focus];
            EXPECT_EQ(focused(), expected);
            if (step.press != MOUSE_ON_TITLE) {
                EXPECT_EQ(keyboardFocus(), expected) << "the ring is where the keys act";
            }
            EXPECT_EQ(bar->getSubMenu(0)->isVisible(), step.open);
            EXPECT_EQ(menuOpen(), step.open);
            if (step.open) {
                EXPECT_EQ(bar->getSubMenu(0)->getSelectedItem(), step.highlighted);
            }
            EXPECT_EQ(board.match.clickCount, 0) << "no key reached a tile";
        }
        EXPECT_TRUE(game.frame());
    }
}

// At either scale: the keys point at the items where the engine lays
// them out for the font in use.
TEST(Keyboard, ExitFromTheMenuQuitsAsTheMouseDoes) {
    for (auto [scale, wrapUp] :
         {std::pair<int, bool>{1, true}, {1, false}, {2, true}, {2, false}}) {
        SCOPED_TRACE(::testing::Message()
                     << "scale " << scale << (wrapUp ? ", F10, Up" : ", F10, Down"));
        NullGame game(scale);
        game.startGame();
        game.pressKey(KEY_F10);
        game.pressKey(wrapUp ? KEY_UP : KEY_DOWN);
        ASSERT_EQ(menuBar()->getSubMenu(0)->getSelectedItem(), 1);
        const std::string trace = captureStdout([&] { game.pressKey(KEY_SPACE); });
        EXPECT_EQ(trace, "");
        EXPECT_FALSE(game.frame());
    }
}

TEST(Keyboard, TheMouseChoosesFromAMenuTheKeysOpened) {
    NullGame game;
    game.startGame();
    game.pressKey(KEY_F10);
    gui::IGUIContextMenu* sub = menuBar()->getSubMenu(0);
    ASSERT_TRUE(sub->isVisible());
    // The lower half of the menu holds "Exit".
    const core::rect<s32> area = sub->getAbsolutePosition();
    game.move(area.getCenter().X, area.getCenter().Y + area.getHeight() / 4);
    EXPECT_EQ(sub->getSelectedItem(), 1);
    game.click(area.getCenter().X, area.getCenter().Y + area.getHeight() / 4);
    EXPECT_FALSE(game.frame());
}

TEST(Keyboard, TheMenuTitleTellsItsShortcuts) {
    NullGame game;
    game.startGame();
    gui::IGUIContextMenu* bar = menuBar();
    EXPECT_EQ(narrow(bar->getToolTipText().c_str()),
              "Menu: F10 or Alt+M\nNew Game: Ctrl+N or F2\nExit: Ctrl+Q\nSpeech: Ctrl+S");
    // The ring marks the title alone, within the bar.
    game.pressKey(KEY_TAB);
    game.pressKey(KEY_TAB, false, true);
    ASSERT_EQ(keyboardFocus(), bar);
    const core::rect<s32> title = menuTitleArea(bar);
    const core::rect<s32> whole = bar->getAbsolutePosition();
    EXPECT_EQ(title.UpperLeftCorner, whole.UpperLeftCorner);
    EXPECT_EQ(title.getHeight(), whole.getHeight());
    EXPECT_GT(title.getWidth(), 20);
    EXPECT_LT(title.getWidth(), whole.getWidth() / 4);
    // The title's own middle opens the menu when clicked.
    game.click(title.getCenter().X, title.getCenter().Y);
    EXPECT_TRUE(menuOpen());
}

// --- The screens around the board ---

TEST(Keyboard, MenuButtonsAreReachedFromTheTopDown) {
    NullGame game;
    game.skipIntro();
    EXPECT_EQ(keyboardFocus(), nullptr) << "no ring before the first key";
    struct Step {
        EKEY_CODE key;
        bool shift;
        s32 focus;
    };
    const Step mainMenu[] = {
        {KEY_TAB, false, ID_START_GAME}, {KEY_TAB, false, ID_ABOUT},
        {KEY_TAB, false, ID_START_GAME}, {KEY_TAB, true, ID_ABOUT},
        {KEY_UP, false, ID_START_GAME},  {KEY_UP, false, ID_START_GAME},
        {KEY_DOWN, false, ID_ABOUT},     {KEY_LEFT, false, ID_ABOUT},
    };
    for (const Step& step : mainMenu) {
        game.pressKey(step.key, false, step.shift);
        EXPECT_EQ(focused(), findId(step.focus)) << "key " << step.key;
        EXPECT_EQ(keyboardFocus(), findId(step.focus));
    }
    game.pressKey(KEY_SPACE);
    ASSERT_NE(findId(ID_BACK), nullptr);
    // The keyboard starts on Back, not on the website above it; Tab
    // still reads from the top down.
    EXPECT_EQ(keyboardFocus(), findId(ID_BACK)) << "About starts on Back";
    const Step about[] = {
        {KEY_TAB, false, ID_WEBSITE}, {KEY_TAB, false, ID_BACK},   {KEY_TAB, true, ID_WEBSITE},
        {KEY_TAB, true, ID_BACK},     {KEY_UP, false, ID_WEBSITE}, {KEY_DOWN, false, ID_BACK},
    };
    for (const Step& step : about) {
        game.pressKey(step.key, false, step.shift);
        EXPECT_EQ(focused(), findId(step.focus)) << "key " << step.key;
    }
    game.pressKey(KEY_RETURN);
    EXPECT_TRUE(gameState.menuBackgroundVisible);
    EXPECT_EQ(screenElementCount(), 2);
    EXPECT_EQ(keyboardFocus(), findId(ID_START_GAME));
    game.clickId(ID_ABOUT);
    EXPECT_EQ(keyboardFocus(), nullptr) << "the mouse hides the ring";
}

TEST(Keyboard, OnAboutTheFirstKeyRingsBackAndEscapeGoesBack) {
    const std::pair<EKEY_CODE, bool> firstKeys[] = {
        {KEY_TAB, false}, {KEY_TAB, true},   {KEY_RETURN, false}, {KEY_SPACE, false},
        {KEY_UP, false},  {KEY_DOWN, false}, {KEY_LEFT, false},   {KEY_RIGHT, false}};
    for (auto [key, shift] : firstKeys) {
        SCOPED_TRACE(::testing::Message() << "key " << key << (shift ? " with Shift" : ""));
        NullGame game;
        game.skipIntro();
        game.clickId(ID_ABOUT);
        game.pressKey(key, false, shift);
        ASSERT_NE(findId(ID_BACK), nullptr) << "the first key only shows the ring";
        EXPECT_EQ(keyboardFocus(), findId(ID_BACK));
        game.pressKey(KEY_TAB);
        EXPECT_EQ(keyboardFocus(), findId(ID_WEBSITE));
        // Escape goes back from the website button as well.
        game.pressKey(KEY_ESCAPE);
        EXPECT_TRUE(gameState.menuBackgroundVisible);
        EXPECT_NE(findId(ID_START_GAME), nullptr);
        EXPECT_EQ(findId(ID_WEBSITE), nullptr);
        EXPECT_EQ(keyboardFocus(), findId(ID_START_GAME));
    }
    // Escape as the very first key, and on the main menu nothing.
    NullGame game;
    game.skipIntro();
    game.clickId(ID_ABOUT);
    game.pressKey(KEY_ESCAPE);
    ASSERT_NE(findId(ID_START_GAME), nullptr);
    game.pressKey(KEY_ESCAPE);
    EXPECT_NE(findId(ID_START_GAME), nullptr);
    EXPECT_TRUE(game.frame());
}

TEST(Keyboard, TheMissingArchiveBoxAnswersEscapeAndItsButton) {
    // The box's only answer is Yes: Enter and Space press it once the
    // ring is on it; the first press shows the ring. At either scale.
    const std::pair<EKEY_CODE, int> answers[] = {{KEY_ESCAPE, 1}, {KEY_RETURN, 2}, {KEY_SPACE, 2}};
    for (int scale : {1, 2})
        for (auto [key, presses] : answers) {
            SCOPED_TRACE(::testing::Message() << "scale " << scale << ", key " << key);
            ScratchDirectory dir;
            dir.addLooseAssets();
            NullGame game(scale);
            ASSERT_EQ(gameState.scale, scale);
            game.setTime(gameState.startTime + 1000);
            game.frame();
            gui::IGUIElement* box = findId(ID_ARCHIVE_ERROR_BOX);
            ASSERT_NE(box, nullptr);
            EXPECT_FALSE(static_cast<gui::IGUIWindow*>(box)->getCloseButton()->isVisible());
            for (int press = 1; press < presses; ++press) {
                game.pressKey(key);
                ASSERT_NE(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
                EXPECT_EQ(keyboardFocus(), answerButtons(box).front());
            }
            game.pressKey(key);
            EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
            EXPECT_TRUE(gameState.splashVisible);
            EXPECT_EQ(keyboardFocus(), nullptr);
            game.skipIntro();
            EXPECT_EQ(keyboardFocus(), findId(ID_START_GAME));
        }
}

} // namespace
