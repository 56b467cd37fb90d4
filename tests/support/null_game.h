// The shipped game started on the engine's null driver: a full GUI, file
// system and timer without a display. Input is posted as mouse events at
// window coordinates, so the engine's own hit-testing decides what a
// click reaches, as it would for a player; keys are posted the same way
// and meet the engine's own focus handling.
#pragma once

#include "app/startup.h"
#include "ui/board.h"
#include "ui/event_receiver.h"
#include "ui/game_state.h"
#include "ui/pictures.h"
#include "ui/screens.h"

#include <irrlicht.h>
#include <map>
#include <set>
#include <string>
#include <vector>

class NullGame {
  public:
    // Starts the game in the current working directory with the virtual
    // clock stopped, so only `setTime` moves it, at `scale` (or at 1 when
    // the pictures of that scale are not all there).
    explicit NullGame(int scale = 1);
    ~NullGame();
    NullGame(const NullGame&) = delete;
    NullGame& operator=(const NullGame&) = delete;

    bool frame();
    // A pass of the loop in which the X server sent nothing, deciding as
    // the shipped loop does on a real window; true when it drew a frame.
    bool quietFrame();
    void setTime(irr::u32 ms);
    // Moves past the intro onto the main menu.
    void skipIntro();

    // Moves the pointer without a frame.
    void move(irr::s32 x, irr::s32 y);
    void click(irr::s32 x, irr::s32 y);
    void click(irr::gui::IGUIElement* element);
    void clickId(irr::s32 id);
    // Opens "Menu" on the menu bar and points at the entry `index` (0
    // "New Game", 1 "Exit"); `chooseMenu` then picks it.
    void pointAtMenu(int index);
    void chooseMenu(int index);
    // Presses the answer button of an open message box.
    void dismissBox(irr::s32 boxId);
    void startGame();
    // Presses and releases a key, as the X device reports it, then draws
    // a frame.
    void pressKey(irr::EKEY_CODE key, bool control = false, bool shift = false);
    // Alt+`key` as the X device reports it, whose key events carry no Alt:
    // Alt down, the key down and up, Alt up; then a frame.
    void pressWithAlt(irr::EKEY_CODE key);

    AppContext context;
    MyEventReceiver receiver{context};

  private:
    irr::core::position2d<irr::s32> pointer;
};

// What the game last asked of the engine's `createDeviceEx`, which every
// device of this program goes through on its way to the engine.
extern irr::SIrrlichtCreationParameters lastDeviceParameters;
// When not 0, the next PNG picture decoded moves the game's virtual clock
// on by this many milliseconds (and sets this back to 0), as loading would
// if frames ran meanwhile: the clock stands still between frames.
extern irr::u32 clockStepWhileLoading;

// Packs every file of data/assets.txt into "tesmor.dat" in the working
// directory with libzip, pictures stored and descriptions deflated, every
// checksum valid; `replaced` maps a name to the bytes it holds instead,
// and the names in `leftOut` are left out.
void writeAssetArchive(const std::map<std::string, std::string>& replaced = {},
                       const std::set<std::string>& leftOut = {});
// The text of the box that reports the data files, empty without one.
std::string fileReportText();

// The tile in `column` and `row` of the board, counted from the top left.
constexpr int tileAt(int column, int row) {
    return column * BOARD_ROWS + row;
}

// The other tile of `tile`'s pair in the deal in play.
int partnerOf(int tile);
// Clicks both tiles of every pair still on the board, in board order:
// the shortest way to the win.
void playEveryPair(NullGame& game);
// The files of data/assets.txt the game shows, the window's icons left out.
std::vector<std::string> shownAssetNames();

irr::gui::IGUIElement* findId(irr::s32 id);
int countId(irr::s32 id);
// The top-level elements currently on screen, the engine's tool-tip left out.
int screenElementCount();
// The text of the tool-tip the engine shows, empty when it shows none.
std::string toolTipText();
// The buttons of a message box that answer it; the title bar's close
// button carries no text and is left out.
std::vector<irr::gui::IGUIElement*> answerButtons(irr::gui::IGUIElement* box);
irr::gui::IGUIStaticText* messageText(irr::gui::IGUIElement* box);
irr::gui::IGUIContextMenu* menuBar();
// The element the engine's keys act on.
irr::gui::IGUIElement* focused();
// A GUI event as the engine raises it, for handing to the receiver.
// A key as the X device reports it, for the receiver or the engine.
irr::SEvent keyEvent(irr::EKEY_CODE key, bool down, bool control = false, bool shift = false);
irr::SEvent guiEvent(irr::gui::IGUIElement* caller, irr::gui::EGUI_EVENT_TYPE type);
// The receiver's answer to a click of the button `id`.
bool buttonClicked(NullGame& game, irr::s32 id);
// Counters reset, the menu bar and 20 face-down tiles, all in play.
void expectFreshBoard();
irr::video::ITexture* buttonImage(irr::gui::IGUIButton* button);
// The name the picture of a font made from an XML description has in the
// driver's cache.
std::string fontPictureName(irr::gui::IGUIFont* font);
std::string narrow(const wchar_t* text);

// Runs `body` while file descriptor 1 (or 2) goes to a file; returns what
// was written.
template <typename Body> std::string captureStdout(Body body);
template <typename Body> std::string captureStderr(Body body);
std::string readFile(const std::string& path);

// A fresh empty directory that becomes the working directory for its
// lifetime.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& path() const { return dir; }
    // Copies the loose assets of the source tree here, both sets and the
    // window's icons.
    void addLooseAssets() const;
    void copyIn(const std::string& from, const std::string& name) const;

  private:
    std::string dir;
    std::string previous;
};

#include "support/capture.inl"
