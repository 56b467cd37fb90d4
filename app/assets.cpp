#include "app/assets.h"

#include "app/checked_font.h"
#include "app/textures.h"
#include "file_checks/archive_check.h"
#include "file_checks/archive_entry.h"
#include "file_checks/engine_file.h"
#include "file_checks/picture.h"
#include "file_checks/picture_header.h"
#include "platform/translation.h"
#include "platform/x_window.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/pictures.h"
#include "ui/skin.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
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

// A picture the game draws and its size at scale 1. One that follows the
// scale comes in a set drawn at twice the pixels ("h@2x.jpg") as well.
struct Wanted {
    std::string name;
    unsigned width;
    unsigned height;
    bool scaled;
    unsigned maxBytes;
};

// The splash, the menu background, the tile back and the button face come
// first, the splash first of all: it is decoded first. Then a tile face
// for each pair, "1.jpg" on.
const int FIRST_FACE = 4;

Wanted wantedPicture(int i) {
    static const Wanted FIXED[FIRST_FACE] = {{"s.png", 800, 500, true, MAX_PICTURE_BYTES},
                                             {"m.png", 800, 500, true, MAX_PICTURE_BYTES},
                                             {"h.jpg", 100, 50, true, MAX_PICTURE_BYTES},
                                             {"w.jpg", 200, 50, true, MAX_PICTURE_BYTES}};
    if (i < FIRST_FACE)
        return FIXED[i];
    return {std::to_string(pictureFileNumber(i - FIRST_FACE)) + ".jpg", 100, 50, true,
            MAX_PICTURE_BYTES};
}

const Wanted ICONS[ICON_COUNT] = {{"icon-16.png", 16, 16, false, MAX_ICON_BYTES},
                                  {"icon-32.png", 32, 32, false, MAX_ICON_BYTES},
                                  {"icon-48.png", 48, 48, false, MAX_ICON_BYTES},
                                  {"icon-64.png", 64, 64, false, MAX_ICON_BYTES},
                                  {"icon-128.png", 128, 128, false, MAX_ICON_BYTES}};

video::ITexture** textureOf(int picture) {
    switch (picture) {
    case 0:
        return &pictures.splashTexture;
    case 1:
        return &pictures.menuBackgroundTexture;
    case 2:
        return &pictures.hiddenTexture;
    case 3:
        return &pictures.buttonFaceTexture;
    default:
        return &pictures.faceTextures[picture - FIRST_FACE];
    }
}

// The name of the picture or font `name` in the set drawn for `scale`:
// "h.jpg" at 1, "h@2x.jpg" at 2. The archive ignores folders, so only the
// name can tell the sets apart.
std::string atScale(const char* name, int scale) {
    std::string scaled = name;
    if (scale > 1)
        scaled.insert(scaled.rfind('.'), "@" + std::to_string(scale) + "x");
    return scaled;
}

// A file that could not be used, and why, in words for standard error.
struct Refused {
    std::string name;
    bool fromArchive = false;
    bool missing = false;
    std::string why;
};

void note(FileReport& report, const Refused& refused) {
    noteFile(refused.missing ? report.missing : report.damaged, refused.name);
}

// After the window: a file of the archive refused at scale 1 damages the
// archive, which is told instead (nextPlace); any other file by its name.
void noteFailed(AssetPlan& plan, const Refused& refused, int scale) {
    if (!(refused.fromArchive && scale == 1 && plan.archive))
        note(plan.report, refused);
}

void missingOrDamaged(const CheckedFile& file, Refused& refused) {
    refused.name = file.name;
    refused.fromArchive = file.fromArchive;
    refused.missing = !engineFileExists(gameState.device->getFileSystem(), file.name.c_str());
    refused.why = refused.missing ? _("missing") : _("damaged");
}

// Reads `name` whole through the engine's file system: the archive first,
// then the working directory.
bool readFile(const std::string& name, unsigned maxBytes, CheckedFile& file, Refused& refused) {
    file = CheckedFile();
    file.name = name;
    file.fromArchive = archiveHolds(gameState.device->getFileSystem(), name.c_str());
    file.maxBytes = maxBytes;
    if (readEngineFile(gameState.device->getFileSystem(), name.c_str(), maxBytes, file.bytes))
        return true;
    missingOrDamaged(file, refused);
    return false;
}

bool refuse(const CheckedFile& file, const std::string& why, Refused& refused) {
    refused.name = file.name;
    refused.fromArchive = file.fromArchive;
    refused.missing = false;
    refused.why = why;
    return false;
}

// The entry of the archive the engine would read as `name`, found by
// where its data lies; null when the archive file is not at hand.
const ArchiveEntry* archiveEntry(const AssetPlan& plan, const std::string& name) {
    if (!plan.archive || plan.archiveFile < 0)
        return nullptr;
    const io::IFileList* list = plan.archive->getFileList();
    const s32 index = list->findFile(name.c_str());
    if (index < 0)
        return nullptr;
    for (const ArchiveEntry& entry : plan.archiveEntries)
        if (entry.offset == list->getFileOffset(static_cast<u32>(index)))
            return &entry;
    return nullptr;
}

// Reads the header of the picture `name` where the engine's file system
// finds it; the pixels stay in the file until they are decoded.
bool readHeader(const AssetPlan& plan, const std::string& name, unsigned maxBytes,
                CheckedFile& file, PictureHeader& header, Refused& refused) {
    file = CheckedFile();
    file.name = name;
    file.fromArchive = archiveHolds(gameState.device->getFileSystem(), name.c_str());
    file.maxBytes = maxBytes;
    const ArchiveEntry* entry = file.fromArchive ? archiveEntry(plan, name) : nullptr;
    if (entry && entry->size <= maxBytes)
        return readPictureHeader(pictureKindByName(name.c_str()), entry->size,
                                 readArchiveEntry(plan.archiveFile, *entry), header) ||
               refuse(file, _("damaged"), refused);
    io::IReadFile* opened =
        openEngineFile(gameState.device->getFileSystem(), name.c_str(), maxBytes);
    if (!opened) {
        missingOrDamaged(file, refused);
        return false;
    }
    const ReadAt read = [opened](size_t at, void* out, size_t count) {
        return opened->seek(static_cast<long>(at)) &&
               opened->read(out, static_cast<u32>(count)) == static_cast<s32>(count);
    };
    const bool sound = readPictureHeader(pictureKindByName(name.c_str()),
                                         static_cast<size_t>(opened->getSize()), read, header);
    opened->drop();
    return sound || refuse(file, _("damaged"), refused);
}

std::string sizeText(unsigned width, unsigned height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// A picture of the set for `scale`, exactly the size the game draws it at.
bool checkPicture(const AssetPlan& plan, const Wanted& wanted, int scale, CheckedFile& file,
                  Refused& refused) {
    const unsigned k = wanted.scaled ? static_cast<unsigned>(scale) : 1;
    PictureHeader header;
    if (!readHeader(plan, wanted.scaled ? atScale(wanted.name.c_str(), scale) : wanted.name,
                    wanted.maxBytes, file, header, refused))
        return false;
    file.width = wanted.width * k;
    file.height = wanted.height * k;
    if (header.width != file.width || header.height != file.height)
        return refuse(file,
                      formatText(_("%s pixels, not %s"), {sizeText(header.width, header.height),
                                                          sizeText(file.width, file.height)}),
                      refused);
    file.accepted = true;
    return true;
}

// The font description of the set for `scale` and its picture: a PNG with
// alpha, at least as large as its glyphs reach.
bool checkFont(AssetPlan& plan, int scale, Refused& refused) {
    CheckedFile& description = plan.fontDescription;
    CheckedFile& picture = plan.fontPicture;
    picture = CheckedFile();
    if (!readFile(atScale(FONT_NAME, scale), MAX_FONT_DESCRIPTION_BYTES, description, refused))
        return false;
    if (!checkFontDescription(gameState.device->getFileSystem(), description.bytes,
                              gameFontNeeds(scale), plan.font))
        return refuse(description, _("damaged"), refused);
    PictureHeader header;
    if (!readHeader(plan, plan.font.textureName, MAX_PICTURE_BYTES, picture, header, refused))
        return false;
    if (pictureKindByName(picture.name.c_str()) != PictureKind::PNG || !header.alpha)
        return refuse(picture, _("no PNG with alpha"), refused);
    if (header.width < plan.font.right || header.height < plan.font.bottom)
        return refuse(picture, _("smaller than its glyphs"), refused);
    picture.width = header.width;
    picture.height = header.height;
    description.accepted = picture.accepted = true;
    return true;
}

// Mounted only when the check accepts it, and kept only when the engine
// lists exactly what was checked: an entry read any other way than it
// was checked is never opened.
io::IFileArchive* mountArchive(std::vector<ArchiveEntry>& accepted) {
    io::IFileSystem* files = gameState.device->getFileSystem();
    io::IFileArchive* archive = nullptr;
    if (!files->existFile(ARCHIVE_NAME) || !isArchiveSafeToMount(ARCHIVE_NAME, accepted) ||
        !files->addFileArchive(ARCHIVE_NAME, true, true, io::EFAT_ZIP, "", &archive) || !archive)
        return nullptr;
    if (!engineListsAccepted(files, archive->getFileList(), accepted)) {
        files->removeFileArchive(archive);
        return nullptr;
    }
    return archive;
}

// Once it held a file that had to be refused, the archive counts as
// damaged: it is reported and no file is read from it any more.
void unmountArchive(AssetPlan& plan) {
    gameState.device->getFileSystem()->removeFileArchive(plan.archive);
    plan.archive = nullptr;
    plan.report.archive = ARCHIVE_NAME;
}

enum class SetCheck { WHOLE, NOT_WHOLE, ARCHIVE_DAMAGED };

// Checks the font, the pictures and the icons for `plan.scale` that are
// not decided yet. With `wholeSet` the font and pictures are used whole or
// not at all, and the first one missing or refused ends the check. A file
// of the archive that is refused damages the archive; other files missing
// or refused are told and left out. The icons are the same at every scale
// and never decide it.
SetCheck checkSet(AssetPlan& plan, bool wholeSet, Refused& refused) {
    const auto decided = [&](bool accepted, bool inSet) {
        if (accepted)
            return true;
        if ((wholeSet && inSet) || (refused.fromArchive && !refused.missing))
            return false;
        note(plan.report, refused);
        return true;
    };
    const auto ended = [&](bool inSet) {
        return wholeSet && inSet ? SetCheck::NOT_WHOLE : SetCheck::ARCHIVE_DAMAGED;
    };
    if (!plan.fontDescription.accepted && !decided(checkFont(plan, plan.scale, refused), true))
        return ended(true);
    for (int i = 0; i < PICTURE_COUNT; ++i)
        if (!plan.pictures[i].accepted &&
            !decided(checkPicture(plan, wantedPicture(i), plan.scale, plan.pictures[i], refused),
                     true))
            return ended(true);
    for (int i = 0; i < ICON_COUNT; ++i)
        if (!plan.icons[i].accepted &&
            !decided(checkPicture(plan, ICONS[i], 1, plan.icons[i], refused), false))
            return ended(false);
    return SetCheck::WHOLE;
}

// Forgets what was read from the archive (everything, with `all`), so
// that it is looked for again.
void forgetChecked(AssetPlan& plan, bool all) {
    const auto forget = [all](CheckedFile& file) {
        if (all || file.fromArchive)
            file = CheckedFile();
    };
    if (all || plan.fontDescription.fromArchive || plan.fontPicture.fromArchive) {
        plan.fontDescription = CheckedFile();
        plan.fontPicture = CheckedFile();
    }
    for (CheckedFile& file : plan.pictures)
        forget(file);
    for (CheckedFile& file : plan.icons)
        forget(file);
}

IrrlichtDevice* createCheckingDevice() {
    SIrrlichtCreationParameters parameters;
    parameters.DriverType = video::EDT_NULL;
    parameters.LoggingLevel = ELL_NONE;
    return createDeviceEx(parameters);
}

// ---------------------------------------------------------------------
// After the window.

// Reads the checked picture again, whole now, and decodes it.
video::IImage* decodeChecked(const CheckedFile& file) {
    std::vector<unsigned char> bytes;
    if (!readEngineFile(gameState.device->getFileSystem(), file.name.c_str(), file.maxBytes, bytes))
        return nullptr;
    video::IImage* image = decodeCheckedPicture(gameState.videoDriver, file.name.c_str(), bytes,
                                                std::max(file.width, file.height));
    if (image && image->getDimension() != core::dimension2d<u32>(file.width, file.height)) {
        image->drop();
        image = nullptr;
    }
    return image;
}

Refused damaged(const CheckedFile& file) {
    Refused refused;
    refused.name = file.name;
    refused.fromArchive = file.fromArchive;
    refused.why = _("damaged");
    return refused;
}

// Where the next stand-in comes from after a file failed: at scale 2 the
// set for scale 1, else the working directory in place of the archive,
// which then counts as damaged. False when nothing is left to try.
bool nextPlace(AssetPlan& plan, int& scale, bool fromArchive) {
    if (scale > 1) {
        scale = 1;
        return true;
    }
    if (fromArchive && plan.archive) {
        unmountArchive(plan);
        return true;
    }
    return false;
}

// The picture `file`, decoded, or its stand-ins in turn when it fails;
// at the size the game draws it at, or null when nothing served.
video::IImage* decodePicture(AssetPlan& plan, CheckedFile& file, const Wanted& wanted) {
    int scale = wanted.scaled ? plan.scale : 1;
    Refused refused;
    bool checked = true;
    // Once the archive counts as damaged, what it held is looked for among
    // the loose files.
    if (file.fromArchive && !plan.archive &&
        !(checked = checkPicture(plan, wanted, scale, file, refused)))
        noteFailed(plan, refused, scale);
    for (;;) {
        if (checked) {
            if (video::IImage* image = decodeChecked(file))
                return wanted.scaled && scale < plan.scale ? twiceTheSize(image) : image;
            refused = damaged(file);
            noteFailed(plan, refused, scale);
        }
        if (!nextPlace(plan, scale, refused.fromArchive))
            return nullptr;
        checked = checkPicture(plan, wanted, scale, file, refused);
        if (!checked)
            noteFailed(plan, refused, scale);
    }
}

// The font for scale 1 where the one for scale 2 failed: its picture and
// glyphs at twice the size, checked again as a font for scale 2.
gui::IGUIFont* makeTwiceSizeFont(const AssetPlan& plan, video::IImage* picture) {
    const std::vector<unsigned char> description = twiceSizeDescription(plan.fontDescription.bytes);
    FontDescription checked;
    if (!checkFontDescription(gameState.device->getFileSystem(), description, gameFontNeeds(2),
                              checked)) {
        picture->drop();
        return nullptr;
    }
    return makeFont(plan.fontDescription.name, description, plan.font.textureName,
                    twiceTheSize(picture));
}

// The font, or its stand-ins in turn when its picture fails to decode or
// the engine will not take it.
gui::IGUIFont* loadFont(AssetPlan& plan) {
    int scale = plan.scale;
    Refused refused;
    bool checked = plan.fontDescription.accepted;
    if (!checked)
        return nullptr;
    if ((plan.fontDescription.fromArchive || plan.fontPicture.fromArchive) && !plan.archive &&
        !(checked = checkFont(plan, scale, refused)))
        noteFailed(plan, refused, scale);
    for (;;) {
        if (checked) {
            gui::IGUIFont* font = nullptr;
            video::IImage* picture = decodeChecked(plan.fontPicture);
            if (picture && scale < plan.scale)
                font = makeTwiceSizeFont(plan, picture);
            else if (picture)
                font = makeFont(plan.fontDescription.name, plan.fontDescription.bytes,
                                plan.font.textureName, picture);
            if (font)
                return font;
            refused = damaged(picture ? plan.fontDescription : plan.fontPicture);
            noteFailed(plan, refused, scale);
        }
        if (!nextPlace(plan, scale, refused.fromArchive))
            return nullptr;
        checked = checkFont(plan, scale, refused);
        if (!checked)
            noteFailed(plan, refused, scale);
    }
}

void loadIcons(AssetPlan& plan) {
    video::IImage* icons[ICON_COUNT] = {};
    for (int i = 0; i < ICON_COUNT; ++i)
        if (plan.icons[i].accepted)
            icons[i] = decodePicture(plan, plan.icons[i], ICONS[i]);
    setWindowIcon(icons, ICON_COUNT);
    for (video::IImage* icon : icons)
        if (icon)
            icon->drop();
}

void loadPicture(AssetPlan& plan, int i) {
    if (!plan.pictures[i].accepted)
        return;
    video::IImage* image = decodePicture(plan, plan.pictures[i], wantedPicture(i));
    if (!image)
        return;
    *textureOf(i) = addPictureTexture(plan.pictures[i].name.c_str(), image);
    image->drop();
}

} // namespace

FontNeeds gameFontNeeds(int scale) {
    FontNeeds needs;
    // Every printable ASCII character: the game's texts and the names of
    // files a box may tell of.
    for (wchar_t c = L' '; c <= L'~'; ++c)
        needs.characters += c;
    needs.minLineHeight = MIN_LINE_HEIGHT * static_cast<unsigned>(scale);
    needs.maxLineHeight = MAX_LINE_HEIGHT * static_cast<unsigned>(scale);
    return needs;
}

AssetPlan::~AssetPlan() {
    if (archive && !archiveAdopted)
        archive->drop();
    if (archiveFile >= 0)
        close(archiveFile);
}

void checkAssets(int scale, AssetPlan& plan) {
    IrrlichtDevice* checking = createCheckingDevice();
    plan.scale = 1;
    gameState.scale = 1;
    if (!checking) {
        plan.report.archive = ARCHIVE_NAME;
        return;
    }
    gameState.device = checking;
    plan.archive = mountArchive(plan.archiveEntries);
    if (plan.archive)
        plan.archiveFile = open(ARCHIVE_NAME, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    else
        plan.report.archive = ARCHIVE_NAME;
    Refused refused;
    SetCheck check = SetCheck::NOT_WHOLE;
    if (scale > 1) {
        plan.scale = gameState.scale = scale;
        while ((check = checkSet(plan, true, refused)) == SetCheck::ARCHIVE_DAMAGED) {
            unmountArchive(plan);
            forgetChecked(plan, false);
        }
        if (check == SetCheck::NOT_WHOLE) {
            // Pictures of two sizes would not fit together.
            std::fputs(formatText(_("kavenna: %s is %s: the game plays at scale 1\n"),
                                  {refused.name, refused.why})
                           .c_str(),
                       stderr);
            note(plan.report, refused);
            forgetChecked(plan, true);
            plan.scale = gameState.scale = 1;
        }
    }
    while (check != SetCheck::WHOLE &&
           (check = checkSet(plan, false, refused)) == SetCheck::ARCHIVE_DAMAGED) {
        unmountArchive(plan);
        forgetChecked(plan, false);
    }
    // The checking device goes; the archive stays for the game's.
    if (plan.archive)
        plan.archive->grab();
    if (plan.archiveFile >= 0)
        close(plan.archiveFile);
    plan.archiveFile = -1;
    gameState.device = nullptr;
    checking->drop();
}

void adoptCheckedArchive(AssetPlan& plan) {
    if (!plan.archive || plan.archiveAdopted)
        return;
    gameState.device->getFileSystem()->addFileArchive(plan.archive);
    plan.archiveAdopted = true;
}

void loadAssets(AssetPlan& plan) {
    loadPicture(plan, 0);
    gui::IGUIFont* font = loadFont(plan);
    for (int i = 1; i < PICTURE_COUNT; ++i)
        loadPicture(plan, i);
    // The table's second half names the same pictures again.
    for (int k = PAIR_COUNT; k < TILE_COUNT; ++k)
        pictures.faceTextures[k] = pictures.faceTextures[k - PAIR_COUNT];
    loadIcons(plan);
    dressSkin(font);
    // Added only now: a message box is laid out for the skin's font of the
    // moment, and the player must be able to read it.
    if (reportNeeded(plan.report))
        showFileReport(plan.report);
}
