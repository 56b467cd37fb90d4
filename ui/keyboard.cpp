#include "ui/keyboard.h"

#include "app/game_state.h"
#include "game/board.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace irr;

namespace {

bool isModifier(EKEY_CODE key) {
    switch (key) {
    case KEY_SHIFT:
    case KEY_CONTROL:
    case KEY_MENU:
    case KEY_LSHIFT:
    case KEY_RSHIFT:
    case KEY_LCONTROL:
    case KEY_RCONTROL:
    case KEY_LMENU:
    case KEY_RMENU:
    case KEY_LWIN:
    case KEY_RWIN:
    case KEY_CAPITAL:
        return true;
    default:
        return false;
    }
}

bool isMouseButtonPress(const SEvent::SMouseInput& mouse) {
    return mouse.Event == EMIE_LMOUSE_PRESSED_DOWN || mouse.Event == EMIE_RMOUSE_PRESSED_DOWN ||
           mouse.Event == EMIE_MMOUSE_PRESSED_DOWN;
}

bool onScreen(gui::IGUIElement* element) {
    gui::IGUIElement* root = gameState.guiEnvironment->getRootGUIElement();
    for (; element && element != root; element = element->getParent())
        if (!element->isVisible())
            return false;
    return element == root;
}

// A modal box takes every input until it is answered, so only its own
// buttons can be reached while it is open.
gui::IGUIElement* reachableArea() {
    gui::IGUIElement* root = gameState.guiEnvironment->getRootGUIElement();
    gui::IGUIElement* area = root;
    for (gui::IGUIElement* child : root->getChildren())
        if (child->getType() == gui::EGUIET_MODAL_SCREEN && child->isVisible())
            area = child;
    return area;
}

void collectButtons(gui::IGUIElement* parent, std::vector<gui::IGUIElement*>& buttons) {
    for (gui::IGUIElement* child : parent->getChildren()) {
        if (!child->isVisible())
            continue;
        if (child->getType() == gui::EGUIET_BUTTON && child->isTabStop() && child->isEnabled())
            buttons.push_back(child);
        collectButtons(child, buttons);
    }
}

// In the order Tab visits them: the screens number their buttons in
// reading order.
std::vector<gui::IGUIElement*> reachableButtons() {
    std::vector<gui::IGUIElement*> buttons;
    collectButtons(reachableArea(), buttons);
    std::stable_sort(buttons.begin(), buttons.end(), [](gui::IGUIElement* a, gui::IGUIElement* b) {
        return a->getTabOrder() < b->getTabOrder();
    });
    return buttons;
}

bool contains(const std::vector<gui::IGUIElement*>& buttons, gui::IGUIElement* element) {
    return std::find(buttons.begin(), buttons.end(), element) != buttons.end();
}

// Into a direction, the nearest button that stays in the focus's row
// (or column) if any does, so a move on the board jumps over removed
// tiles; otherwise the one in the nearest row (or column).
void moveFocus(s32 right, s32 down) {
    // An arrow that finds the focus nowhere the player could see it only
    // shows where it is now.
    gui::IGUIElement* before = gameState.guiEnvironment->getFocus();
    gui::IGUIElement* focus = keyboardFocus();
    if (!focus || focus != before)
        return;
    const core::position2d<s32> from = focus->getAbsolutePosition().getCenter();
    gui::IGUIElement* best = nullptr;
    s32 bestAlong = 0;
    s32 bestAcross = 0;
    for (gui::IGUIElement* button : reachableButtons()) {
        const core::position2d<s32> to = button->getAbsolutePosition().getCenter();
        const s32 along = (to.X - from.X) * right + (to.Y - from.Y) * down;
        const s32 across = std::abs(right ? to.Y - from.Y : to.X - from.X);
        if (along <= 0)
            continue;
        if (!best || across < bestAcross || (across == bestAcross && along < bestAlong)) {
            best = button;
            bestAlong = along;
            bestAcross = across;
        }
    }
    if (best)
        gameState.guiEnvironment->setFocus(best);
}

// The board is the only screen without a background picture; a box open
// on it holds every input, the menu bar's too.
bool boardInPlay() {
    return !gameState.menuBackgroundVisible && !gameState.splashVisible &&
           reachableArea() == gameState.guiEnvironment->getRootGUIElement();
}

// The menu bar's commands, as the menu bar has them: on the board, and
// not while a box waits for an answer.
bool onShortcut(const SEvent::SKeyInput& key) {
    const bool newGameKey = (key.Control && key.Key == KEY_KEY_N) || key.Key == KEY_F2;
    const bool exitKey = key.Control && key.Key == KEY_KEY_Q;
    if (!(newGameKey || exitKey) || !boardInPlay())
        return false;
    if (newGameKey)
        newGame();
    else
        gameState.device->closeDevice();
    return true;
}

} // namespace

bool onKeyboardInput(const SEvent& event) {
    if (event.EventType == EET_MOUSE_INPUT_EVENT) {
        if (isMouseButtonPress(event.MouseInput))
            gameState.keyboardInUse = false;
        return false;
    }
    if (event.EventType != EET_KEY_INPUT_EVENT || !event.KeyInput.PressedDown ||
        isModifier(event.KeyInput.Key))
        return false;
    gameState.keyboardInUse = true;
    const SEvent::SKeyInput& key = event.KeyInput;
    if (onShortcut(key))
        return true;

    switch (key.Key) {
    case KEY_LEFT:
        moveFocus(-1, 0);
        return true;
    case KEY_RIGHT:
        moveFocus(1, 0);
        return true;
    case KEY_UP:
        moveFocus(0, -1);
        return true;
    case KEY_DOWN:
        moveFocus(0, 1);
        return true;
    default:
        return false;
    }
}

gui::IGUIElement* keyboardFocus() {
    if (!gameState.keyboardInUse)
        return nullptr;
    gui::IGUIEnvironment* gui = gameState.guiEnvironment;
    gui::IGUIElement* focus = gui->getFocus();
    const std::vector<gui::IGUIElement*> buttons = reachableButtons();
    if (buttons.empty())
        return nullptr;
    if (contains(buttons, focus) && onScreen(focus))
        return focus;
    // After a pair left the board, the focus goes on to the next tile.
    gui::IGUIElement* next = buttons.front();
    if (focus && focus->getType() == gui::EGUIET_BUTTON)
        for (gui::IGUIElement* button : buttons)
            if (button->getTabOrder() > focus->getTabOrder()) {
                next = button;
                break;
            }
    gui->setFocus(next);
    return gui->getFocus() == next ? next : nullptr;
}
