#include "ui/screens.h"

#include "platform/translation.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/layout.h"
#include "ui/narration.h"
#include "ui/pictures.h"
#include "ui/screen_change.h"
#include "ui/skin.h"
#include "ui/texts.h"

using namespace irr;

namespace {

const u32 INTRO_FADE_MS = 4000;

// Tab visits a screen's buttons from the top down, whatever order they
// were added in.
enum { FIRST_IN_TAB_ORDER, SECOND_IN_TAB_ORDER };

void addMenuButton(const core::rect<s32>& where, s32 id, const char* text, const char* toolTip,
                   s32 tabOrder) {
    const core::rect<s32> place = atScale(where);
    gui::IGUIButton* button = gameState.guiEnvironment->addButton(
        place, nullptr, id, fittingText(text, place.getWidth()).c_str(),
        onScreen(_(toolTip)).c_str());
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
    // TRANSLATORS: the main menu's buttons, and their tool-tips: a caption
    // holds about 18 letters.
    addMenuButton(core::rect<s32>(300, 300, 500, 350), ID_START_GAME, N_("Start Game"),
                  N_("Start Game"), FIRST_IN_TAB_ORDER);
    addMenuButton(core::rect<s32>(300, 400, 500, 450), ID_ABOUT, N_("About"), N_("About"),
                  SECOND_IN_TAB_ORDER);
    // TRANSLATORS: said as the main menu appears: its two buttons.
    sayScreen(formatText(_("Main menu: %s, %s."), {_("Start Game"), _("About")}));
}

void showAboutScreen() {
    clearScreen();
    // TRANSLATORS: the About screen's way back to the main menu, and its tool-tip.
    addMenuButton(core::rect<s32>(300, 400, 500, 450), ID_BACK, N_("Back"), N_("Back"),
                  SECOND_IN_TAB_ORDER);
    const core::rect<s32> credit = atScale(core::rect<s32>(300, 200, 600, 300));
    dressTextOnBackground(gameState.guiEnvironment->addStaticText(
        // TRANSLATORS: the About screen's credit line ("Developed by"); it
        // wraps over up to four lines of about 26 letters.
        fittingText(N_("Devolped By Tesmor Pell"), credit.getWidth(), credit.getHeight()).c_str(),
        credit, false, true, nullptr, ID_NONE, false));
    const core::rect<s32> place = atScale(core::rect<s32>(250, 300, 550, 350));
    gui::IGUIButton* website = gameState.guiEnvironment->addButton(
        place, nullptr, ID_WEBSITE,
        // TRANSLATORS: a button that opens the maker's website: about 28 letters.
        fittingText(N_("Visit my website for more games"), place.getWidth()).c_str(),
        onScreen(_("open web browser")).c_str());
    website->setTabOrder(FIRST_IN_TAB_ORDER);
    // TRANSLATORS: said as the About screen appears, with its credit line.
    sayScreen(formatText(_("About: %s."), {_("Devolped By Tesmor Pell")}));
}
