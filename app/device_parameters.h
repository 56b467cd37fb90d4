// The device the game asks the engine for: its window's size (800x500
// times the scale), colour depth, stencil and vsync, and no engine log. The benchmark's floor
// program asks for the very same, so the two are measured alike.
#pragma once

#include "app/display_scale.h"

#include <irrlicht.h>

inline irr::SIrrlichtCreationParameters deviceParameters(irr::video::E_DRIVER_TYPE driverType,
                                                         int scale) {
    irr::SIrrlichtCreationParameters parameters;
    parameters.DriverType = driverType;
    parameters.WindowSize =
        irr::core::dimension2d<irr::u32>(LAYOUT_WIDTH * scale, LAYOUT_HEIGHT * scale);
    parameters.Bits = 32;
    parameters.Fullscreen = false;
    parameters.Stencilbuffer = true;
    parameters.Vsync = true;
    parameters.EventReceiver = nullptr;
    // The engine would otherwise log to standard output, which carries
    // nothing but the deal trace.
    parameters.LoggingLevel = irr::ELL_NONE;
    return parameters;
}
