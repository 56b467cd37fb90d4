// The one record of everything the game knows: engine handles, which
// background the frame loop paints, the textures, the board and the
// counters of the game in play. Every part of the game reads and writes
// `gameState` directly.
#pragma once

#include <deque>
#include <irrlicht.h>
#include <string>
#include <vector>

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

// The intro gives way to the main menu on the first frame more than this
// many milliseconds of the engine's virtual time after `startTime`.
const irr::u32 INTRO_MS = 6000;

// The link to the desktop's speech service (app/linux/speech.h).
struct SpeechLink {
    bool on = false;
    // The connected socket, or -1: with speech on, a service lost is
    // connected to again by the next sentence.
    int socket = -1;
    // A service started by the game may take a while to listen.
    bool serviceStarting = false;
    unsigned startedAt = 0;
    // Commands not yet taken by the socket, from `sent` on.
    std::string outgoing;
    std::size_t sent = 0;
    // The service's answers, from the last line not read to its end.
    std::string incoming;
    // The priority last set on this connection; empty before any.
    std::string priority;
    // Where the service listens (a Unix socket's path).
    std::string address;
    // For each sentence sent whose number the service has not told yet,
    // in order: whether it must be heard whole.
    std::deque<bool> unnumbered;
    // The numbers of the sentences that must be heard whole and that the
    // service has not yet reported ended or cancelled; `lastingUntil` is
    // when they stop holding the others back in any case, should the
    // service never report.
    std::vector<std::string> lasting;
    unsigned lastingUntil = 0;
    // The lines of the service's event in progress so far: its first
    // names the sentence.
    int eventLines = 0;
    std::string eventSentence;
    // A missing service and a lost one are each reported once a run.
    bool failureReported = false;
    bool lossReported = false;
};

struct GameState {
    irr::IrrlichtDevice* device = nullptr;
    irr::video::IVideoDriver* videoDriver = nullptr;
    irr::gui::IGUIEnvironment* guiEnvironment = nullptr;
    irr::scene::ISceneManager* sceneManager = nullptr;

    // 1, or 2 on a desktop drawn at twice the detail: the window, every
    // rectangle of the layout (ui/layout.h), the engine's own sizes and
    // the set of pictures and font go with it. Chosen once at start-up.
    irr::s32 scale = 1;

    irr::u32 startTime = 0;
    bool menuBackgroundVisible = false;
    bool splashVisible = false;
    // What start-up freed has gone back to the system, once the first
    // frame after the intro was shown.
    bool startUpMemoryReturned = false;

    irr::video::ITexture* hiddenTexture = nullptr;
    irr::video::ITexture* menuBackgroundTexture = nullptr;
    irr::video::ITexture* splashTexture = nullptr;
    irr::video::ITexture* buttonFaceTexture = nullptr;
    irr::video::ITexture* faceTextures[20] = {};

    irr::gui::IGUIButton* tileButtons[20] = {};
    irr::s32 tileValues[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    irr::s32 clickCount = 0;
    irr::s32 revealedCount = 0;
    irr::s32 matchedPairs = 0;
    irr::s32 firstTile = 0;
    irr::s32 secondTile = 0;

    // The player's last press was a key, not a mouse button: the focused
    // button shows its ring.
    bool keyboardInUse = false;
    // Alt is down, as far as the keys seen say: the engine's key events
    // carry Shift and Control but not Alt. A mouse press forgets it, in
    // case Alt was let go in another window.
    bool altHeld = false;
    // Where the focus was when "Menu" last opened, by key or by mouse: a
    // tile's id, or -1 for the menu's own title (or nothing). Closing the
    // menu without a choice gives the focus back there.
    irr::s32 focusBeforeMenu = -1;
    // A tile click is being carried out: what it does to the focus on the
    // way is not spoken (ui/narration.h).
    bool tileClickUnderWay = false;

    // Elements taken off the screen while the engine may still be inside
    // one of them; released by the frame loop once `run` has returned.
    irr::core::array<irr::gui::IGUIElement*> retiredElements;

    // What the frame loop needs to decide when to draw (app/frame_pacing.cpp).
    FramePacing pacing;

    SpeechLink speech;
};

extern GameState gameState;
