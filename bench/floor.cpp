// The floor the game's start-up and memory are measured against: the
// same device and window as the game (800x500, or 1600x1000 with
// `--scale 2`; OpenGL falling back to the software renderer, 32 bits,
// stencil, vsync, no engine log) with one GUI button and no assets,
// drawing a steady 60 frames a second.
#include "app/device_parameters.h"

#include <X11/Xlib.h>
#include <cstring>
#include <irrlicht.h>
#include <time.h>

using namespace irr;

namespace {

// A refused vsync request must not end the program, as in the game.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

IrrlichtDevice* createFloorDevice(int scale) {
    SIrrlichtCreationParameters parameters = deviceParameters(video::EDT_OPENGL, scale);
    IrrlichtDevice* device = createDeviceEx(parameters);
    if (!device) {
        parameters.DriverType = video::EDT_BURNINGSVIDEO;
        device = createDeviceEx(parameters);
    }
    return device;
}

long long nowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Sleeps until `deadline`, so frames start every 16.7 ms whatever one costs.
void sleepUntil(long long deadline) {
    const long long left = deadline - nowNs();
    if (left <= 0)
        return;
    const timespec pause{static_cast<time_t>(left / 1000000000LL),
                         static_cast<long>(left % 1000000000LL)};
    nanosleep(&pause, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    int scale = 1;
    if (argc == 3 && std::strcmp(argv[1], "--scale") == 0 &&
        (std::strcmp(argv[2], "1") == 0 || std::strcmp(argv[2], "2") == 0))
        scale = argv[2][0] - '0';
    else if (argc != 1)
        return 2;
    XSetErrorHandler(ignoreXError);
    IrrlichtDevice* device = createFloorDevice(scale);
    if (!device)
        return 1;
    video::IVideoDriver* driver = device->getVideoDriver();
    gui::IGUIEnvironment* gui = device->getGUIEnvironment();
    gui->addButton(core::rect<s32>(300 * scale, 300 * scale, 500 * scale, 350 * scale), nullptr, 1,
                   L"Start Game", L"Start Game");

    const long long FRAME_NS = 1000000000LL / 60;
    long long next = nowNs();
    while (device->run()) {
        driver->beginScene(true, true, video::SColor(255, 255, 255, 255));
        gui->drawAll();
        driver->endScene();
        next += FRAME_NS;
        sleepUntil(next);
    }
    device->drop();
    return 0;
}
