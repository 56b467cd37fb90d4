#include "app/frame_loop.h"

#include "app/frame_pacing.h"
#include "app/game_state.h"
#include "app/linux/platform.h"
#include "ui/focus_ring.h"
#include "ui/screen_change.h"
#include "ui/screens.h"

using namespace irr;

namespace {

void drawBackground(video::ITexture* texture) {
    if (texture)
        gameState.videoDriver->draw2DImage(texture, core::position2d<s32>(0, 0));
}

void drawFrame() {
    video::IVideoDriver* driver = gameState.videoDriver;
    driver->beginScene(true, true, video::SColor(255, 255, 255, 255));
    if (gameState.menuBackgroundVisible)
        drawBackground(gameState.menuBackgroundTexture);
    if (gameState.splashVisible) {
        drawBackground(gameState.splashTexture);
        if (gameState.device->getTimer()->getTime() - gameState.startTime > INTRO_MS)
            showMainMenu();
    }
    gameState.sceneManager->drawAll();
    gameState.guiEnvironment->drawAll();
    drawFocusRing();
    driver->endScene();
}

// Start-up keeps large freed buffers for the next picture to reuse, and
// the intro's end frees the splash. With the first frame of the main menu
// on screen, none of that is needed any more.
void returnStartUpMemory() {
    if (gameState.startUpMemoryReturned || gameState.pacing.splashAtFrameStart)
        return;
    returnFreedMemory();
    gameState.startUpMemoryReturned = true;
}

} // namespace

bool runFrame() {
    if (!awaitChange())
        return false;
    // Events delivered by `run` are over: elements they removed may go.
    releaseClearedScreen();
    reapFinishedChildren();
    if (frameWanted()) {
        beginFrame();
        drawFrame();
        endFrame();
        returnStartUpMemory();
    }
    return true;
}
