// The game's only event receiver. It listens to button clicks and menu
// choices and routes them by the id of the control that raised them:
// menu buttons change screens, the menu bar starts a game or quits, and
// tiles go to the rules.
#pragma once

#include <irrlicht.h>

struct AppContext {
    irr::IrrlichtDevice* device = nullptr;
};

class MyEventReceiver : public irr::IEventReceiver {
  public:
    explicit MyEventReceiver(AppContext& context) : context(context) {}

    // Only tile clicks are absorbed.
    bool OnEvent(const irr::SEvent& event) override;

  private:
    void onMenuItem(irr::gui::IGUIContextMenu* menu);

    AppContext& context;
};
