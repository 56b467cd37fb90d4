#include "app/assets.h"

#include "app/archive_check.h"
#include "app/game_state.h"
#include "ui/control_ids.h"

#include <cstdio>

using namespace irr;

namespace {

const char* const ARCHIVE_NAME = "tesmor.dat";

bool mountArchive() {
    io::IFileSystem* files = gameState.device->getFileSystem();
    if (!files->existFile(ARCHIVE_NAME) || !isSoundZipArchive(ARCHIVE_NAME))
        return false;
    files->addFileArchive(ARCHIVE_NAME, true, true, io::EFAT_ZIP);
    return true;
}

video::ITexture* load(const char* name) {
    return gameState.videoDriver->getTexture(name);
}

} // namespace

void loadAssets() {
    const bool mounted = mountArchive();

    gui::IGUIFont* font = gameState.guiEnvironment->getFont("f.xml");

    gameState.hiddenTexture = load("h.jpg");
    gameState.menuBackgroundTexture = load("m.png");
    gameState.splashTexture = load("s.png");
    gameState.buttonFaceTexture = load("w.jpg");
    for (int k = 0; k < TILE_COUNT; ++k) {
        char name[8];
        std::snprintf(name, sizeof name, "%d.jpg", k % 10 + 1);
        gameState.faceTextures[k] = load(name);
    }

    gameState.guiEnvironment->getSkin()->setFont(font, gui::EGDF_DEFAULT);

    // Added only now: a message box is laid out for the skin's font of the
    // moment, and the player must be able to read the only report of a
    // missing archive.
    if (!mounted)
        gameState.guiEnvironment->addMessageBox(L"error opening tesmor.dat",
                                                L"error opening tesmor.dat", true, gui::EMBF_YES,
                                                nullptr, ID_ARCHIVE_ERROR_BOX, nullptr);
}
