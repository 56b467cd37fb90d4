#include "ui/menu_keys.h"

#include "ui/game_state.h"
#include "ui/narration.h"

using namespace irr;

namespace {

// The one menu bar holds a single title, "Menu".
const u32 TITLE = 0;

gui::IGUIFont* menuFont() {
    return gameState.guiEnvironment->getSkin()->getFont(gui::EGDF_MENU);
}

// The menu takes the pointer's events while it has the focus, whatever
// lies under the pointer; these go to it alone, so neither the receiver
// nor the engine's hovering sees a mouse that never moved.
void pointerEvent(gui::IGUIElement* bar, EMOUSE_INPUT_EVENT kind,
                  const core::position2d<s32>& where) {
    SEvent event{};
    event.EventType = EET_MOUSE_INPUT_EVENT;
    event.MouseInput.Event = kind;
    event.MouseInput.X = where.X;
    event.MouseInput.Y = where.Y;
    event.MouseInput.ButtonStates = kind == EMIE_LMOUSE_PRESSED_DOWN ? EMBSM_LEFT : 0;
    bar->OnEvent(event);
}

gui::IGUIContextMenu* openSubMenu() {
    gui::IGUIContextMenu* bar = boardMenuBar();
    if (!bar)
        return nullptr;
    gui::IGUIContextMenu* sub = bar->getSubMenu(TITLE);
    return sub && sub->isVisible() ? sub : nullptr;
}

// The middle of `item` as the engine lays out a drop-down menu: items
// stacked at their text's height below a 3-pixel margin.
core::position2d<s32> itemCentre(gui::IGUIContextMenu* sub, u32 item) {
    const core::rect<s32> area = sub->getAbsolutePosition();
    gui::IGUIFont* font = menuFont();
    s32 top = area.UpperLeftCorner.Y + 3;
    for (u32 above = 0; above < item; ++above)
        top += font ? font->getDimension(sub->getItemText(above)).Height : 0;
    const s32 height = font ? font->getDimension(sub->getItemText(item)).Height : 0;
    return core::position2d<s32>(area.getCenter().X, top + height / 2);
}

} // namespace

gui::IGUIContextMenu* boardMenuBar() {
    for (gui::IGUIElement* child : gameState.guiEnvironment->getRootGUIElement()->getChildren())
        if (child->getType() == gui::EGUIET_MENU && child->isVisible())
            return static_cast<gui::IGUIContextMenu*>(child);
    return nullptr;
}

bool menuOpen() {
    return openSubMenu() != nullptr;
}

void openMenu() {
    gui::IGUIContextMenu* bar = boardMenuBar();
    if (!bar || menuOpen())
        return;
    // A press on the title focuses the bar and drops the menu down.
    pointerEvent(bar, EMIE_LMOUSE_PRESSED_DOWN, menuTitleArea(bar).getCenter());
    highlightMenuItem(0);
}

void highlightMenuItem(s32 item) {
    gui::IGUIContextMenu* sub = openSubMenu();
    if (!sub || item < 0 || item >= static_cast<s32>(sub->getItemCount()))
        return;
    pointerEvent(boardMenuBar(), EMIE_MOUSE_MOVED, itemCentre(sub, item));
    sayMenuItem(sub, sub->getSelectedItem());
}

void moveMenuHighlight(s32 step) {
    gui::IGUIContextMenu* sub = openSubMenu();
    if (!sub)
        return;
    const s32 count = static_cast<s32>(sub->getItemCount());
    s32 item = sub->getSelectedItem();
    // Nothing highlighted yet (the mouse opened it): Down starts at the
    // top, Up at the bottom.
    if (item < 0)
        item = step > 0 ? -1 : count;
    for (s32 tried = 0; tried < count; ++tried) {
        item = ((item + step) % count + count) % count;
        if (sub->isItemEnabled(item)) {
            highlightMenuItem(item);
            return;
        }
    }
}

void chooseMenuItem() {
    gui::IGUIContextMenu* sub = openSubMenu();
    if (!sub || sub->getSelectedItem() < 0)
        return;
    // The release over the highlighted item: the engine raises the
    // menu-item event and closes the menu. The item may clear the screen,
    // so nothing here is touched afterwards.
    pointerEvent(boardMenuBar(), EMIE_LMOUSE_LEFT_UP, itemCentre(sub, sub->getSelectedItem()));
}

void closeMenu(gui::IGUIElement* focus) {
    gui::IGUIContextMenu* bar = boardMenuBar();
    if (!bar || !menuOpen())
        return;
    // Losing the focus is what closes the engine's menu.
    if (focus && focus != bar) {
        gameState.guiEnvironment->setFocus(focus);
        return;
    }
    gameState.guiEnvironment->removeFocus(bar);
    gameState.guiEnvironment->setFocus(bar);
}

core::rect<s32> menuTitleArea(gui::IGUIElement* bar) {
    // As the engine lays out the bar: the title's text width and 20
    // pixels, the bar's full height.
    core::rect<s32> area = bar->getAbsolutePosition();
    gui::IGUIContextMenu* menu = static_cast<gui::IGUIContextMenu*>(bar);
    gui::IGUIFont* font = menuFont();
    const s32 width =
        (font && menu->getItemCount() > TITLE ? font->getDimension(menu->getItemText(TITLE)).Width
                                              : 0) +
        20;
    area.LowerRightCorner.X = area.UpperLeftCorner.X + width;
    return area;
}
