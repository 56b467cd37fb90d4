// The game's only event receiver. It listens to button clicks and menu
// choices and routes them by the id of the control that raised them:
// menu buttons change screens, the menu bar starts a game or quits, and
// tiles go to the rules. Key and mouse events go to keyboard play
// (ui/keyboard.h) instead, apart from that routing.
#pragma once

#include <irrlicht.h>

struct AppContext {
    irr::IrrlichtDevice* device = nullptr;
};

class MyEventReceiver : public irr::IEventReceiver {
  public:
    explicit MyEventReceiver(AppContext& context) : context(context) {}

    // Of the GUI events only tile clicks are absorbed; of the keys, those
    // keyboard play acts on itself.
    bool OnEvent(const irr::SEvent& event) override;

  private:
    void onMenuItem(irr::gui::IGUIContextMenu* menu);

    AppContext& context;
};
