// The button art on a button that has no picture of its own: a skin that
// draws the pane of a button on the menu screens as the art w.jpg, its
// rounded ends kept and its middle stretched to the button's width, and
// hands everything else to the engine's skin it wraps.
#pragma once

#include <irrlicht.h>

// A skin drawing through `engineSkin`, whose reference it takes over; the
// caller drops the result.
irr::gui::IGUISkin* createButtonArtSkin(irr::gui::IGUISkin* engineSkin);
