// Mounting the data archive and loading the font and every picture the
// game shows into `gameState`. A missing or damaged archive is reported
// in a box and the loose files in the working directory serve instead.
#pragma once

// Everything but the menu background, which the intro does not show.
void loadAssets();

// The menu background, loaded when the main menu first shows, so the
// intro's first frame comes sooner.
void loadMenuBackground();

// Lets go of the splash once the intro is over; it never shows again.
void releaseSplash();
