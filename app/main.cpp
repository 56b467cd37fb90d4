#include "app/frame_loop.h"
#include "app/startup.h"

#include <cstdio>

int main() {
    AppContext context;
    MyEventReceiver receiver(context);
    if (!startUp(irr::video::EDT_OPENGL, context, receiver)) {
        std::fputs("kavenna: the game window could not be opened\n", stderr);
        return 1;
    }
    while (runFrame()) {
    }
    shutDown();
    return 0;
}
