#include "ui/screen_change.h"

#include "app/game_state.h"

using namespace irr;

void clearScreen() {
    gui::IGUIEnvironment* gui = gameState.guiEnvironment;
    const core::list<gui::IGUIElement*>& children = gui->getRootGUIElement()->getChildren();
    for (gui::IGUIElement* child : children) {
        child->grab();
        gameState.retiredElements.push_back(child);
    }
    gui->clear();
}

void releaseClearedScreen() {
    for (u32 i = 0; i < gameState.retiredElements.size(); ++i)
        gameState.retiredElements[i]->drop();
    gameState.retiredElements.clear();
}
