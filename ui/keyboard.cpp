#include "ui/keyboard.h"

#include "ui/board.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/menu_keys.h"
#include "ui/narration.h"
#include "ui/screen_change.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace irr;

namespace {

// What keyboard play keeps between keys.
struct KeyboardState {
    // The player's last press was a key, not a mouse button: the focused
    // button shows its ring.
    bool inUse = false;
    // Alt is down, as far as the keys seen say: the engine's key events
    // carry Shift and Control but not Alt. A mouse press forgets it, in
    // case Alt was let go in another window.
    bool altHeld = false;
    // Where the focus was when "Menu" last opened, by key or by mouse: a
    // tile's id, or -1 for the menu's own title (or nothing). Closing the
    // menu without a choice gives the focus back there.
    irr::s32 focusBeforeMenu = -1;
};

KeyboardState keys;

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

bool isAlt(EKEY_CODE key) {
    return key == KEY_MENU || key == KEY_LMENU || key == KEY_RMENU;
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

// A stop is what Tab visits: the buttons and the board's menu bar.
bool isStop(gui::IGUIElement* element) {
    const gui::EGUI_ELEMENT_TYPE type = element->getType();
    return (type == gui::EGUIET_BUTTON || type == gui::EGUIET_MENU) && element->isTabStop() &&
           element->isEnabled();
}

void collectStops(gui::IGUIElement* parent, std::vector<gui::IGUIElement*>& stops) {
    for (gui::IGUIElement* child : parent->getChildren()) {
        if (!child->isVisible())
            continue;
        if (isStop(child))
            stops.push_back(child);
        collectStops(child, stops);
    }
}

// In the order Tab visits them: the screens number their stops in
// reading order, the menu bar's title last.
std::vector<gui::IGUIElement*> reachableStops() {
    std::vector<gui::IGUIElement*> stops;
    collectStops(reachableArea(), stops);
    std::stable_sort(stops.begin(), stops.end(), [](gui::IGUIElement* a, gui::IGUIElement* b) {
        return a->getTabOrder() < b->getTabOrder();
    });
    return stops;
}

// Where the keyboard starts on a screen: its first stop, but on About
// the way back, so that no first key opens a browser unasked.
gui::IGUIElement* firstStop(const std::vector<gui::IGUIElement*>& stops) {
    for (gui::IGUIElement* stop : stops)
        if (stop->getID() == ID_BACK)
            return stop;
    return stops.front();
}

bool contains(const std::vector<gui::IGUIElement*>& buttons, gui::IGUIElement* element) {
    return std::find(buttons.begin(), buttons.end(), element) != buttons.end();
}

// Into a direction, the nearest button that stays in the focus's row
// (or column) if any does, so a move on the board jumps over removed
// tiles; otherwise the one in the nearest row (or column). Where there
// is none, the focus stays and says so.
void moveFocus(s32 right, s32 down) {
    // An arrow that finds the focus nowhere the player could see it only
    // shows where it is now.
    gui::IGUIElement* before = gameState.guiEnvironment->getFocus();
    gui::IGUIElement* focus = keyboardFocus();
    if (!focus || focus != before)
        return;
    if (focus->getType() != gui::EGUIET_BUTTON) {
        sayNothingThatWay(focus, right, down);
        return;
    }
    const core::position2d<s32> from = focus->getAbsolutePosition().getCenter();
    gui::IGUIElement* best = nullptr;
    s32 bestAlong = 0;
    s32 bestAcross = 0;
    for (gui::IGUIElement* button : reachableStops()) {
        if (button->getType() != gui::EGUIET_BUTTON)
            continue;
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
    else
        sayNothingThatWay(focus, right, down);
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

// Noted before whatever may open "Menu": a key that opens it, or a press
// of the mouse, which may land on its title.
void noteFocusBeforeMenu() {
    gui::IGUIElement* focus = gameState.guiEnvironment->getFocus();
    const bool onTile = focus && focus->getType() == gui::EGUIET_BUTTON &&
                        contains(reachableStops(), focus) && onScreen(focus);
    keys.focusBeforeMenu = onTile ? focus->getID() : ID_NONE;
}

// The tile that had the focus when the menu opened, while it is still on
// the board; null for the title.
gui::IGUIElement* focusBeforeMenu() {
    for (gui::IGUIElement* stop : reachableStops())
        if (stop->getType() == gui::EGUIET_BUTTON && stop->getID() == keys.focusBeforeMenu)
            return stop;
    return nullptr;
}

// F10 or Alt+M open "Menu" from anywhere on the board, and so do Enter,
// Space and Down on its title. While it is open it keeps every key but
// Tab (which moves on and so closes it): Up and Down move the highlight,
// Enter and Space choose, Escape and F10 close it and give the focus back
// where it was before it opened, as desktop menus do.
bool onMenuKey(const SEvent::SKeyInput& key) {
    gui::IGUIContextMenu* bar = boardMenuBar();
    if (!bar || !boardInPlay())
        return false;
    const bool menuKey = key.Key == KEY_F10 || (keys.altHeld && key.Key == KEY_KEY_M);
    if (!menuOpen()) {
        const bool onTitle = gameState.guiEnvironment->getFocus() == bar &&
                             (key.Key == KEY_RETURN || key.Key == KEY_SPACE || key.Key == KEY_DOWN);
        if (!menuKey && !onTitle)
            return false;
        noteFocusBeforeMenu();
        openMenu();
        return true;
    }
    switch (key.Key) {
    case KEY_TAB:
        return false;
    case KEY_UP:
        moveMenuHighlight(-1);
        break;
    case KEY_DOWN:
        moveMenuHighlight(1);
        break;
    case KEY_RETURN:
    case KEY_SPACE:
        chooseMenuItem();
        break;
    case KEY_LEFT:
    case KEY_RIGHT:
        // The menu has one column: the highlighted item is said again.
        moveMenuHighlight(0);
        break;
    case KEY_ESCAPE:
    case KEY_F10:
        closeMenu(focusBeforeMenu());
        break;
    default:
        break;
    }
    return true;
}

// The click a button raises when pressed, from the button itself. What
// it reaches may take itself off the screen at once, as an answered box
// does: the button and what holds it stay alive until the engine's `run`
// has returned.
void pressButton(gui::IGUIElement* button) {
    for (gui::IGUIElement* element = button;
         element != gameState.guiEnvironment->getRootGUIElement(); element = element->getParent())
        keepUntilDelivered(element);
    SEvent event{};
    event.EventType = EET_GUI_EVENT;
    event.GUIEvent.Caller = button;
    event.GUIEvent.Element = nullptr;
    event.GUIEvent.EventType = gui::EGET_BUTTON_CLICKED;
    button->getParent()->OnEvent(event);
}

// Escape answers an open box as a click on its one button does, at every
// scale: the engine itself takes Escape only through the close button of
// a box's title bar, which the game's boxes do not show (ui/skin.h).
bool onEscapeInBox(const SEvent::SKeyInput& key) {
    if (key.Key != KEY_ESCAPE || reachableArea() == gameState.guiEnvironment->getRootGUIElement())
        return false;
    const std::vector<gui::IGUIElement*> answers = reachableStops();
    if (answers.empty())
        return false;
    pressButton(answers.front());
    return true;
}

// Escape leaves the About screen as "Back" does.
bool onEscapeFromAbout(const SEvent::SKeyInput& key) {
    if (key.Key != KEY_ESCAPE)
        return false;
    for (gui::IGUIElement* stop : reachableStops())
        if (stop->getID() == ID_BACK) {
            pressButton(stop);
            return true;
        }
    return false;
}

// Tab with the focus on nothing the player can reach (a new screen, a
// box just answered) only shows where the keyboard starts, as the other
// keys do.
bool onFirstTab(const SEvent::SKeyInput& key) {
    if (key.Key != KEY_TAB)
        return false;
    const std::vector<gui::IGUIElement*> stops = reachableStops();
    gui::IGUIElement* focus = gameState.guiEnvironment->getFocus();
    if (stops.empty() || (contains(stops, focus) && onScreen(focus)))
        return false;
    keyboardFocus();
    return true;
}

// Tab where the focus is the only stop, as on the board after a win,
// leaves it there and says so.
bool onLoneTab(const SEvent::SKeyInput& key) {
    if (key.Key != KEY_TAB)
        return false;
    const std::vector<gui::IGUIElement*> stops = reachableStops();
    gui::IGUIElement* focus = gameState.guiEnvironment->getFocus();
    if (stops.size() != 1 || stops.front() != focus)
        return false;
    sayFocusAgain(focus);
    return true;
}

// A key of the key table that has nothing to do here (Escape with
// nothing to close, the board's shortcuts off the board) still answers:
// with where the focus is.
bool isGameKey(const SEvent::SKeyInput& key) {
    return key.Key == KEY_ESCAPE || key.Key == KEY_F10 || key.Key == KEY_F2 ||
           (key.Control && (key.Key == KEY_KEY_N || key.Key == KEY_KEY_Q)) ||
           (keys.altHeld && key.Key == KEY_KEY_M);
}

void answerWithTheFocus() {
    gui::IGUIElement* before = gameState.guiEnvironment->getFocus();
    gui::IGUIElement* focus = keyboardFocus();
    if (focus && focus == before)
        sayFocusAgain(focus);
}

} // namespace

bool onKeyboardInput(const SEvent& event) {
    if (event.EventType == EET_MOUSE_INPUT_EVENT) {
        if (isMouseButtonPress(event.MouseInput)) {
            keys.inUse = false;
            keys.altHeld = false;
            if (!menuOpen())
                noteFocusBeforeMenu();
        }
        return false;
    }
    if (event.EventType != EET_KEY_INPUT_EVENT)
        return false;
    const SEvent::SKeyInput& key = event.KeyInput;
    if (isAlt(key.Key))
        keys.altHeld = key.PressedDown;
    if (!key.PressedDown || isModifier(key.Key))
        return false;
    keys.inUse = true;
    // On every screen, a box open or not.
    if (key.Control && key.Key == KEY_KEY_S) {
        toggleSpeech();
        return true;
    }
    if (onShortcut(key) || onMenuKey(key) || onEscapeInBox(key) || onEscapeFromAbout(key) ||
        onFirstTab(key) || onLoneTab(key))
        return true;
    if (isGameKey(key)) {
        answerWithTheFocus();
        return false;
    }

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
    if (!keys.inUse)
        return nullptr;
    gui::IGUIEnvironment* gui = gameState.guiEnvironment;
    gui::IGUIElement* focus = gui->getFocus();
    const std::vector<gui::IGUIElement*> stops = reachableStops();
    if (stops.empty())
        return nullptr;
    if (contains(stops, focus) && onScreen(focus))
        return focus;
    // After a pair left the board, the focus goes on to the next tile,
    // round to the first one rather than on to the menu bar.
    gui::IGUIElement* next = firstStop(stops);
    if (focus && focus->getType() == gui::EGUIET_BUTTON) {
        gui::IGUIElement* firstButton = nullptr;
        gui::IGUIElement* nextButton = nullptr;
        for (gui::IGUIElement* stop : stops) {
            if (stop->getType() != gui::EGUIET_BUTTON)
                continue;
            if (!firstButton)
                firstButton = stop;
            if (!nextButton && stop->getTabOrder() > focus->getTabOrder())
                nextButton = stop;
        }
        if (nextButton || firstButton)
            next = nextButton ? nextButton : firstButton;
    }
    gui->setFocus(next);
    return gui->getFocus() == next ? next : nullptr;
}

bool keyboardInUse() {
    return keys.inUse;
}

void forgetKeys() {
    keys = KeyboardState();
}
