// The game's options, read the GNU way: --help and --version answer on
// standard output without opening a window, --software picks the
// engine's software renderer, anything else is refused with exit code 2.
#pragma once

#include <irrlicht.h>

// Reads `argv`. True when the game should start, with `driverType` set;
// false when the command line has been answered or refused, with
// `exitCode` set.
bool readCommandLine(int argc, char** argv, irr::video::E_DRIVER_TYPE& driverType, int& exitCode);
