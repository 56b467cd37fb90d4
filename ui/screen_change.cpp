#include "ui/screen_change.h"

#include "ui/game_state.h"

using namespace irr;

namespace {

// Elements taken off the screen while the engine may still be inside
// one of them.
core::array<gui::IGUIElement*> retiredElements;

} // namespace

void clearScreen() {
    gui::IGUIEnvironment* gui = gameState.guiEnvironment;
    for (gui::IGUIElement* child : gui->getRootGUIElement()->getChildren())
        keepUntilDelivered(child);
    gui->clear();
}

void keepUntilDelivered(gui::IGUIElement* element) {
    element->grab();
    retiredElements.push_back(element);
}

void releaseClearedScreen() {
    for (u32 i = 0; i < retiredElements.size(); ++i)
        retiredElements[i]->drop();
    retiredElements.clear();
}
