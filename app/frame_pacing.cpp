#include "app/frame_pacing.h"

#include "app/game_state.h"
#include "app/platform.h"

using namespace irr;

namespace {

const unsigned LIVELY_FRAME_MS = 16;
const unsigned RESTING_FRAME_MS = 200;
// Hover highlights, the fade of a pressed button and a tool-tip, which
// shows a second after the pointer stops, play out in this time.
const unsigned LIVELY_AFTER_INPUT_MS = 1500;

// Null where the driver keeps it to itself, as the software renderer does.
void* xDisplay() {
    return gameState.videoDriver->getExposedVideoData().OpenGLLinux.X11Display;
}

} // namespace

void paceFrame() {
    // Tests step frames on the null driver and must never wait.
    if (gameState.videoDriver->getDriverType() == video::EDT_NULL)
        return;
    const unsigned now = millisecondTicks();
    const bool lively =
        gameState.splashVisible || now - gameState.lastInputTicks < LIVELY_AFTER_INPUT_MS;
    const unsigned period = lively ? LIVELY_FRAME_MS : RESTING_FRAME_MS;
    const unsigned spent = now - gameState.frameStartTicks;
    const unsigned left = spent < period ? period - spent : 0;
    if (waitForInput(xDisplay(), left)) {
        gameState.lastInputTicks = millisecondTicks();
        // At rest, input ends the wait: the click is answered at once. At
        // full rate the frame keeps its time, or a stream of pointer
        // motion would drive the loop far faster than the screen changes.
        if (lively) {
            const unsigned waited = gameState.lastInputTicks - now;
            sleepMilliseconds(waited < left ? left - waited : 0);
        }
    }
    gameState.frameStartTicks = millisecondTicks();
}
