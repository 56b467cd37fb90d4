// The screens are laid out in the numbers of the 800x500 window; this is
// where those numbers meet the window the game really has: every
// rectangle and distance of the layout is taken times `gameState.scale`
// here, and only here.
#pragma once

#include <irrlicht.h>

// The layout's own window size, at scale 1.
const int LAYOUT_WIDTH = 800;
const int LAYOUT_HEIGHT = 500;

irr::core::rect<irr::s32> atScale(const irr::core::rect<irr::s32>& layout);
irr::s32 atScale(irr::s32 layout);
