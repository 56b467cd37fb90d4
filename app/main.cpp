#include "app/command_line.h"
#include "app/display_scale.h"
#include "app/frame_loop.h"
#include "app/language.h"
#include "app/startup.h"
#include "platform/speech.h"
#include "platform/standard_streams.h"
#include "platform/translation.h"
#include "platform/x_display.h"
#include "ui/narration.h"

#include <cstdio>
#include <cstdlib>

namespace {

int desktopScale(const Options& options) {
    ScaleInputs inputs;
    inputs.option = options.scale;
    inputs.gdkScale = std::getenv("GDK_SCALE");
    readXDisplay(inputs);
    return chooseScale(inputs);
}

} // namespace

int main(int argc, char** argv) {
    openClosedStandardDescriptors();
    chooseLanguage(languageOption(argc, argv));
    Options options;
    int exitCode = 0;
    if (!readCommandLine(argc, argv, options, exitCode))
        return exitCode;
    // Before start-up: a box it opens is read out too.
    if (options.speech && startSpeech())
        sayWelcome();
    AppContext context;
    MyEventReceiver receiver(context);
    const bool started = startUp(options.driverType, desktopScale(options), context, receiver);
    releaseXDisplay();
    if (!started) {
        std::fputs(_("kavenna: the game window could not be opened\n"), stderr);
        return 1;
    }
    while (runFrame()) {
    }
    shutDown();
    return 0;
}
