#include "ui/layout.h"

#include "ui/game_state.h"

using namespace irr;

core::rect<s32> atScale(const core::rect<s32>& layout) {
    return core::rect<s32>(atScale(layout.UpperLeftCorner.X), atScale(layout.UpperLeftCorner.Y),
                           atScale(layout.LowerRightCorner.X), atScale(layout.LowerRightCorner.Y));
}

s32 atScale(s32 layout) {
    return layout * gameState.scale;
}
