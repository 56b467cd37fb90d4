// Decides when the frame loop draws, so that a still picture costs
// nothing. A frame follows whatever the X server sends (pointer motion, a
// click, a key, the window exposed, mapped or resized) and each moment at
// which the engine changes the picture by itself; in between, the loop
// sleeps on the X connection. On the null driver, which tests step by
// hand, nothing waits, and a pass counts as one in which input came
// unless `framePacing.inputPosted` says otherwise.
#pragma once

#include <irrlicht.h>

// Times are the engine's virtual milliseconds, the clock its GUI runs on.
struct FramePacing {
    bool drawnOnce = false;
    irr::u32 framesDrawn = 0;
    // On the null driver no X connection tells whether input came: whoever
    // steps the loop by hand says so here, and a pass without it runs the
    // same decisions as a quiet pass on a real window.
    bool inputPosted = true;
    // This pass let the engine deliver what the X server sent.
    bool eventsDelivered = false;
    // The last frame changed what it showed while it was being drawn.
    bool redrawSoon = false;
    bool splashAtFrameStart = false;
    bool toolTipAtFrameStart = false;
    // A fader was still fading at the last frame.
    bool fadingAtLastFrame = false;
    irr::u32 lastFrame = 0;
    irr::u32 lastEvents = 0;
    // The engine's clock at its last tick, and the real time then.
    irr::u32 tickTime = 0;
    irr::u32 tickRealTime = 0;
    // The engine's tool-tip timing, followed from outside: the element the
    // pointer is over (only compared, it may be gone), since when, and when
    // a tool-tip last showed at the end of a frame.
    const irr::gui::IGUIElement* hovered = nullptr;
    irr::u32 hoveredSince = 0;
    irr::u32 lastToolTip = 0;
};

extern FramePacing framePacing;

// Sleeps until the X server has sent something or a change is due, then
// lets the engine deliver what came, or only moves its clock on when
// nothing did. False once the device has stopped.
bool awaitChange();

// Whether this pass draws a frame.
bool frameWanted();

// Called around the drawing of a frame.
void beginFrame();
void endFrame();

// The engine's virtual time at which the picture next changes by itself;
// false when nothing will before input comes.
bool nextChangeDue(irr::u32& at);
