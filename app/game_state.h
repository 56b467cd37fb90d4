// The one record of everything the game knows: engine handles, which
// background the frame loop paints, the textures, the board and the
// counters of the game in play. Every part of the game reads and writes
// `gameState` directly.
#pragma once

#include <irrlicht.h>

struct GameState {
    irr::IrrlichtDevice* device = nullptr;
    irr::video::IVideoDriver* videoDriver = nullptr;
    irr::gui::IGUIEnvironment* guiEnvironment = nullptr;
    irr::scene::ISceneManager* sceneManager = nullptr;

    irr::u32 startTime = 0;
    bool menuBackgroundVisible = false;
    bool splashVisible = false;

    irr::video::ITexture* hiddenTexture = nullptr;
    irr::video::ITexture* menuBackgroundTexture = nullptr;
    irr::video::ITexture* splashTexture = nullptr;
    irr::video::ITexture* buttonFaceTexture = nullptr;
    irr::video::ITexture* faceTextures[20] = {};

    irr::gui::IGUIButton* tileButtons[20] = {};
    irr::s32 tileValues[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    irr::s32 clickCount = 0;
    irr::s32 revealedCount = 0;
    irr::s32 matchedPairs = 0;
    irr::s32 firstTile = 0;
    irr::s32 secondTile = 0;

    // The player's last press was a key, not a mouse button: the focused
    // button shows its ring.
    bool keyboardInUse = false;

    // Elements taken off the screen while the engine may still be inside
    // one of them; released by the frame loop once `run` has returned.
    irr::core::array<irr::gui::IGUIElement*> retiredElements;

    // Frame pacing, in the platform's millisecond ticks.
    unsigned frameStartTicks = 0;
    unsigned lastInputTicks = 0;
};

extern GameState gameState;
