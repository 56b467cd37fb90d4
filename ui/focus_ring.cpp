#include "ui/focus_ring.h"

#include "ui/game_state.h"
#include "ui/keyboard.h"
#include "ui/layout.h"
#include "ui/menu_keys.h"

using namespace irr;

namespace {

// A dark blue band with a white edge on either side: readable on the
// white board, the light menu panel and the dark menu picture alike.
const video::SColor RING_COLOUR(255, 0, 64, 221);
const video::SColor EDGE_COLOUR(255, 255, 255, 255);
// Distances outside the button, in pixels: a white gap, the band, a
// white rim.
const s32 GAP = 2;
const s32 BAND = 3;
const s32 RIM = 1;

// Fills the frame between `inner` grown by `from` and by `to` pixels.
void drawFrame(const core::rect<s32>& inner, s32 from, s32 to, video::SColor colour,
               const core::rect<s32>& clip) {
    const core::rect<s32> in(inner.UpperLeftCorner.X - from, inner.UpperLeftCorner.Y - from,
                             inner.LowerRightCorner.X + from, inner.LowerRightCorner.Y + from);
    const core::rect<s32> out(inner.UpperLeftCorner.X - to, inner.UpperLeftCorner.Y - to,
                              inner.LowerRightCorner.X + to, inner.LowerRightCorner.Y + to);
    video::IVideoDriver* driver = gameState.videoDriver;
    const s32 left = out.UpperLeftCorner.X, top = out.UpperLeftCorner.Y;
    const s32 right = out.LowerRightCorner.X, bottom = out.LowerRightCorner.Y;
    driver->draw2DRectangle(colour, core::rect<s32>(left, top, right, in.UpperLeftCorner.Y), &clip);
    driver->draw2DRectangle(colour, core::rect<s32>(left, in.LowerRightCorner.Y, right, bottom),
                            &clip);
    driver->draw2DRectangle(
        colour,
        core::rect<s32>(left, in.UpperLeftCorner.Y, in.UpperLeftCorner.X, in.LowerRightCorner.Y),
        &clip);
    driver->draw2DRectangle(
        colour,
        core::rect<s32>(in.LowerRightCorner.X, in.UpperLeftCorner.Y, right, in.LowerRightCorner.Y),
        &clip);
}

// Around `inner`: a white gap of `gap` pixels, the band, a white rim.
void drawRing(const core::rect<s32>& inner, s32 gap, const core::rect<s32>& clip) {
    drawFrame(inner, 0, atScale(gap), EDGE_COLOUR, clip);
    drawFrame(inner, atScale(gap), atScale(gap + BAND), RING_COLOUR, clip);
    drawFrame(inner, atScale(gap + BAND), atScale(gap + BAND + RIM), EDGE_COLOUR, clip);
}

// The engine's tool-tip, a sub-element text it adds to the root; the
// game adds no such thing.
gui::IGUIElement* toolTip() {
    for (gui::IGUIElement* child : gameState.guiEnvironment->getRootGUIElement()->getChildren())
        if (child->isSubElement() && child->getType() == gui::EGUIET_STATIC_TEXT)
            return child;
    return nullptr;
}

} // namespace

void drawFocusRing() {
    gui::IGUIElement* stop = keyboardFocus();
    if (!stop)
        return;
    // Inside a message box the ring stays within the box.
    const core::rect<s32> clip = stop->getParent()->getAbsoluteClippingRect();
    if (stop->getType() == gui::EGUIET_MENU) {
        // The menu bar's title touches the window's edge and the menu
        // below it: its ring lies inside it, band and rim only, clear of
        // the title's text.
        core::rect<s32> inner = menuTitleArea(stop);
        const s32 depth = atScale(BAND + RIM);
        inner.UpperLeftCorner += core::position2d<s32>(depth, depth);
        inner.LowerRightCorner -= core::position2d<s32>(depth, depth);
        drawRing(inner, 0, clip);
    } else {
        drawRing(stop->getAbsolutePosition(), GAP, clip);
    }
    // A tool-tip stays readable over the ring.
    if (gui::IGUIElement* tip = toolTip())
        tip->draw();
}
