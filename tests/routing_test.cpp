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

SEvent guiEvent(gui::IGUIElement* caller, gui::EGUI_EVENT_TYPE type) {
    SEvent event{};
    event.EventType = EET_GUI_EVENT;
    event.GUIEvent.Caller = caller;
    event.GUIEvent.Element = nullptr;
    event.GUIEvent.EventType = type;
    return event;
}

bool buttonClicked(NullGame& game, s32 id) {
    return game.receiver.OnEvent(guiEvent(findId(id), gui::EGET_BUTTON_CLICKED));
}

void expectFreshBoard() {
    EXPECT_FALSE(gameState.menuBackgroundVisible);
    EXPECT_FALSE(gameState.splashVisible);
    EXPECT_EQ(gameState.clickCount, 0);
    EXPECT_EQ(gameState.revealedCount, 0);
    EXPECT_EQ(gameState.matchedPairs, 0);
    ASSERT_NE(menuBar(), nullptr);
    EXPECT_EQ(screenElementCount(), 21);
    for (int id = 0; id < TILE_COUNT; ++id) {
        SCOPED_TRACE(id);
        gui::IGUIButton* tile = gameState.tileButtons[id];
        ASSERT_EQ(findId(id), tile);
        EXPECT_EQ(narrow(tile->getText()), "");
        EXPECT_EQ(narrow(tile->getToolTipText().c_str()), "choose me");
        EXPECT_TRUE(tile->isVisible());
        EXPECT_TRUE(tile->isEnabled());
        EXPECT_EQ(buttonImage(tile), gameState.hiddenTexture);
    }
}

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

// --- Keyboard play: beside the routing above, never instead of it ---

gui::IGUIElement* focused() {
    return gameState.guiEnvironment->getFocus();
}

// Tab until `tile` has the focus, as a player reading the board would.
void tabTo(NullGame& game, int tile) {
    for (int presses = 0; presses <= TILE_COUNT && focused() != gameState.tileButtons[tile];
         ++presses)
        game.pressKey(KEY_TAB);
    ASSERT_EQ(focused(), gameState.tileButtons[tile]);
}

// The tile at `place` when the board is read row by row.
int readingOrder(int place) {
    return (place % 4) * 5 + place / 4;
}

int partnerOf(int tile) {
    for (int other = 0; other < TILE_COUNT; ++other)
        if (other != tile && gameState.tileValues[other] == gameState.tileValues[tile])
            return other;
    return -1;
}

SEvent keyEvent(EKEY_CODE key, bool down, bool control = false) {
    SEvent event{};
    event.EventType = EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = key;
    event.KeyInput.PressedDown = down;
    event.KeyInput.Control = control;
    return event;
}

TEST(Keyboard, TabReadsTheBoardRowByRowAndBack) {
    NullGame game;
    game.startGame();
    for (int place = 0; place < TILE_COUNT; ++place) {
        game.pressKey(KEY_TAB);
        EXPECT_EQ(focused(), gameState.tileButtons[readingOrder(place)])
            << "Tab number " << place + 1;
    }
    game.pressKey(KEY_TAB);
    EXPECT_EQ(focused(), gameState.tileButtons[0]) << "Tab goes round";
    for (int place = TILE_COUNT - 1; place >= 0; --place) {
        game.pressKey(KEY_TAB, false, true);
        EXPECT_EQ(focused(), gameState.tileButtons[readingOrder(place)])
            << "Shift+Tab to " << place;
    }
    // A pair off the board is passed over.
    for (int tile : {5, 10}) {
        gameState.tileButtons[tile]->setEnabled(false);
        gameState.tileButtons[tile]->setVisible(false);
    }
    game.pressKey(KEY_TAB);
    EXPECT_EQ(focused(), gameState.tileButtons[15]);
}

TEST(Keyboard, ArrowsMoveAcrossTheGridOverRemovedTiles) {
    struct Move {
        std::vector<int> removed;
        int from;
        EKEY_CODE key;
        int to;
    };
    const Move moves[] = {
        {{}, 6, KEY_RIGHT, 11},
        {{}, 6, KEY_LEFT, 1},
        {{}, 6, KEY_UP, 5},
        {{}, 6, KEY_DOWN, 7},
        {{}, 15, KEY_RIGHT, 15},
        {{}, 15, KEY_UP, 15},
        {{}, 4, KEY_DOWN, 4},
        {{}, 4, KEY_LEFT, 4},
        {{11}, 6, KEY_RIGHT, 16},
        {{7, 8}, 6, KEY_DOWN, 9},
        {{1, 2, 3, 4}, 0, KEY_DOWN, 6},
        // Nothing left in the line: the nearest line's nearest tile, the
        // upper (or left) one when two are as near.
        {{11, 16}, 6, KEY_RIGHT, 10},
        {{5, 6, 7, 8, 9}, 2, KEY_RIGHT, 12},
        {{7, 8, 9, 13, 18}, 3, KEY_RIGHT, 12},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(::testing::Message() << "from " << move.from << " key " << move.key);
        NullGame game;
        game.startGame();
        for (int tile : move.removed) {
            gameState.tileButtons[tile]->setEnabled(false);
            gameState.tileButtons[tile]->setVisible(false);
        }
        tabTo(game, move.from);
        game.pressKey(move.key);
        EXPECT_EQ(focused(), gameState.tileButtons[move.to]);
        EXPECT_EQ(keyboardFocus(), gameState.tileButtons[move.to]);
        EXPECT_EQ(gameState.clickCount, 0);
    }
}

TEST(Keyboard, SpaceAndEnterTurnTheFocusedTileAsAClickDoes) {
    NullGame game;
    game.startGame();
    tabTo(game, 0);
    game.pressKey(KEY_SPACE);
    EXPECT_EQ(gameState.clickCount, 1);
    EXPECT_EQ(gameState.revealedCount, 1);
    EXPECT_EQ(gameState.firstTile, 0);
    EXPECT_EQ(buttonImage(gameState.tileButtons[0]),
              gameState.faceTextures[gameState.tileValues[0]]);
    // The same tile again counts and changes nothing else.
    game.pressKey(KEY_RETURN);
    EXPECT_EQ(gameState.clickCount, 2);
    EXPECT_EQ(gameState.revealedCount, 1);

    const int partner = partnerOf(0);
    tabTo(game, partner);
    game.pressKey(KEY_RETURN);
    EXPECT_EQ(gameState.clickCount, 3);
    EXPECT_FALSE(gameState.tileButtons[0]->isVisible());
    EXPECT_FALSE(gameState.tileButtons[partner]->isVisible());
    // The focus does not stay on a tile that left the board: it goes on
    // to the next one in reading order.
    std::vector<int> left;
    for (int place = 0; place < TILE_COUNT; ++place)
        if (gameState.tileButtons[readingOrder(place)]->isVisible())
            left.push_back(place);
    const int partnerPlace = (partner % 5) * 4 + partner / 5;
    auto after =
        std::find_if(left.begin(), left.end(), [&](int place) { return place > partnerPlace; });
    const int next = readingOrder(after == left.end() ? left.front() : *after);
    EXPECT_EQ(keyboardFocus(), gameState.tileButtons[next]);
    EXPECT_EQ(focused(), gameState.tileButtons[next]);
}

TEST(Keyboard, AWholeGameAndNewDealsWithoutTheMouse) {
    NullGame game;
    game.skipIntro();
    game.pressKey(KEY_TAB);
    ASSERT_EQ(focused(), findId(ID_START_GAME));
    std::string trace = captureStdout([&] { game.pressKey(KEY_SPACE); });
    ASSERT_EQ(std::count(trace.begin(), trace.end(), '\n'), 20);
    expectFreshBoard();
    // A keyboard player finds the focus on the new board at once.
    EXPECT_EQ(keyboardFocus(), gameState.tileButtons[0]);

    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        const int partner = partnerOf(tile);
        if (partner < tile)
            continue;
        tabTo(game, tile);
        game.pressKey(KEY_SPACE);
        tabTo(game, partner);
        game.pressKey(KEY_SPACE);
    }
    EXPECT_EQ(gameState.clickCount, 20);
    gui::IGUIElement* box = findId(ID_WIN_BOX);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(narrow(messageText(box)->getText()), "Your number of clicks are 20\nPlay Again");
    EXPECT_EQ(keyboardFocus(), answerButtons(box).front());

    game.pressKey(KEY_ESCAPE);
    EXPECT_EQ(findId(ID_WIN_BOX), nullptr);
    EXPECT_EQ(keyboardFocus(), nullptr) << "an empty board has nothing to focus";
    for (bool control : {true, false}) {
        SCOPED_TRACE(control ? "Ctrl+N" : "F2");
        trace = captureStdout([&] { game.pressKey(control ? KEY_KEY_N : KEY_F2, control); });
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 20);
        expectFreshBoard();
        EXPECT_EQ(keyboardFocus(), gameState.tileButtons[0]);
        game.pressKey(KEY_SPACE);
        EXPECT_EQ(gameState.clickCount, 1);
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
    // and Enter answer it, Space first shows the ring on the button.
    const Answer answers[] = {
        {KEY_ESCAPE, AS_OPENED, 1}, {KEY_ESCAPE, ON_ITS_BUTTON, 1}, {KEY_ESCAPE, CLICKED_BESIDE, 1},
        {KEY_RETURN, AS_OPENED, 1}, {KEY_RETURN, ON_ITS_BUTTON, 1}, {KEY_RETURN, CLICKED_BESIDE, 1},
        {KEY_SPACE, AS_OPENED, 2},  {KEY_SPACE, ON_ITS_BUTTON, 1},  {KEY_SPACE, CLICKED_BESIDE, 2},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(::testing::Message() << "key " << answer.key << ", focus " << answer.focus);
        NullGame game;
        game.startGame();
        for (int tile = 0; tile < TILE_COUNT; ++tile)
            if (partnerOf(tile) > tile) {
                game.click(gameState.tileButtons[tile]);
                game.click(gameState.tileButtons[partnerOf(tile)]);
            }
        gui::IGUIElement* box = findId(ID_WIN_BOX);
        ASSERT_NE(box, nullptr);
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
        EXPECT_EQ(gameState.clickCount, 20);
        EXPECT_TRUE(game.frame());
    }
}

TEST(Keyboard, ShortcutsActOnlyWhereTheMenuBarCould) {
    NullGame game;
    game.skipIntro();
    const std::pair<EKEY_CODE, bool> shortcuts[] = {
        {KEY_KEY_N, true}, {KEY_F2, false}, {KEY_KEY_Q, true}};
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
    game.click(gameState.tileButtons[0]);
    // Without Ctrl the letters are nothing.
    for (EKEY_CODE key : {KEY_KEY_N, KEY_KEY_Q}) {
        const std::string trace = captureStdout([&] { game.pressKey(key); });
        EXPECT_EQ(trace, "");
        EXPECT_TRUE(game.frame());
        EXPECT_EQ(gameState.clickCount, 1);
    }
    // An open box waits for its answer, shortcuts or not.
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        if (partnerOf(tile) > tile) {
            game.click(gameState.tileButtons[tile]);
            game.click(gameState.tileButtons[partnerOf(tile)]);
        }
    ASSERT_NE(findId(ID_WIN_BOX), nullptr);
    for (auto [key, control] : shortcuts) {
        const std::string trace = captureStdout([&] { game.pressKey(key, control); });
        EXPECT_EQ(trace, "");
        EXPECT_TRUE(game.frame());
        EXPECT_NE(findId(ID_WIN_BOX), nullptr);
    }
}

TEST(Keyboard, TheRingShowsFromTheFirstKeyUntilTheNextClick) {
    NullGame game;
    game.startGame();
    EXPECT_EQ(keyboardFocus(), nullptr);
    game.click(gameState.tileButtons[7]);
    EXPECT_EQ(focused(), gameState.tileButtons[7]);
    EXPECT_EQ(keyboardFocus(), nullptr) << "a mouse player sees no ring";
    // Modifiers alone, as when the player switches windows, are no
    // keyboard play.
    for (EKEY_CODE key : {KEY_LCONTROL, KEY_LSHIFT, KEY_LMENU, KEY_LWIN})
        game.pressKey(key);
    EXPECT_EQ(keyboardFocus(), nullptr);
    game.pressKey(KEY_RIGHT);
    EXPECT_EQ(keyboardFocus(), gameState.tileButtons[12]) << "arrows go on from the clicked tile";
    game.click(gameState.tileButtons[9]);
    EXPECT_EQ(keyboardFocus(), nullptr);
    EXPECT_EQ(gameState.clickCount, 2);
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
    EXPECT_EQ(gameState.clickCount, 0);
    std::string trace =
        captureStdout([&] { EXPECT_TRUE(game.receiver.OnEvent(keyEvent(KEY_KEY_N, true, true))); });
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 20);
    game.frame();
    expectFreshBoard();
    // With the keyboard in use, GUI events route exactly as before.
    ASSERT_TRUE(gameState.keyboardInUse);
    EXPECT_TRUE(buttonClicked(game, 7));
    EXPECT_EQ(gameState.clickCount, 1);
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_FOCUSED)));
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_HOVERED)));
    EXPECT_EQ(gameState.clickCount, 1);
}

} // namespace
