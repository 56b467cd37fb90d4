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
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), TILE_COUNT);
    game.frame();
    expectFreshBoard();
}

TEST(Routing, OnlyTileClicksAreAbsorbed) {
    NullGame game;
    game.startGame();
    EXPECT_TRUE(buttonClicked(game, 7));
    EXPECT_EQ(board.match.clickCount, 1);
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_HOVERED)));
    EXPECT_FALSE(game.receiver.OnEvent(guiEvent(findId(7), gui::EGET_ELEMENT_FOCUSED)));
    EXPECT_EQ(board.match.clickCount, 1);

    SEvent mouse{};
    mouse.EventType = EET_MOUSE_INPUT_EVENT;
    mouse.MouseInput.Event = EMIE_LMOUSE_LEFT_UP;
    EXPECT_FALSE(game.receiver.OnEvent(mouse));
    SEvent key{};
    key.EventType = EET_KEY_INPUT_EVENT;
    key.KeyInput.Key = KEY_RETURN;
    key.KeyInput.PressedDown = true;
    EXPECT_FALSE(game.receiver.OnEvent(key));
    EXPECT_EQ(board.match.clickCount, 1);
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
        EXPECT_EQ(board.match.clickCount, 0);
        EXPECT_EQ(board.match.revealedCount, 0);
        button->remove();
    }
    // The board itself is untouched.
    expectFreshBoard();
}

TEST(Routing, TheMenuTitleOnlyOpensItsSubmenu) {
    NullGame game;
    game.startGame();
    game.click(board.tileButtons[3]);
    s32 before[TILE_COUNT];
    std::copy(board.match.tileValues, board.match.tileValues + TILE_COUNT, before);
    gui::IGUIButton* tileBefore = board.tileButtons[0];

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
    EXPECT_EQ(board.tileButtons[0], tileBefore);
    EXPECT_EQ(board.match.clickCount, 1);
    EXPECT_EQ(board.match.revealedCount, 1);
    EXPECT_TRUE(std::equal(before, before + TILE_COUNT, board.match.tileValues));
}

TEST(Routing, NewGameDealsAFreshBoardAtOnce) {
    NullGame game;
    game.startGame();
    game.click(board.tileButtons[0]);
    game.click(board.tileButtons[1]);
    game.click(board.tileButtons[2]);
    ASSERT_EQ(board.match.clickCount, 3);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::string trace = captureStdout([&] { game.chooseMenu(0); });
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), TILE_COUNT);
        expectFreshBoard();
        game.click(board.tileButtons[5]);
        EXPECT_EQ(board.match.clickCount, 1);
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

// Stands between the engine and the receiver and notes each command
// that reaches the receiver: a button click or a chosen menu item.
struct Command {
    gui::EGUI_EVENT_TYPE type;
    gui::IGUIElement* caller;
    s32 selected;
    bool absorbed;
    bool operator==(const Command& other) const {
        return type == other.type && caller == other.caller && selected == other.selected &&
               absorbed == other.absorbed;
    }
};

class CommandSpy : public IEventReceiver {
  public:
    explicit CommandSpy(MyEventReceiver& receiver) : receiver(receiver) {
        gameState.device->setEventReceiver(this);
    }
    ~CommandSpy() override { gameState.device->setEventReceiver(&receiver); }
    bool OnEvent(const SEvent& event) override {
        const bool absorbed = receiver.OnEvent(event);
        if (event.EventType != EET_GUI_EVENT)
            return absorbed;
        const gui::EGUI_EVENT_TYPE type = event.GUIEvent.EventType;
        if (type == gui::EGET_MENU_ITEM_SELECTED)
            seen.push_back(
                {type, event.GUIEvent.Caller,
                 static_cast<gui::IGUIContextMenu*>(event.GUIEvent.Caller)->getSelectedItem(),
                 absorbed});
        else if (type == gui::EGET_BUTTON_CLICKED)
            seen.push_back({type, event.GUIEvent.Caller, -1, absorbed});
        return absorbed;
    }
    std::vector<Command> seen;

  private:
    MyEventReceiver& receiver;
};

void postKey(EKEY_CODE key, bool down) {
    SEvent event{};
    event.EventType = EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = key;
    event.KeyInput.PressedDown = down;
    gameState.device->postEventFromUser(event);
}

// Every way to a command, by mouse or by keys, reaches the receiver as
// the one event the mouse has always raised, and nothing else does.
TEST(Routing, KeyboardCommandsArriveAsTheMouseChoosesThem) {
    enum Way { MOUSE, F10, ALT_M, TITLE };
    for (int item : {0, 1}) {
        std::vector<Command> byMouse;
        for (Way way : {MOUSE, F10, ALT_M, TITLE}) {
            SCOPED_TRACE(::testing::Message() << "item " << item << ", way " << way);
            NullGame game;
            game.startGame();
            // Held here: a new deal takes it off the screen.
            gui::IGUIContextMenu* sub = menuBar()->getSubMenu(0);
            sub->grab();
            std::vector<Command> seen;
            const std::string trace = captureStdout([&] {
                CommandSpy spy(game.receiver);
                if (way == MOUSE) {
                    game.chooseMenu(item);
                } else {
                    if (way == F10) {
                        game.pressKey(KEY_F10);
                    } else if (way == ALT_M) {
                        postKey(KEY_LMENU, true);
                        game.pressKey(KEY_KEY_M);
                        postKey(KEY_LMENU, false);
                    } else {
                        game.pressKey(KEY_TAB, false, true);
                        game.pressKey(KEY_TAB, false, true);
                        game.pressKey(KEY_DOWN);
                    }
                    for (int down = 0; down < item; ++down)
                        game.pressKey(KEY_DOWN);
                    game.pressKey(KEY_RETURN);
                }
                seen = spy.seen;
            });
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ(seen[0].type, gui::EGET_MENU_ITEM_SELECTED);
            EXPECT_EQ(seen[0].caller, sub);
            EXPECT_EQ(sub->getItemCommandId(seen[0].selected), item ? CMD_EXIT : CMD_NEW_GAME);
            EXPECT_FALSE(seen[0].absorbed);
            // Each game has its own menu; the rest must match the mouse's.
            seen[0].caller = nullptr;
            if (way == MOUSE)
                byMouse = seen;
            EXPECT_EQ(seen, byMouse);
            EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), item ? 0 : 20);
            EXPECT_EQ(game.frame(), item == 0);
            sub->drop();
        }
    }
    // Escape on About raises the click of "Back".
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "a click on Back");
        NullGame game;
        game.skipIntro();
        game.clickId(ID_ABOUT);
        gui::IGUIElement* back = findId(ID_BACK);
        CommandSpy spy(game.receiver);
        if (escape)
            game.pressKey(KEY_ESCAPE);
        else
            game.click(back);
        ASSERT_EQ(spy.seen.size(), 1u);
        EXPECT_EQ(spy.seen[0], (Command{gui::EGET_BUTTON_CLICKED, back, -1, false}));
        EXPECT_NE(findId(ID_START_GAME), nullptr);
    }
}

} // namespace
