#include "app/command_line.h"
#include "app/frame_loop.h"
#include "app/linux/standard_streams.h"
#include "app/startup.h"

#include <cstdio>

int main(int argc, char** argv) {
    openClosedStandardDescriptors();
    irr::video::E_DRIVER_TYPE driverType = irr::video::EDT_OPENGL;
    int exitCode = 0;
    if (!readCommandLine(argc, argv, driverType, exitCode))
        return exitCode;
    AppContext context;
    MyEventReceiver receiver(context);
    if (!startUp(driverType, context, receiver)) {
        std::fputs("kavenna: the game window could not be opened\n", stderr);
        return 1;
    }
    while (runFrame()) {
    }
    shutDown();
    return 0;
}
