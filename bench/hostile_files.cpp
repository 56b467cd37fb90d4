// Times the game's checks on every hostile data file that
// tests/make_hostile_files.py writes: the archive check on each
// archive, and on each loose file the size test, the decoder or the font
// check the game would run. Prints the slowest, the best of three runs
// of each file, as "<milliseconds> <file>".
//
//     kavenna_hostile_files HOSTILE_DIR
#include "app/assets.h"
#include "file_checks/archive_check.h"
#include "file_checks/font_check.h"
#include "file_checks/limits.h"
#include "file_checks/picture_decoders.h"
#include "ui/game_state.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::vector<std::string> listDirectory(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool endsWith(const std::string& name, const char* end) {
    const std::string tail(end);
    return name.size() >= tail.size() &&
           name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
}

// What the game does with a loose file of this name, within its limit.
void checkLooseFile(const std::string& path) {
    const bool description = endsWith(path, ".xml");
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || status.st_size <= 0 ||
        static_cast<unsigned long>(status.st_size) >
            (description ? MAX_FONT_DESCRIPTION_BYTES : MAX_PICTURE_BYTES))
        return;
    std::vector<unsigned char> bytes(static_cast<size_t>(status.st_size));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), status.st_size);
    DecodedPicture picture;
    FontDescription font;
    if (description)
        checkFontDescription(gameState.device->getFileSystem(), bytes, gameFontNeeds(1), font);
    else if (endsWith(path, ".png"))
        decodePng(bytes.data(), bytes.size(), MAX_PICTURE_SIDE, picture);
    else
        decodeJpeg(bytes.data(), bytes.size(), MAX_PICTURE_SIDE, picture);
    delete[] picture.pixels;
}

double bestOfThree(const std::string& path, bool archive) {
    double best = 1e12;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<ArchiveEntry> accepted;
        if (archive)
            isArchiveSafeToMount(path.c_str(), accepted);
        else
            checkLooseFile(path);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s HOSTILE_DIR\n", argv[0]);
        return 2;
    }
    irr::SIrrlichtCreationParameters parameters;
    parameters.DriverType = irr::video::EDT_NULL;
    parameters.LoggingLevel = irr::ELL_NONE;
    gameState.device = irr::createDeviceEx(parameters);
    if (!gameState.device)
        return 1;
    const std::string root = argv[1];
    double slowest = -1;
    std::string slowestFile;
    for (const std::string& hostileClass : listDirectory(root)) {
        const std::string dir = root + "/" + hostileClass;
        std::vector<std::string> files = {dir + "/tesmor.dat"};
        for (const std::string& name : listDirectory(dir + "/loose"))
            files.push_back(dir + "/loose/" + name);
        for (const std::string& file : files) {
            struct stat status;
            if (stat(file.c_str(), &status) != 0)
                continue;
            const double ms = bestOfThree(file, endsWith(file, ".dat"));
            if (ms > slowest) {
                slowest = ms;
                slowestFile = file.substr(root.size() + 1);
            }
        }
    }
    gameState.device->drop();
    if (slowest < 0)
        return 1;
    std::printf("%.2f %s\n", slowest, slowestFile.c_str());
    return 0;
}
