#include "app/frame_loop.h"

#include "app/frame_pacing.h"
#include "platform/memory.h"
#include "platform/programs.h"
#include "platform/speech.h"
#include "ui/focus_ring.h"
#include "ui/game_state.h"
#include "ui/pictures.h"
#include "ui/screen_change.h"
#include "ui/screens.h"

using namespace irr;

namespace {

void drawBackground(video::ITexture* texture) {
    if (texture)
        gameState.videoDriver->draw2DImage(texture, core::position2d<s32>(0, 0));
}

// A picture at least the window's size paints every pixel of it.
bool coversWindow(video::ITexture* texture) {
    if (!texture)
        return false;
    const core::dimension2d<u32> picture = texture->getOriginalSize();
    const core::dimension2d<u32> window = gameState.videoDriver->getScreenSize();
    return picture.Width >= window.Width && picture.Height >= window.Height;
}

void drawFrame() {
    video::IVideoDriver* driver = gameState.videoDriver;
    // Clearing under a full-window picture would only cost another pass
    // over every pixel, a third of a fading frame's work.
    const bool covered =
        (gameState.menuBackgroundVisible && coversWindow(pictures.menuBackgroundTexture)) ||
        (gameState.splashVisible && coversWindow(pictures.splashTexture));
    driver->beginScene(!covered, true, video::SColor(255, 255, 255, 255));
    if (gameState.menuBackgroundVisible)
        drawBackground(pictures.menuBackgroundTexture);
    if (gameState.splashVisible) {
        drawBackground(pictures.splashTexture);
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
    static bool returned = false;
    if (returned || framePacing.splashAtFrameStart)
        return;
    returnFreedMemory();
    returned = true;
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
    // After the frame: drawing the focus ring may have moved the focus.
    serviceSpeech();
    return true;
}
