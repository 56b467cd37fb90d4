// The screens around the game: the intro that fades the splash in, the
// main menu and the About screen. Each replaces whatever was on screen;
// the backgrounds themselves are painted by the frame loop.
#pragma once

void startIntro();
void showMainMenu();
void showAboutScreen();
