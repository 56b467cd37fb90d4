// The screens around the game: the intro that fades the splash in, the
// main menu and the About screen. Each replaces whatever was on screen;
// the backgrounds themselves are painted by the frame loop.
#pragma once

#include <irrlicht.h>

// The intro gives way to the main menu on the first frame more than this
// many milliseconds of the engine's virtual time after `startTime`.
const irr::u32 INTRO_MS = 6000;

void startIntro();
void showMainMenu();
void showAboutScreen();
