#include "ui/button_art.h"

#include "ui/game_state.h"
#include "ui/pictures.h"

using namespace irr;
using namespace irr::gui;

namespace {

// The art's rounded ends, its bevel's corners included, lie within this
// share of its height from either side; between them every column is
// the same, so that part stretches without showing it.
const s32 END_PER_HEIGHT_NUMERATOR = 2;
const s32 END_PER_HEIGHT_DENOMINATOR = 5;

// Draws the part `source` of `face` stretched into `target`, within
// `clip`. The software renderer draws stretched pictures without
// clipping them, so the picture is cut to the clip here.
void drawPart(video::ITexture* face, core::rect<s32> target, core::rect<s32> source,
              const core::rect<s32>* clip) {
    if (clip) {
        core::rect<s32> shown = target;
        shown.clipAgainst(*clip);
        if (!shown.isValid() || shown.getArea() == 0)
            return;
        const s32 width = target.getWidth(), height = target.getHeight();
        const core::rect<s32> whole = source;
        source.UpperLeftCorner.X +=
            (shown.UpperLeftCorner.X - target.UpperLeftCorner.X) * whole.getWidth() / width;
        source.UpperLeftCorner.Y +=
            (shown.UpperLeftCorner.Y - target.UpperLeftCorner.Y) * whole.getHeight() / height;
        source.LowerRightCorner.X -=
            (target.LowerRightCorner.X - shown.LowerRightCorner.X) * whole.getWidth() / width;
        source.LowerRightCorner.Y -=
            (target.LowerRightCorner.Y - shown.LowerRightCorner.Y) * whole.getHeight() / height;
        target = shown;
    }
    gameState.videoDriver->draw2DImage(face, target, source, clip);
}

// Draws `face` into `where`: its ends at their own proportions, the part
// between them stretched across. False, with nothing drawn, when there
// is no picture, it has no size (the null driver's) or `where` is too
// narrow for the ends.
bool drawButtonArt(video::ITexture* face, const core::rect<s32>& where,
                   const core::rect<s32>* clip) {
    if (!face)
        return false;
    const s32 width = static_cast<s32>(face->getOriginalSize().Width);
    const s32 height = static_cast<s32>(face->getOriginalSize().Height);
    const s32 end = height * END_PER_HEIGHT_NUMERATOR / END_PER_HEIGHT_DENOMINATOR;
    if (height == 0 || width <= 2 * end || where.getHeight() <= 0)
        return false;
    const s32 shownEnd = end * where.getHeight() / height;
    if (where.getWidth() <= 2 * shownEnd)
        return false;
    const s32 left = where.UpperLeftCorner.X, top = where.UpperLeftCorner.Y;
    const s32 right = where.LowerRightCorner.X, bottom = where.LowerRightCorner.Y;
    drawPart(face, core::rect<s32>(left, top, left + shownEnd, bottom),
             core::rect<s32>(0, 0, end, height), clip);
    drawPart(face, core::rect<s32>(left + shownEnd, top, right - shownEnd, bottom),
             core::rect<s32>(end, 0, width - end, height), clip);
    drawPart(face, core::rect<s32>(right - shownEnd, top, right, bottom),
             core::rect<s32>(width - end, 0, width, height), clip);
    return true;
}

// The art was drawn for the menu panel, whose colour fills its corners:
// the buttons of the menu screens stand on that panel. Those with the art
// as their picture draw it again over their pane, in the same place.
bool wearsArt(IGUIElement* element) {
    return gameState.menuBackgroundVisible && element && element->getType() == EGUIET_BUTTON;
}

class ButtonArtSkin : public IGUISkin {
  public:
    explicit ButtonArtSkin(IGUISkin* engineSkin) : engine(engineSkin) {}
    ~ButtonArtSkin() override { engine->drop(); }

    void draw3DButtonPaneStandard(IGUIElement* element, const core::rect<s32>& rect,
                                  const core::rect<s32>* clip) override {
        if (!wearsArt(element) || !drawButtonArt(pictures.buttonFaceTexture, rect, clip))
            engine->draw3DButtonPaneStandard(element, rect, clip);
    }
    // Pressed, the art moves as a pressed button's picture does, over the
    // engine's pressed pane.
    void draw3DButtonPanePressed(IGUIElement* element, const core::rect<s32>& rect,
                                 const core::rect<s32>* clip) override {
        engine->draw3DButtonPanePressed(element, rect, clip);
        if (!wearsArt(element))
            return;
        core::rect<s32> moved = rect;
        moved += core::position2d<s32>(getSize(EGDS_BUTTON_PRESSED_IMAGE_OFFSET_X),
                                       getSize(EGDS_BUTTON_PRESSED_IMAGE_OFFSET_Y));
        drawButtonArt(pictures.buttonFaceTexture, moved, clip);
    }

    // The rest is the engine's skin's.
    video::SColor getColor(EGUI_DEFAULT_COLOR color) const override {
        return engine->getColor(color);
    }
    void setColor(EGUI_DEFAULT_COLOR which, video::SColor newColor) override {
        engine->setColor(which, newColor);
    }
    s32 getSize(EGUI_DEFAULT_SIZE size) const override { return engine->getSize(size); }
    const wchar_t* getDefaultText(EGUI_DEFAULT_TEXT text) const override {
        return engine->getDefaultText(text);
    }
    void setDefaultText(EGUI_DEFAULT_TEXT which, const wchar_t* newText) override {
        engine->setDefaultText(which, newText);
    }
    void setSize(EGUI_DEFAULT_SIZE which, s32 size) override { engine->setSize(which, size); }
    IGUIFont* getFont(EGUI_DEFAULT_FONT which) const override { return engine->getFont(which); }
    void setFont(IGUIFont* font, EGUI_DEFAULT_FONT which) override { engine->setFont(font, which); }
    IGUISpriteBank* getSpriteBank() const override { return engine->getSpriteBank(); }
    void setSpriteBank(IGUISpriteBank* bank) override { engine->setSpriteBank(bank); }
    u32 getIcon(EGUI_DEFAULT_ICON icon) const override { return engine->getIcon(icon); }
    void setIcon(EGUI_DEFAULT_ICON icon, u32 index) override { engine->setIcon(icon, index); }
    void draw3DSunkenPane(IGUIElement* element, video::SColor background, bool flat,
                          bool fillBackground, const core::rect<s32>& rect,
                          const core::rect<s32>* clip) override {
        engine->draw3DSunkenPane(element, background, flat, fillBackground, rect, clip);
    }
    core::rect<s32> draw3DWindowBackground(IGUIElement* element, bool drawTitleBar,
                                           video::SColor titleBarColor, const core::rect<s32>& rect,
                                           const core::rect<s32>* clip,
                                           core::rect<s32>* checkClientArea) override {
        return engine->draw3DWindowBackground(element, drawTitleBar, titleBarColor, rect, clip,
                                              checkClientArea);
    }
    void draw3DMenuPane(IGUIElement* element, const core::rect<s32>& rect,
                        const core::rect<s32>* clip) override {
        engine->draw3DMenuPane(element, rect, clip);
    }
    void draw3DToolBar(IGUIElement* element, const core::rect<s32>& rect,
                       const core::rect<s32>* clip) override {
        engine->draw3DToolBar(element, rect, clip);
    }
    void draw3DTabButton(IGUIElement* element, bool active, const core::rect<s32>& rect,
                         const core::rect<s32>* clip, EGUI_ALIGNMENT alignment) override {
        engine->draw3DTabButton(element, active, rect, clip, alignment);
    }
    void draw3DTabBody(IGUIElement* element, bool border, bool background,
                       const core::rect<s32>& rect, const core::rect<s32>* clip, s32 tabHeight,
                       EGUI_ALIGNMENT alignment) override {
        engine->draw3DTabBody(element, border, background, rect, clip, tabHeight, alignment);
    }
    void drawIcon(IGUIElement* element, EGUI_DEFAULT_ICON icon, const core::position2di position,
                  u32 startTime, u32 currentTime, bool loop, const core::rect<s32>* clip) override {
        engine->drawIcon(element, icon, position, startTime, currentTime, loop, clip);
    }
    void draw2DRectangle(IGUIElement* element, const video::SColor& color,
                         const core::rect<s32>& position, const core::rect<s32>* clip) override {
        engine->draw2DRectangle(element, color, position, clip);
    }
    EGUI_SKIN_TYPE getType() const override { return engine->getType(); }

  private:
    IGUISkin* engine;
};

} // namespace

IGUISkin* createButtonArtSkin(IGUISkin* engineSkin) {
    return new ButtonArtSkin(engineSkin);
}
