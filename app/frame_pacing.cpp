#include "app/frame_pacing.h"

#include "platform/clock.h"
#include "platform/x_window.h"
#include "ui/game_state.h"
#include "ui/screens.h"

using namespace irr;

// The moments below were read from this version's source; another may
// launch tool-tips, flash boxes or fade on other times.
#if IRRLICHT_VERSION_MAJOR != 1 || IRRLICHT_VERSION_MINOR != 8 || IRRLICHT_VERSION_REVISION != 5
#error "Frame pacing mirrors Irrlicht 1.8.5: re-read CGUIEnvironment::OnPostRender (tool-tips), \
CGUIModalScreen::draw (the flash) and CGUIInOutFader::draw for the new version, update the \
times in app/frame_pacing.cpp, then this check."
#endif

FramePacing framePacing;

namespace {

// About 60 frames a second: the rate of animation, and the most the loop
// draws however fast input comes.
const u32 FRAME_MS = 16;

// What the engine's GUI (Irrlicht 1.8.5) changes by itself, and when:
// - CGUIEnvironment::OnPostRender, the end of every frame, adds a
//   tool-tip for the element under the pointer once the pointer entered
//   it TOOLTIP_LAUNCH_MS ago, or at once while the last tool-tip showed
//   between TOOLTIP_RELAUNCH_MS and TOOLTIP_LAUNCH_MS ago. It drops one
//   whose element has been hidden or removed.
const u32 TOOLTIP_LAUNCH_MS = 1000;
const u32 TOOLTIP_RELAUNCH_MS = 500;
// - CGUIModalScreen flashes the outline of a modal message box, on and
//   off every 70 ms, for this long after a click beside it or a change of
//   focus, both of which only input brings.
const u32 MODAL_FLASH_MS = 300;
// - CGUIInOutFader draws a new shade every frame until its time is up.
// Everything else on the game's screens changes only on input: buttons
// (pressed while the mouse button is down), menus, texts and windows.
// Their sprites could be animated, but the skin's icons have one frame
// each and the buttons have none.

// Whether virtual time `a` comes before `b`, across the clock's wrap.
bool before(u32 a, u32 b) {
    return static_cast<s32>(a - b) < 0;
}

// The earliest of the times considered.
struct Earliest {
    bool due = false;
    u32 at = 0;
    void consider(u32 time) {
        if (!due || before(time, at))
            at = time;
        due = true;
    }
};

bool isNullDriver() {
    return gameState.videoDriver->getDriverType() == video::EDT_NULL;
}

gui::IGUIElement* root() {
    return gameState.guiEnvironment->getRootGUIElement();
}

bool toolTipShown() {
    // The engine adds it to the root as a sub-element static text; the
    // game adds no such thing.
    for (gui::IGUIElement* child : root()->getChildren())
        if (child->isSubElement() && child->getType() == gui::EGUIET_STATIC_TEXT)
            return true;
    return false;
}

bool faderFading() {
    for (gui::IGUIElement* child : root()->getChildren())
        if (child->getType() == gui::EGUIET_IN_OUT_FADER && child->isVisible() &&
            !static_cast<gui::IGUIInOutFader*>(child)->isReady())
            return true;
    return false;
}

bool modalBoxShown() {
    for (gui::IGUIElement* child : root()->getChildren())
        if (child->getType() == gui::EGUIET_MODAL_SCREEN && child->isVisible())
            return true;
    return false;
}

// The element under the pointer as the engine's tool-tips see it: a part
// of an element (a box's button, say) stands for the element.
const gui::IGUIElement* hoveredElement() {
    gui::IGUIElement* hovered = gameState.guiEnvironment->getHovered();
    while (hovered && hovered->isSubElement())
        hovered = hovered->getParent();
    return hovered;
}

// The hovered element if the engine would give it a tool-tip.
const gui::IGUIElement* toolTipTarget() {
    const gui::IGUIElement* hovered = hoveredElement();
    gui::IGUISkin* skin = gameState.guiEnvironment->getSkin();
    if (!hovered || hovered == root() || hovered->getToolTipText().empty() || !skin ||
        !skin->getFont(gui::EGDF_TOOLTIP))
        return nullptr;
    return hovered;
}

// The engine's own test, as far as its times are known here.
bool toolTipLaunchesAt(u32 time) {
    const FramePacing& p = framePacing;
    if (before(time, p.hoveredSince))
        return false;
    const u32 sinceLast = time - p.lastToolTip;
    return time - p.hoveredSince >= TOOLTIP_LAUNCH_MS ||
           (sinceLast >= TOOLTIP_RELAUNCH_MS && sinceLast < TOOLTIP_LAUNCH_MS);
}

// Runs the engine's end-of-frame step, which launches or drops a
// tool-tip, at `time`, and follows its tool-tip times.
void postRender(u32 time) {
    const bool shownBefore = toolTipShown();
    const gui::IGUIElement* target = toolTipTarget();
    const bool launches = !shownBefore && target && toolTipLaunchesAt(time);
    root()->OnPostRender(time);
    // A tool-tip launched for an element that is hidden or gone is dropped
    // in the same step; the engine still counts it as shown.
    if (shownBefore || toolTipShown() ||
        (launches && !(target->isVisible() && target->getParent())))
        framePacing.lastToolTip = time;
}

void noteTick() {
    ITimer* timer = gameState.device->getTimer();
    framePacing.tickTime = timer->getTime();
    framePacing.tickRealTime = timer->getRealTime();
}

// The engine's virtual time if its clock ticked now. The clock runs on
// the real time it reports, in whole milliseconds.
u32 virtualNow() {
    const FramePacing& p = framePacing;
    return p.tickTime + (gameState.device->getTimer()->getRealTime() - p.tickRealTime);
}

void considerToolTip(Earliest& next) {
    const FramePacing& p = framePacing;
    if (toolTipShown() || !toolTipTarget())
        return;
    const u32 from = p.lastFrame + FRAME_MS;
    if (toolTipLaunchesAt(from)) {
        // Due at the next frame. If it was due at the last frame already
        // and did not come, the pointer left and came back within one
        // delivery of events, unseen from here; the engine then launches
        // it TOOLTIP_LAUNCH_MS after those events at the latest, and the
        // loop looks for it every frame until then.
        const bool missed = !before(p.lastFrame, p.hoveredSince) && toolTipLaunchesAt(p.lastFrame);
        if (!missed || before(p.lastFrame, p.lastEvents + TOOLTIP_LAUNCH_MS))
            next.consider(from);
        return;
    }
    next.consider(p.hoveredSince + TOOLTIP_LAUNCH_MS);
    if (before(from, p.lastToolTip + TOOLTIP_RELAUNCH_MS))
        next.consider(p.lastToolTip + TOOLTIP_RELAUNCH_MS);
}

// Sleeps until the X server has sent something (true) or the next change
// is due (false).
bool waitForEvents() {
    const FramePacing& p = framePacing;
    u32 due = 0;
    int timeout = -1;
    if (nextChangeDue(due)) {
        const s32 left = static_cast<s32>(due - virtualNow());
        timeout = left > 0 ? left : 0;
    }
    void* display = gameState.videoDriver->getExposedVideoData().OpenGLLinux.X11Display;
    if (!display)
        display = engineXConnection();
    if (!display) {
        // Nothing would tell when input comes: look for it every frame.
        const int blind = static_cast<int>(FRAME_MS);
        sleepMilliseconds(timeout >= 0 && timeout < blind ? timeout : blind);
        return true;
    }
    if (!waitForXEvents(display, timeout))
        return false;
    // Frames keep their time however fast input comes, or a moving pointer
    // would drive the loop far faster than the screen can change.
    const s32 early = static_cast<s32>(p.lastFrame + FRAME_MS - virtualNow());
    if (early > 0)
        sleepMilliseconds(static_cast<unsigned>(early));
    return true;
}

} // namespace

bool awaitChange() {
    FramePacing& p = framePacing;
    ITimer* timer = gameState.device->getTimer();
    p.eventsDelivered = false;
    // The null driver's clock moves only when a test moves it: nothing to
    // sleep for.
    if (p.drawnOnce && !(isNullDriver() ? p.inputPosted : waitForEvents())) {
        timer->tick();
        noteTick();
        return true;
    }
    // A running loop would have ended frames while this tool-tip showed,
    // each marking it as shown; the one after the tool-tip depends on when
    // it went, which may be now.
    if (toolTipShown()) {
        timer->tick();
        postRender(timer->getTime());
    }
    // The engine takes every event queued, those that came meanwhile too;
    // it is called only when some are, so none goes without a frame. Each
    // may change the picture: input through the GUI, a resize through the
    // driver, and Expose, which the engine ignores, or a map after the
    // window was minimised ask for the window's contents again.
    const bool running = gameState.device->run();
    noteTick();
    p.eventsDelivered = true;
    p.lastEvents = p.tickTime;
    const gui::IGUIElement* hovered = hoveredElement();
    if (hovered != p.hovered) {
        p.hovered = hovered;
        p.hoveredSince = p.tickTime;
    }
    return running;
}

bool frameWanted() {
    const FramePacing& p = framePacing;
    if (p.eventsDelivered || !p.drawnOnce)
        return true;
    u32 due = 0;
    return nextChangeDue(due) && !before(p.tickTime, due);
}

void beginFrame() {
    FramePacing& p = framePacing;
    // A tool-tip due now shows in this frame rather than the next.
    postRender(gameState.device->getTimer()->getTime());
    p.splashAtFrameStart = gameState.splashVisible;
    p.toolTipAtFrameStart = toolTipShown();
}

void endFrame() {
    FramePacing& p = framePacing;
    const u32 now = gameState.device->getTimer()->getTime();
    const bool toolTip = toolTipShown();
    // The intro gave way while the splash was drawn, or the engine's own
    // end of the frame launched or dropped a tool-tip: what this frame
    // shows is stale already.
    p.redrawSoon =
        gameState.splashVisible != p.splashAtFrameStart || toolTip != p.toolTipAtFrameStart;
    if (toolTip || p.toolTipAtFrameStart)
        p.lastToolTip = now;
    p.fadingAtLastFrame = faderFading();
    p.lastFrame = now;
    p.drawnOnce = true;
    ++p.framesDrawn;
}

bool nextChangeDue(u32& at) {
    const FramePacing& p = framePacing;
    Earliest next;
    if (!p.drawnOnce)
        next.consider(p.tickTime);
    if (p.redrawSoon || p.fadingAtLastFrame)
        next.consider(p.lastFrame + FRAME_MS);
    if (gameState.splashVisible)
        next.consider(gameState.startTime + INTRO_MS + 1);
    if (modalBoxShown() && before(p.lastFrame, p.lastEvents + MODAL_FLASH_MS)) {
        next.consider(p.lastFrame + FRAME_MS);
        next.consider(p.lastEvents + MODAL_FLASH_MS);
    }
    considerToolTip(next);
    at = next.at;
    return next.due;
}
