// The game's options, read the GNU way: --help and --version answer on
// standard output without opening a window, --software picks the
// engine's software renderer, --scale 1 or 2 overrides the desktop's
// scale, --speech turns speech on, anything else is refused with exit
// code 2.
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
