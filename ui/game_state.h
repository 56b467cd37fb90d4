// The engine's handles every screen works with, the scale they are drawn
// at, and which background the frame loop paints: the record the shell
// fills at start-up and the screens read and set. What else the game
// knows lives with its own concern: the match and the board's buttons in
// ui/board.h, the pictures in ui/pictures.h, keyboard play's flags in
// ui/keyboard.cpp, the frame pacing in app/frame_pacing.h and the speech
// link in platform/speech.h.
#pragma once

#include <irrlicht.h>

struct GameState {
    irr::IrrlichtDevice* device = nullptr;
    irr::video::IVideoDriver* videoDriver = nullptr;
    irr::gui::IGUIEnvironment* guiEnvironment = nullptr;
    irr::scene::ISceneManager* sceneManager = nullptr;

    // 1, or 2 on a desktop drawn at twice the detail: the window, every
    // rectangle of the layout (ui/layout.h), the engine's own sizes and
    // the set of pictures and font go with it. Chosen once at start-up.
    irr::s32 scale = 1;

    // The engine's virtual time when the game started: the intro ends
    // INTRO_MS after it (ui/screens.h).
    irr::u32 startTime = 0;
    bool menuBackgroundVisible = false;
    bool splashVisible = false;
};

extern GameState gameState;
