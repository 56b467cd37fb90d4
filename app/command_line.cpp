#include "app/command_line.h"

#include "platform/translation.h"

#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <string>
#include <vector>

namespace {

const char* const USAGE =
    N_("Usage: kavenna [--software] [--scale N] [--speech] [--language LL] [--help] [--version]\n");

const char* const HELP =
    N_("Find the ten pairs among twenty face-down pictures.\n"
       "\n"
       "      --software     draw with the engine's software renderer instead of OpenGL\n"
       "      --scale N      draw everything N times as large and detailed, N being 1 or 2\n"
       "      --speech       say what is on screen through the desktop's speech service\n"
       "                     (speech-dispatcher); Ctrl+S turns speech on and off\n"
       "      --language LL  show and say the game's texts in the language LL (such as\n"
       "                     de or pt_BR) instead of the desktop's; English where the game\n"
       "                     has no translation\n"
       "  -h, --help         show this help and exit\n"
       "  -V, --version      show the version and exit\n"
       "\n"
       "Without --scale the desktop's scale decides: GDK_SCALE when it is a whole\n"
       "number (2 or more draws at 2), else the X resource Xft.dpi (144 or more\n"
       "draws at 2), else 1. A window of 1600x1000 that would not fit the screen's\n"
       "work area is drawn at 1 after all. Without --language the environment\n"
       "decides, as for every program: LANGUAGE, LC_ALL, LC_MESSAGES, LANG.\n"
       "\n"
       "Each deal is written to standard output, one line per tile.\n");
const char* const HOME_PAGE = N_("Home page: <%s>\n");

const char* const VERSION_NOTE =
    N_("Copyright 2026 The Kavenna developers\n"
       "License Expat (MIT): this is free software; you are free to change\n"
       "and redistribute it. There is NO WARRANTY.\n");

enum { SOFTWARE = 1, SCALE, SPEECH, LANGUAGE };

// Each option below returns true to read on, false once the command line
// has been answered or refused.
struct Reading {
    Options& options;
    int& exitCode;
};

// An answer nobody could read, to a full disk or a closed pipe, is a
// failure like any other.
int answer(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("kavenna: standard output");
        return 1;
    }
    return 0;
}

bool refuse(Reading& reading) {
    std::fputs(_(USAGE), stderr);
    reading.exitCode = 2;
    return false;
}

bool takeScale(const char* value, Reading& reading) {
    if (std::strcmp(value, "1") != 0 && std::strcmp(value, "2") != 0) {
        std::fputs(formatText(_("kavenna: invalid scale '%s': 1 or 2\n"), {value}).c_str(), stderr);
        return refuse(reading);
    }
    reading.options.scale = value[0] - '0';
    return true;
}

bool takeOption(int choice, Reading& reading) {
    switch (choice) {
    case SOFTWARE:
        reading.options.driverType = irr::video::EDT_BURNINGSVIDEO;
        return true;
    case SCALE:
        return takeScale(optarg, reading);
    case SPEECH:
        reading.options.speech = true;
        return true;
    case LANGUAGE:
        // Chosen already, before any text was written (`languageOption`).
        return true;
    case 'h':
        reading.exitCode =
            answer(std::string(_(USAGE)) + _(HELP) + formatText(_(HOME_PAGE), {KAVENNA_WEBSITE}));
        return false;
    case 'V':
        reading.exitCode = answer("kavenna " KAVENNA_VERSION "\n" + std::string(_(VERSION_NOTE)));
        return false;
    default:
        return refuse(reading);
    }
}

// getopt's own complaints name argv[0], which for the installed game is
// the full path of the program behind the `kavenna` command.
std::vector<char*> namedArguments(int argc, char** argv) {
    static char name[] = "kavenna";
    std::vector<char*> arguments(argv, argv + argc);
    if (argc > 0)
        arguments[0] = name;
    arguments.push_back(nullptr);
    return arguments;
}

} // namespace

bool readCommandLine(int argc, char** argv, Options& options, int& exitCode) {
    static const option OPTIONS[] = {{"software", no_argument, nullptr, SOFTWARE},
                                     {"scale", required_argument, nullptr, SCALE},
                                     {"speech", no_argument, nullptr, SPEECH},
                                     {"language", required_argument, nullptr, LANGUAGE},
                                     {"help", no_argument, nullptr, 'h'},
                                     {"version", no_argument, nullptr, 'V'},
                                     {nullptr, 0, nullptr, 0}};
    std::vector<char*> arguments = namedArguments(argc, argv);
    Reading reading{options, exitCode};
    options = Options();
    optind = 1;
    for (int choice; (choice = getopt_long(argc, arguments.data(), "hV", OPTIONS, nullptr)) != -1;)
        if (!takeOption(choice, reading))
            return false;
    if (optind < argc) {
        std::fputs(
            (formatText(_("kavenna: unexpected argument '%s'\n"), {arguments[optind]}) + _(USAGE))
                .c_str(),
            stderr);
        exitCode = 2;
        return false;
    }
    return true;
}

const char* languageOption(int argc, char** argv) {
    const char* language = nullptr;
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const char* argument = argv[i];
        if (std::strncmp(argument, "--language=", 11) == 0)
            language = argument + 11;
        else if (std::strcmp(argument, "--language") == 0 && i + 1 < argc)
            language = argv[++i];
    }
    return language;
}
