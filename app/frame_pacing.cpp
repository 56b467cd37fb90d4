#include "app/frame_pacing.h"

#include "app/game_state.h"
#include "app/platform.h"

using namespace irr;

namespace {

const unsigned LIVELY_FRAME_MS = 16;
const unsigned RESTING_FRAME_MS = 200;
// Hover highlights and the fade of a pressed button play out in this time.
const unsigned LIVELY_AFTER_INPUT_MS = 1500;

void* xDisplay() {
    return gameState.videoDriver->getExposedVideoData().OpenGLLinux.X11Display;
}

} // namespace

void paceFrame() {
    if (gameState.videoDriver->getDriverType() == video::EDT_NULL)
        return;
    const unsigned now = millisecondTicks();
    const bool lively =
        gameState.splashVisible || now - gameState.lastInputTicks < LIVELY_AFTER_INPUT_MS;
    const unsigned period = lively ? LIVELY_FRAME_MS : RESTING_FRAME_MS;
    const unsigned spent = now - gameState.frameStartTicks;
    if (spent < period && waitForInput(xDisplay(), period - spent))
        gameState.lastInputTicks = millisecondTicks();
    gameState.frameStartTicks = millisecondTicks();
}
