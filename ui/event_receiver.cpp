#include "ui/event_receiver.h"

#include "platform/programs.h"
#include "ui/board.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/keyboard.h"
#include "ui/narration.h"
#include "ui/screen_change.h"
#include "ui/screens.h"

// KAVENNA_WEBSITE, the game's homepage, is set when the build is configured.

using namespace irr;

bool MyEventReceiver::OnEvent(const SEvent& event) {
    // Keys and mouse buttons never reach the routing below.
    if (event.EventType == EET_KEY_INPUT_EVENT || event.EventType == EET_MOUSE_INPUT_EVENT)
        return onKeyboardInput(event);
    if (event.EventType != EET_GUI_EVENT || !event.GUIEvent.Caller)
        return false;
    const s32 id = event.GUIEvent.Caller->getID();

    switch (event.GUIEvent.EventType) {
    case gui::EGET_BUTTON_CLICKED:
        switch (id) {
        case ID_START_GAME:
            gameState.menuBackgroundVisible = false;
            clearScreen();
            newGame();
            return false;
        case ID_ABOUT:
            showAboutScreen();
            return false;
        case ID_BACK:
            clearScreen();
            showMainMenu();
            return false;
        case ID_WEBSITE:
            openInBrowser(KAVENNA_WEBSITE);
            return false;
        default:
            // Only the board's tiles may index its tables.
            if (!isTile(id))
                return false;
            playTile(id);
            return true;
        }
    case gui::EGET_MENU_ITEM_SELECTED:
        onMenuItem(static_cast<gui::IGUIContextMenu*>(event.GUIEvent.Caller));
        return false;
    case gui::EGET_ELEMENT_FOCUSED:
        // True here would keep the focus where it was.
        sayFocus(event.GUIEvent.Caller, event.GUIEvent.Element);
        return false;
    default:
        return false;
    }
}

void MyEventReceiver::onMenuItem(gui::IGUIContextMenu* menu) {
    switch (menu->getItemCommandId(menu->getSelectedItem())) {
    case CMD_EXIT:
        context.device->closeDevice();
        break;
    case CMD_NEW_GAME:
        newGame();
        break;
    default:
        break;
    }
}
