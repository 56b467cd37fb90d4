#include "ui/screens.h"

#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/layout.h"
#include "ui/narration.h"
#include "ui/pictures.h"
#include "ui/screen_change.h"
#include "ui/skin.h"

using namespace irr;

namespace {

const u32 INTRO_FADE_MS = 4000;

// Tab visits a screen's buttons from the top down, whatever order they
// were added in.
enum { FIRST_IN_TAB_ORDER, SECOND_IN_TAB_ORDER };

void addMenuButton(const core::rect<s32>& where, s32 id, const wchar_t* text,
                   const wchar_t* toolTip, s32 tabOrder) {
    gui::IGUIButton* button =
        gameState.guiEnvironment->addButton(atScale(where), nullptr, id, text, toolTip);
    button->setImage(pictures.buttonFaceTexture);
    button->setTabOrder(tabOrder);
}

// The splash shows only during the intro. Its texture holds two copies of
// a full-window picture, the engine's and the renderer's; the frame that
// ended the intro has drawn it for the last time.
void dropSplash() {
    if (!pictures.splashTexture)
        return;
    gameState.videoDriver->removeTexture(pictures.splashTexture);
    pictures.splashTexture = nullptr;
}

} // namespace

void startIntro() {
    // Not a screen change: a missing-archive box must stay above the splash.
    gameState.splashVisible = true;
    gui::IGUIInOutFader* fader = gameState.guiEnvironment->addInOutFader(nullptr, nullptr, ID_NONE);
    fader->setColor(video::SColor(0, 0, 0, 0));
    fader->fadeIn(INTRO_FADE_MS);
    // The fader covers the whole window and would take every click meant
    // for that box; behind it, the box stays readable and answerable.
    gameState.guiEnvironment->getRootGUIElement()->sendToBack(fader);
}

void showMainMenu() {
    clearScreen();
    gameState.splashVisible = false;
    dropSplash();
    gameState.menuBackgroundVisible = true;
    addMenuButton(core::rect<s32>(300, 300, 500, 350), ID_START_GAME, L"Start Game", L"Start Game",
                  FIRST_IN_TAB_ORDER);
    addMenuButton(core::rect<s32>(300, 400, 500, 450), ID_ABOUT, L"About", L"About",
                  SECOND_IN_TAB_ORDER);
    sayScreen("Main menu: Start Game, About.");
}

void showAboutScreen() {
    clearScreen();
    addMenuButton(core::rect<s32>(300, 400, 500, 450), ID_BACK, L"Back", L"Back",
                  SECOND_IN_TAB_ORDER);
    dressTextOnBackground(gameState.guiEnvironment->addStaticText(
        L"Devolped By Tesmor Pell", atScale(core::rect<s32>(300, 200, 600, 300)), false, true,
        nullptr, ID_NONE, false));
    gui::IGUIButton* website = gameState.guiEnvironment->addButton(
        atScale(core::rect<s32>(250, 300, 550, 350)), nullptr, ID_WEBSITE,
        L"Visit my website for more games", L"open web browser");
    website->setTabOrder(FIRST_IN_TAB_ORDER);
    sayScreen("About: Devolped By Tesmor Pell.");
}
