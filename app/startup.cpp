#include "app/startup.h"

#include "app/assets.h"
#include "app/device_parameters.h"
#include "app/game_state.h"
#include "app/linux/platform.h"
#include "app/linux/speech.h"
#include "app/linux/x_window.h"
#include "ui/screen_change.h"
#include "ui/screens.h"

#include <cstdio>

using namespace irr;

namespace {

IrrlichtDevice* createGameDevice(video::E_DRIVER_TYPE driverType) {
    SIrrlichtCreationParameters parameters = deviceParameters(driverType, gameState.scale);
    IrrlichtDevice* device = createDeviceEx(parameters);
    if (!device && driverType == video::EDT_OPENGL) {
        parameters.DriverType = video::EDT_BURNINGSVIDEO;
        device = createDeviceEx(parameters);
        // Said, since the game looks the same but draws far slower, and a
        // player or packager would otherwise never know why.
        if (device)
            std::fputs("kavenna: OpenGL could not be used; the software renderer draws instead\n",
                       stderr);
    }
    return device;
}

// Every picture is drawn 1:1 in 2D: mip-maps would only cost start-up
// time, and the software renderer would otherwise shrink pictures whose
// sides are not powers of two.
void configureTextures(video::IVideoDriver* driver) {
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    driver->setTextureCreationFlag(video::ETCF_ALLOW_NON_POWER_2, true);
}

// The device at `gameState.scale` with the assets loaded; false when the
// device could not be created or the assets of that scale are not whole.
bool openDevice(video::E_DRIVER_TYPE driverType, AppContext& context, MyEventReceiver& receiver) {
    IrrlichtDevice* device = createGameDevice(driverType);
    if (!device)
        return false;
    gameState.device = device;
    device->setWindowCaption(L"Kavenna");

    gameState.videoDriver = device->getVideoDriver();
    gameState.guiEnvironment = device->getGUIEnvironment();
    gameState.sceneManager = device->getSceneManager();
    configureTextures(gameState.videoDriver);

    gameState.sceneManager->addCameraSceneNode(nullptr, core::vector3df(0, 30, -40),
                                               core::vector3df(0, 5, 0), -1, true);

    context.device = device;
    device->setEventReceiver(&receiver);

    gameState.startTime = device->getTimer()->getTime();
    return loadAssets();
}

} // namespace

bool startUp(video::E_DRIVER_TYPE driverType, int scale, AppContext& context,
             MyEventReceiver& receiver) {
    if (driverType != video::EDT_NULL)
        tolerateXErrors();
    keepLargeFreedBuffers();
    gameState.scale = scale;
    if (!openDevice(driverType, context, receiver)) {
        if (!gameState.device)
            return false;
        // Pictures of two sizes would not fit together: a 2x set that is
        // not whole means a game at scale 1, in a window of that size.
        gameState.device->drop();
        gameState.device = nullptr;
        gameState.scale = 1;
        openDevice(driverType, context, receiver);
        if (!gameState.device)
            return false;
    }
    // The icons come from where the other pictures come from.
    setWindowIcon();
    startIntro();
    return true;
}

void shutDown() {
    stopSpeech("");
    releaseClearedScreen();
    gameState.device->drop();
    gameState.device = nullptr;
}
