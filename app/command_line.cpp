#include "app/command_line.h"

#include <cstdio>
#include <getopt.h>
#include <vector>

namespace {

const char* const USAGE = "Usage: kavenna [--software] [--help] [--version]\n";

const char* const HELP =
    "Find the ten pairs among twenty face-down pictures.\n"
    "\n"
    "      --software  draw with the engine's software renderer instead of OpenGL\n"
    "  -h, --help      show this help and exit\n"
    "  -V, --version   show the version and exit\n"
    "\n"
    "Each deal is written to standard output, one line per tile.\n"
    "Home page: <" KAVENNA_WEBSITE ">\n";

const char* const VERSION = "kavenna " KAVENNA_VERSION "\n"
                            "Copyright 2026 The Kavenna developers\n"
                            "License Expat (MIT): this is free software; you are free to change\n"
                            "and redistribute it. There is NO WARRANTY.\n";

enum { SOFTWARE = 1 };

// An answer nobody could read, to a full disk or a closed pipe, is a
// failure like any other.
int answer(const char* first, const char* second) {
    std::fputs(first, stdout);
    std::fputs(second, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("kavenna: standard output");
        return 1;
    }
    return 0;
}

} // namespace

bool readCommandLine(int argc, char** argv, irr::video::E_DRIVER_TYPE& driverType, int& exitCode) {
    static const option OPTIONS[] = {{"software", no_argument, nullptr, SOFTWARE},
                                     {"help", no_argument, nullptr, 'h'},
                                     {"version", no_argument, nullptr, 'V'},
                                     {nullptr, 0, nullptr, 0}};
    // getopt's own complaints name argv[0], which for the installed game
    // is the full path of the program behind the `kavenna` command.
    std::vector<char*> arguments(argv, argv + argc);
    char name[] = "kavenna";
    if (argc > 0)
        arguments[0] = name;
    arguments.push_back(nullptr);

    driverType = irr::video::EDT_OPENGL;
    optind = 1;
    for (;;) {
        const int choice = getopt_long(argc, arguments.data(), "hV", OPTIONS, nullptr);
        if (choice == -1)
            break;
        switch (choice) {
        case SOFTWARE:
            driverType = irr::video::EDT_BURNINGSVIDEO;
            break;
        case 'h':
            exitCode = answer(USAGE, HELP);
            return false;
        case 'V':
            exitCode = answer(VERSION, "");
            return false;
        default:
            std::fputs(USAGE, stderr);
            exitCode = 2;
            return false;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "kavenna: unexpected argument '%s'\n%s", arguments[optind], USAGE);
        exitCode = 2;
        return false;
    }
    return true;
}
