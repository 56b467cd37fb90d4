#include "app/assets.h"

#include "app/files/archive_check.h"
#include "app/files/engine_file.h"
#include "app/files/font_check.h"
#include "app/files/picture.h"
#include "app/game_state.h"
#include "ui/control_ids.h"
#include "ui/skin.h"

#include <string>
#include <vector>

using namespace irr;

namespace {

const char* const ARCHIVE_NAME = "tesmor.dat";
const char* const FONT_NAME = "f.xml";

// The menu bar is a line and 5 pixels tall and must end above the first
// row of tiles, 35 pixels down at scale 1; below 12 pixels a caption is
// hard to read.
const unsigned MIN_LINE_HEIGHT = 12;
const unsigned MAX_LINE_HEIGHT = 28;

// The name of the picture or font `name` in the set drawn for the game's
// scale: "h.jpg" at 1, "h@2x.jpg" at 2. The archive ignores folders, so
// only the name can tell the sets apart.
std::string atScale(const char* name) {
    std::string scaled = name;
    if (gameState.scale > 1)
        scaled.insert(scaled.rfind('.'), "@" + std::to_string(gameState.scale) + "x");
    return scaled;
}

// Mounted only when the check accepts it, and kept only when the engine
// lists exactly what was checked: an entry read any other way than it
// was checked is never opened.
io::IFileArchive* mountArchive() {
    io::IFileSystem* files = gameState.device->getFileSystem();
    io::IFileArchive* archive = nullptr;
    std::vector<ArchiveEntry> accepted;
    if (!files->existFile(ARCHIVE_NAME) || !isArchiveSafeToMount(ARCHIVE_NAME, accepted) ||
        !files->addFileArchive(ARCHIVE_NAME, true, true, io::EFAT_ZIP, "", &archive) || !archive)
        return nullptr;
    if (!engineListsAccepted(files, archive->getFileList(), accepted)) {
        files->removeFileArchive(archive);
        return nullptr;
    }
    return archive;
}

// Holds one checked file in memory, where the engine finds it by name
// ahead of every other archive and of the working directory.
class CheckedFileArchive : public io::IFileArchive {
  public:
    CheckedFileArchive(const io::path& name, const std::vector<unsigned char>& bytes)
        : files(gameState.device->getFileSystem()),
          list(files->createEmptyFileList("", true, true)), bytes(bytes) {
        list->addItem(name, 0, static_cast<u32>(bytes.size()), false, 0);
        list->sort();
    }
    ~CheckedFileArchive() override { list->drop(); }

    io::IReadFile* createAndOpenFile(const io::path& name) override {
        const s32 index = list->findFile(name);
        return index < 0 ? nullptr : createAndOpenFile(static_cast<u32>(index));
    }
    io::IReadFile* createAndOpenFile(u32 index) override {
        if (index != 0)
            return nullptr;
        return files->createMemoryReadFile(const_cast<unsigned char*>(bytes.data()),
                                           static_cast<s32>(bytes.size()), list->getFullFileName(0),
                                           false);
    }
    const io::IFileList* getFileList() const override { return list; }

  private:
    io::IFileSystem* files;
    io::IFileList* list;
    const std::vector<unsigned char>& bytes;
};

// The engine's font loader asks its texture cache for the font's picture
// first, so the picture the game decoded and added under that very name
// is the one it takes; and it reads the description itself from the
// checked bytes in memory, never from the file again.
gui::IGUIFont* loadFont(std::vector<std::string>& missing) {
    const std::string fontName = atScale(FONT_NAME);
    std::vector<unsigned char> bytes;
    FontDescription description;
    missing.push_back(fontName);
    if (!readEngineFile(fontName.c_str(), MAX_FONT_DESCRIPTION_BYTES, bytes) ||
        !checkFontDescription(gameState.device->getFileSystem(), bytes,
                              gameFontNeeds(gameState.scale), description))
        return nullptr;
    video::IImage* picture = loadCheckedPicture(description.textureName.c_str());
    const bool fits = picture && description.right <= picture->getDimension().Width &&
                      description.bottom <= picture->getDimension().Height;
    video::ITexture* texture =
        fits ? gameState.videoDriver->addTexture(description.textureName.c_str(), picture)
             : nullptr;
    if (picture)
        picture->drop();
    if (!texture) {
        missing.push_back(description.textureName);
        return nullptr;
    }
    io::IFileSystem* files = gameState.device->getFileSystem();
    CheckedFileArchive* memory = new CheckedFileArchive(fontName.c_str(), bytes);
    files->addFileArchive(memory);
    const u32 last = files->getFileArchiveCount() - 1;
    files->moveFileArchive(last, -static_cast<s32>(last));
    gui::IGUIFont* font = gameState.guiEnvironment->getFont(fontName.c_str());
    files->removeFileArchive(memory);
    if (font)
        missing.pop_back();
    return font;
}

video::ITexture* loadPicture(const char* name, std::vector<std::string>& missing) {
    const std::string scaled = atScale(name);
    video::ITexture* texture = loadCheckedTexture(scaled.c_str());
    if (!texture)
        missing.push_back(scaled);
    return texture;
}

const char* faceName(int k) {
    static const char* const NAMES[] = {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg",
                                        "6.jpg", "7.jpg", "8.jpg", "9.jpg", "10.jpg"};
    return NAMES[k % 10];
}

// Loads the font and every picture; `missing` collects the names of the
// files that did not load, for want of being there or of passing.
gui::IGUIFont* loadEverything(std::vector<std::string>& missing) {
    gui::IGUIFont* font = loadFont(missing);
    gameState.hiddenTexture = loadPicture("h.jpg", missing);
    gameState.menuBackgroundTexture = loadPicture("m.png", missing);
    gameState.splashTexture = loadPicture("s.png", missing);
    gameState.buttonFaceTexture = loadPicture("w.jpg", missing);
    for (int k = 0; k < TILE_COUNT; ++k)
        gameState.faceTextures[k] = loadPicture(faceName(k), missing);
    return font;
}

// Takes back what an archive that turned out to hold a refused file gave.
void forgetEverything(gui::IGUIFont* font) {
    video::IVideoDriver* driver = gameState.videoDriver;
    video::ITexture** textures[] = {&gameState.hiddenTexture, &gameState.menuBackgroundTexture,
                                    &gameState.splashTexture, &gameState.buttonFaceTexture};
    for (video::ITexture** texture : textures) {
        driver->removeTexture(*texture);
        *texture = nullptr;
    }
    for (int k = 0; k < TILE_COUNT; ++k) {
        if (k < 10)
            driver->removeTexture(gameState.faceTextures[k]);
        gameState.faceTextures[k] = nullptr;
    }
    if (font) {
        gui::IGUISpriteBank* glyphs = font->getType() == gui::EGFT_BITMAP
                                          ? static_cast<gui::IGUIFontBitmap*>(font)->getSpriteBank()
                                          : nullptr;
        if (glyphs && glyphs->getTextureCount() > 0)
            driver->removeTexture(glyphs->getTexture(0));
        gameState.guiEnvironment->removeFont(font);
    }
}

} // namespace

const wchar_t* const GAME_TEXT_CHARACTERS =
    L" +.0123456789:ABCDEFGKMNOPQSTVYabcdefghiklmnoprstuvwxy";

FontNeeds gameFontNeeds(int scale) {
    FontNeeds needs;
    needs.characters = GAME_TEXT_CHARACTERS;
    needs.minLineHeight = MIN_LINE_HEIGHT * static_cast<unsigned>(scale);
    needs.maxLineHeight = MAX_LINE_HEIGHT * static_cast<unsigned>(scale);
    return needs;
}

bool loadAssets() {
    io::IFileArchive* archive = mountArchive();
    std::vector<std::string> missing;
    gui::IGUIFont* font = loadEverything(missing);
    bool archiveRefused = false;
    for (const std::string& name : missing)
        archiveRefused =
            archiveRefused || (archive && archive->getFileList()->findFile(name.c_str()) != -1);
    if (archiveRefused) {
        forgetEverything(font);
        gameState.device->getFileSystem()->removeFileArchive(archive);
        archive = nullptr;
        missing.clear();
        font = loadEverything(missing);
    }

    if (gameState.scale > 1 && !missing.empty())
        return false;
    dressSkin(font);

    // Added only now: a message box is laid out for the skin's font of the
    // moment, and the player must be able to read the only report of a
    // missing archive.
    if (!archive)
        dressMessageBox(gameState.guiEnvironment->addMessageBox(
            L"error opening tesmor.dat", L"error opening tesmor.dat", true, gui::EMBF_YES, nullptr,
            ID_ARCHIVE_ERROR_BOX, nullptr));
    return true;
}
