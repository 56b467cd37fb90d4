#include "ui/skin.h"

#include "platform/translation.h"
#include "ui/button_art.h"
#include "ui/game_state.h"
#include "ui/layout.h"
#include "ui/texts.h"

using namespace irr;

namespace {

// From data/generate_assets.py: the menu panel, the lights and the lower
// lip of the button art, its outline, and the tiles' dark blue back.
const video::SColor PANEL(255, 240, 244, 250);
const video::SColor BUTTON_WHITE(255, 255, 255, 255);
const video::SColor BUTTON_LOW(255, 214, 224, 238);
const video::SColor BUTTON_LIP(255, 190, 203, 224);
const video::SColor BUTTON_OUTLINE(255, 84, 104, 140);
const video::SColor TILE_BACK(255, 36, 72, 140);
const video::SColor TILE_BACK_DEEP(255, 20, 40, 92);
const video::SColor CAPTION(255, 22, 22, 22);
const video::SColor GREYED(255, 130, 140, 160);

void paint(gui::IGUISkin* skin) {
    const struct {
        gui::EGUI_DEFAULT_COLOR which;
        video::SColor colour;
    } PALETTE[] = {
        {gui::EGDC_3D_DARK_SHADOW, BUTTON_OUTLINE},
        {gui::EGDC_3D_SHADOW, BUTTON_LIP},
        // The lower half of the button art: a button stands out from the
        // panel it is on.
        {gui::EGDC_3D_FACE, BUTTON_LOW},
        {gui::EGDC_3D_HIGH_LIGHT, BUTTON_WHITE},
        {gui::EGDC_3D_LIGHT, PANEL},
        {gui::EGDC_ACTIVE_BORDER, TILE_BACK},
        {gui::EGDC_ACTIVE_CAPTION, BUTTON_WHITE},
        {gui::EGDC_INACTIVE_BORDER, BUTTON_OUTLINE},
        {gui::EGDC_INACTIVE_CAPTION, BUTTON_LOW},
        {gui::EGDC_APP_WORKSPACE, PANEL},
        {gui::EGDC_BUTTON_TEXT, CAPTION},
        {gui::EGDC_GRAY_TEXT, GREYED},
        {gui::EGDC_HIGH_LIGHT, TILE_BACK},
        {gui::EGDC_HIGH_LIGHT_TEXT, BUTTON_WHITE},
        {gui::EGDC_TOOLTIP, TILE_BACK_DEEP},
        {gui::EGDC_TOOLTIP_BACKGROUND, PANEL},
        {gui::EGDC_SCROLLBAR, BUTTON_LOW},
        {gui::EGDC_WINDOW, BUTTON_WHITE},
        {gui::EGDC_WINDOW_SYMBOL, TILE_BACK_DEEP},
        {gui::EGDC_ICON, TILE_BACK_DEEP},
        {gui::EGDC_ICON_HIGH_LIGHT, TILE_BACK},
        {gui::EGDC_GRAY_WINDOW_SYMBOL, GREYED},
        {gui::EGDC_EDITABLE, BUTTON_WHITE},
        {gui::EGDC_GRAY_EDITABLE, BUTTON_LOW},
        {gui::EGDC_FOCUSED_EDITABLE, BUTTON_WHITE},
    };
    for (const auto& entry : PALETTE)
        skin->setColor(entry.which, entry.colour);
}

} // namespace

void dressSkin(gui::IGUIFont* font) {
    gui::IGUIEnvironment* gui = gameState.guiEnvironment;
    // The engine's classic skin draws flat, like the panel behind the
    // buttons; its sizes are taken over from the skin the engine starts
    // with, so that nothing moves.
    gui::IGUISkin* engineSkin = gui->getSkin();
    gui::IGUISkin* skin = createButtonArtSkin(gui->createSkin(gui::EGST_WINDOWS_CLASSIC));
    for (s32 size = 0; size < gui::EGDS_COUNT; ++size) {
        const gui::EGUI_DEFAULT_SIZE which = static_cast<gui::EGUI_DEFAULT_SIZE>(size);
        skin->setSize(which, engineSkin->getSize(which) * gameState.scale);
    }
    // A box's title bar is this plus 2 pixels high: the 2 at scale too.
    const s32 titleButton = engineSkin->getSize(gui::EGDS_WINDOW_BUTTON_WIDTH) + 2;
    skin->setSize(gui::EGDS_WINDOW_BUTTON_WIDTH, titleButton * gameState.scale - 2);
    // However long a box's text, the box stays within the window: its
    // title bar, margins and button take less than a fifth of it.
    skin->setSize(gui::EGDS_MESSAGE_BOX_MAX_TEXT_HEIGHT, LAYOUT_HEIGHT * 3 / 5 * gameState.scale);
    paint(skin);
    skin->setFont(font, gui::EGDF_DEFAULT);
    // The buttons of the engine's boxes in the player's language.
    const struct {
        gui::EGUI_DEFAULT_TEXT which;
        const char* text;
    } BOX_BUTTONS[] = {// TRANSLATORS: the buttons of the game's message boxes.
                       {gui::EGDT_MSG_BOX_OK, N_("OK")},
                       {gui::EGDT_MSG_BOX_CANCEL, N_("Cancel")},
                       {gui::EGDT_MSG_BOX_YES, N_("Yes")},
                       {gui::EGDT_MSG_BOX_NO, N_("No")}};
    gui->setSkin(skin);
    for (const auto& button : BOX_BUTTONS)
        skin->setDefaultText(button.which, onScreen(_(button.text)).c_str());
    skin->drop();
}

void addGameMessageBox(const std::string& caption, const std::string& text,
                       gui::EMESSAGE_BOX_FLAG flags, s32 id) {
    dressMessageBox(gameState.guiEnvironment->addMessageBox(
        onScreen(caption).c_str(), onScreen(text).c_str(), true, flags, nullptr, id, nullptr));
}

void dressMessageBox(gui::IGUIWindow* box) {
    if (box && box->getCloseButton())
        box->getCloseButton()->setVisible(false);
}

void dressTextOnBackground(gui::IGUIStaticText* text) {
    text->setOverrideColor(PANEL);
}
