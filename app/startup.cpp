#include "app/startup.h"

#include "app/assets.h"
#include "app/device_parameters.h"
#include "app/frame_pacing.h"
#include "platform/memory.h"
#include "platform/speech.h"
#include "platform/translation.h"
#include "platform/x_errors.h"
#include "ui/board.h"
#include "ui/game_state.h"
#include "ui/keyboard.h"
#include "ui/pictures.h"
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
            std::fputs(
                _("kavenna: OpenGL could not be used; the software renderer draws instead\n"),
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
    return true;
}

// The intro's first frame is the fade-in's start, the fader's full colour
// over the whole window: black, whatever lies under it, so it needs no
// picture and is shown as soon as the window exists. The window cleared to
// that colour is the same picture; drawing the fader over it would only
// cost another blended pass over every pixel, and its shader, first.
void presentFirstFrame() {
    video::IVideoDriver* driver = gameState.videoDriver;
    driver->beginScene(true, false, video::SColor(255, 0, 0, 0));
    driver->endScene();
}

} // namespace

bool startUp(video::E_DRIVER_TYPE driverType, int scale, AppContext& context,
             MyEventReceiver& receiver) {
    if (driverType != video::EDT_NULL)
        tolerateXErrors();
    keepLargeFreedBuffers();
    // Every record of the game starts afresh, however many games this
    // process has started before (the tests start many).
    gameState = GameState();
    board = Board();
    pictures = Pictures();
    framePacing = FramePacing();
    forgetKeys();
    // Whatever would refuse a file or fall back to scale 1 is decided
    // before a window of that scale is made.
    AssetPlan assets;
    checkAssets(scale, assets);
    if (!openDevice(driverType, context, receiver))
        return false;
    adoptCheckedArchive(assets);
    // The fader draws no part of the skin, which waits for the font.
    startIntro();
    presentFirstFrame();
    // Before the second frame: no frame of the fade goes without the
    // splash.
    loadAssets(assets);
    return true;
}

void shutDown() {
    stopSpeech("");
    releaseClearedScreen();
    gameState.device->drop();
    // The handles went with the device.
    gameState = GameState();
}
