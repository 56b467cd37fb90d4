// The game's options, read the GNU way: --help and --version answer on
// standard output without opening a window, --software picks the
// engine's software renderer, --scale 1 or 2 overrides the desktop's
// scale, --speech turns speech on, --language LL the player's language,
// anything else is refused with exit code 2. Every text is written in the
// player's language.
#pragma once

#include <irrlicht.h>

struct Options {
    irr::video::E_DRIVER_TYPE driverType = irr::video::EDT_OPENGL;
    // 1 or 2 from --scale; 0 when the desktop decides.
    int scale = 0;
    bool speech = false;
};

// Reads `argv`. True when the game should start, with `options` set;
// false when the command line has been answered or refused, with
// `exitCode` set.
bool readCommandLine(int argc, char** argv, Options& options, int& exitCode);

// --language's value wherever it stands on the command line, or null: the
// language is chosen before the command line is read, so that even its
// answers and complaints come in that language.
const char* languageOption(int argc, char** argv);
