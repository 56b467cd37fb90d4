// Hostile data files, loose and as an entry of an otherwise sound
// archive: one file of every class that once crashed, hung or exhausted
// the engine's loaders (written by make_hostile_files.py at build time),
// and seeded random mutations of every kind of entry. Each case runs the
// shipped start-up and a whole session (intro, About, the board, a won
// game, Exit) in a child process with a time limit and an address-space
// limit; the file must be refused and named in the box, the game play
// on, and an archive holding it be reported and left unmounted while the
// loose files serve.
// KAVENNA_MUTATIONS sets the number of mutations of each kind (200 by
// default) and KAVENNA_MUTATION_SEED the seed.
#include "file_checks/picture_header.h"
#include "support/child.h"
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

using namespace irr;

namespace {

const int BOX_SHOWN = 1;
const int MOUNTED = 2;
const int TARGET_LOADED = 4;
const int OTHERS_LOADED = 8;
const int SESSION_DONE = 16;
// The box names the file, or names the archive alone.
const int FILE_NAMED = 32;
const int ARCHIVE_NAMED = 64;

const int CHILD_SECONDS = 30;
// A case takes a tenth of a second; no file may cost the game more
// than a moment, and a check that reads a whole archive byte by byte
// takes tens of seconds.
const int CLASS_CHILD_SECONDS = 5;
// Far above what the game takes, far below what the engine once took.
const rlim_t CHILD_ADDRESS_SPACE = rlim_t(3) << 30;

bool fontLoaded() {
    gui::IGUIFont* font = gameState.guiEnvironment->getSkin()->getFont();
    return font && font != gameState.guiEnvironment->getBuiltInFont();
}

// Whether the asset `name` made it into the game; the font and its
// picture stand or fall together.
bool assetLoaded(const std::string& name) {
    if (name == "f.xml" || name == "f0.png")
        return fontLoaded();
    const std::map<std::string, video::ITexture*> named = {
        {"h.jpg", pictures.hiddenTexture},
        {"m.png", pictures.menuBackgroundTexture},
        {"s.png", pictures.splashTexture},
        {"w.jpg", pictures.buttonFaceTexture}};
    if (named.count(name))
        return named.at(name) != nullptr;
    const int k = std::atoi(name.c_str()) - 1;
    return pictures.faceTextures[k] && pictures.faceTextures[k + PAIR_COUNT];
}

// The set drawn at twice the pixels is read only at scale 2, which these
// sessions do not play at.
bool readAtScaleOne(const std::string& name) {
    return name.find("@2x") == std::string::npos;
}

bool sameGroup(const std::string& a, const std::string& b) {
    const auto font = [](const std::string& n) { return n == "f.xml" || n == "f0.png"; };
    return a == b || (font(a) && font(b));
}

// What the box says of `target`: a word of its text, or nothing but the
// archive's line.
int told(const std::string& target) {
    const std::string text = fileReportText();
    if (text == "error opening tesmor.dat")
        return ARCHIVE_NAMED;
    std::istringstream words(text);
    for (std::string word; words >> word;)
        if (word == target)
            return FILE_NAMED;
    return 0;
}

// The shipped start-up and a whole session, in the current directory.
int playSession(const std::string& target) {
    NullGame game;
    int flags = findId(ID_ARCHIVE_ERROR_BOX) ? BOX_SHOWN | told(target) : 0;
    if (gameState.device->getFileSystem()->getFileArchiveCount() > 0)
        flags |= MOUNTED;
    if (assetLoaded(target))
        flags |= TARGET_LOADED;
    bool others = true;
    for (const std::string& name : shownAssetNames())
        others = others && (!readAtScaleOne(name) || sameGroup(name, target) || assetLoaded(name));
    if (others)
        flags |= OTHERS_LOADED;

    game.setTime(gameState.startTime + 2000);
    game.frame();
    game.skipIntro();
    game.clickId(ID_ABOUT);
    if (!findId(ID_BACK))
        return flags;
    game.clickId(ID_BACK);
    game.clickId(ID_START_GAME);
    playEveryPair(game);
    if (countId(ID_WIN_BOX) != 1)
        return flags;
    game.dismissBox(ID_WIN_BOX);
    game.chooseMenu(1);
    return game.frame() ? flags : flags | SESSION_DONE;
}

ChildEnd runChild(const std::string& target, int seconds = CHILD_SECONDS) {
    return runInChild(
        [&target] {
#ifndef __SANITIZE_ADDRESS__
            // AddressSanitizer reserves terabytes of address space up front.
            const rlimit space{CHILD_ADDRESS_SPACE, CHILD_ADDRESS_SPACE};
            setrlimit(RLIMIT_AS, &space);
#endif
            // The deal trace is of no interest here.
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            return playSession(target);
        },
        seconds);
}

std::string flagNames(int flags) {
    std::string names;
    const char* const NAMES[] = {"box",     "mounted",    "target",       "others",
                                 "session", "file named", "archive named"};
    for (int bit = 0; bit < 7; ++bit)
        if (flags & (1 << bit))
            names += std::string(names.empty() ? "" : "+") + NAMES[bit];
    return names.empty() ? "none" : names;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string pristine(const std::string& name) {
    return readFile(std::string(KAVENNA_DATA_DIR) + "/" + name);
}

// ---------------------------------------------------------------------
// One file of every class.

// What the game makes of a class: refused wherever it lies; a picture
// that is well formed once what the game never reads is skipped, shown
// on time; or an archive of its own, with no loose file.
enum class Outcome { REFUSED, SHOWN, ARCHIVE_ONLY };

struct HostileClass {
    const char* name;
    const char* entry;
    Outcome outcome = Outcome::REFUSED;
};

const HostileClass CLASSES[] = {
    {"jpeg-21846-wide", "h.jpg"},
    {"cmyk-jpeg-16384-wide", "w.jpg"},
    {"png-size-wraps", "s.png"},
    {"tga-rle-as-png", "m.png"},
    {"pcx-rle-as-jpeg", "1.jpg"},
    {"bmp-rle8-as-jpeg", "2.jpg"},
    {"bmp-16-bit-as-jpeg", "3.jpg"},
    {"ppm-as-jpeg", "4.jpg"},
    {"jpeg-cut-after-3-bytes", "5.jpg"},
    {"jpeg-truncated", "6.jpg"},
    {"jpeg-empty", "7.jpg"},
    {"png-declares-20000-square", "m.png"},
    {"jpeg-declares-60000-square", "8.jpg"},
    {"font-picture-truncated", "f0.png"},
    {"png-cut-in-its-image-data", "m.png"},
    {"tile-at-twice-the-size", "h.jpg"},
    {"font-picture-without-alpha", "f0.png"},
    {"font-picture-smaller-than-its-glyphs", "f0.png"},
    {"jpeg-100-scans", "1.jpg", Outcome::SHOWN},
    {"jpeg-101-scans", "2.jpg"},
    {"png-998-compressed-text-chunks", "m.png", Outcome::SHOWN},
    {"jpeg-arithmetic-empty-scans", "9.jpg"},
    {"png-1601-by-1000", "s.png"},
    {"jpeg-1000-by-801", "10.jpg"},
    {"glyph-without-character", "f.xml"},
    {"glyph-cut-by-nul", "f.xml"},
    {"glyph-on-texture-1", "f.xml"},
    {"no-glyphs", "f.xml"},
    {"open-element-at-end", "f.xml"},
    {"open-comment-at-end", "f.xml"},
    {"open-end-tag-at-end", "f.xml"},
    {"utf16-big-endian", "f.xml"},
    {"utf16-odd-length", "f.xml"},
    {"utf16-glyph-of-a-surrogate-pair", "f.xml"},
    {"utf32-big-endian-odd-length", "f.xml"},
    {"texture-index-minus-one", "f.xml"},
    {"two-million-ampersands", "f.xml"},
    {"empty-font-description", "f.xml"},
    {"font-has-alpha-false", "f.xml"},
    {"glyph-of-no-width", "f.xml"},
    {"glyph-offset-past-its-width", "f.xml"},
    {"one-rectangle-for-every-character", "f.xml"},
    {"glyph-120-tall", "f.xml"},
    {"atlas-a-jpeg", "f.xml"},
    {"png-data-for-twice-its-height", "s.png"},
    {"png-index-past-the-palette", "m.png"},
    {"font-inflates-to-1-gib", "f.xml"},
    {"archive-name-32768-bytes", "h.jpg", Outcome::ARCHIVE_ONLY},
    {"archive-local-extra-40000-bytes", "m.png", Outcome::ARCHIVE_ONLY},
    {"archive-entries-past-2-gib", "h.jpg", Outcome::ARCHIVE_ONLY},
    {"archive-entries-past-64-mib", "h.jpg", Outcome::ARCHIVE_ONLY},
    {"archive-no-end-record-64-mib", "h.jpg", Outcome::ARCHIVE_ONLY},
    {"archive-entries-inflate-past-64-mib", "h.jpg", Outcome::ARCHIVE_ONLY},
};

std::string sizeText(const PictureHeader& header) {
    return std::to_string(header.width) + "x" + std::to_string(header.height);
}

std::string classDir(const HostileClass& hostile) {
    return std::string(KAVENNA_HOSTILE_FILES) + "/" + hostile.name;
}

// The generator draws with Pillow; without it the build writes nothing.
bool generated() {
    return access(KAVENNA_HOSTILE_FILES, F_OK) == 0;
}

TEST(HostileFiles, EveryClassIsRefusedAsALooseFile) {
    if (!generated())
        GTEST_SKIP() << "no hostile files: Pillow was not found when configuring";
    for (const HostileClass& hostile : CLASSES) {
        if (hostile.outcome == Outcome::ARCHIVE_ONLY)
            continue;
        SCOPED_TRACE(hostile.name);
        ScratchDirectory dir;
        dir.addLooseAssets();
        // Linked, not copied: one of them is a 1 GiB file with no data.
        std::remove(hostile.entry);
        const std::string file = classDir(hostile) + "/loose/" + hostile.entry;
        ASSERT_EQ(access(file.c_str(), R_OK), 0) << "missing " << file;
        ASSERT_EQ(symlink(file.c_str(), hostile.entry), 0);
        const ChildEnd outcome = runChild(hostile.entry, CLASS_CHILD_SECONDS);
        EXPECT_TRUE(outcome.finished) << outcome.how;
        // The box is there for the missing archive; a refused file is
        // named in it too.
        const int shown =
            hostile.outcome == Outcome::SHOWN ? TARGET_LOADED | ARCHIVE_NAMED : FILE_NAMED;
        EXPECT_EQ(flagNames(outcome.code),
                  flagNames(BOX_SHOWN | shown | OTHERS_LOADED | SESSION_DONE));
    }
}

TEST(HostileFiles, AnArchiveHoldingAnyClassIsReportedAndTheLooseFilesServe) {
    if (!generated())
        GTEST_SKIP() << "no hostile files: Pillow was not found when configuring";
    for (const HostileClass& hostile : CLASSES) {
        SCOPED_TRACE(hostile.name);
        ScratchDirectory dir;
        dir.addLooseAssets();
        // Linked: some are sparse files of gigabytes.
        ASSERT_EQ(symlink((classDir(hostile) + "/tesmor.dat").c_str(), "tesmor.dat"), 0);
        const ChildEnd outcome = runChild(hostile.entry, CLASS_CHILD_SECONDS);
        EXPECT_TRUE(outcome.finished) << outcome.how;
        const int place = hostile.outcome == Outcome::SHOWN ? MOUNTED : BOX_SHOWN | ARCHIVE_NAMED;
        EXPECT_EQ(flagNames(outcome.code),
                  flagNames(place | TARGET_LOADED | OTHERS_LOADED | SESSION_DONE));
    }
}

// The scans of a JPEG are counted from its markers: one past the limit is
// refused before a single scan is decoded.
TEST(HostileFiles, JpegScansAreCountedBeforeDecoding) {
    if (!generated())
        GTEST_SKIP() << "no hostile files: Pillow was not found when configuring";
    for (const char* name : {"jpeg-100-scans/loose/1.jpg", "jpeg-101-scans/loose/2.jpg"}) {
        SCOPED_TRACE(name);
        const std::string file = readFile(std::string(KAVENNA_HOSTILE_FILES) + "/" + name);
        const std::vector<unsigned char> bytes(file.begin(), file.end());
        PictureHeader header;
        const bool accepted = readPictureHeader(PictureKind::JPEG, bytes, header);
        EXPECT_EQ(accepted, std::strstr(name, "-100-") != nullptr);
        if (accepted) {
            EXPECT_EQ(sizeText(header), "100x50");
        }
    }
}

// ---------------------------------------------------------------------
// Seeded random mutations.

unsigned fromEnvironment(const char* name, unsigned fallback) {
    const char* value = std::getenv(name);
    return value && *value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : fallback;
}

bool isPicture(const std::string& name) {
    return name.size() > 4 && (name.compare(name.size() - 4, 4, ".png") == 0 ||
                               name.compare(name.size() - 4, 4, ".jpg") == 0);
}

// PNG chunks carry checksums; with them mended, a mutation reaches the
// decoder instead of stopping at the first chunk.
void mendPngChecksums(std::string& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = static_cast<std::uint32_t>(
            static_cast<unsigned char>(png[at]) << 24 |
            static_cast<unsigned char>(png[at + 1]) << 16 |
            static_cast<unsigned char>(png[at + 2]) << 8 | static_cast<unsigned char>(png[at + 3]));
        if (length > png.size() - at - 12)
            return;
        const std::uint32_t crc = static_cast<std::uint32_t>(
            ::crc32(0, reinterpret_cast<const Bytef*>(&png[at + 4]), length + 4));
        for (int i = 0; i < 4; ++i)
            png[at + 8 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

std::string mutate(std::string bytes, std::mt19937& random, bool text) {
    static const char* const TOKENS[] = {
        "<",         ">",       "&",       "\"",           "'",
        "</font",    "<!--",    "-->",     "<c",           "&amp;",
        "&#65;",     "i=\"1\"", "\"-1\"",  "4294967295",   "99999",
        "<![CDATA[", "<?x",     " c=\"\"", "\xef\xbb\xbf", "<!DOCTYPE f [<!ENTITY a \"aa\">]>",
        "/>",        "\t\r\n"};
    static const unsigned char BYTES[] = {0x00, 0xff, 0x7f, 0x80, 0x01, 0xfe, '<', '&'};
    const int operations = 1 + static_cast<int>(random() % 3);
    for (int op = 0; op < operations; ++op) {
        const size_t size = bytes.size();
        const size_t at = size ? random() % size : 0;
        switch (random() % 7) {
        case 0:
            for (int n = 1 + static_cast<int>(random() % 8); size && n > 0; --n)
                bytes[random() % size] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 1:
            if (size)
                bytes[at] = static_cast<char>(BYTES[random() % sizeof BYTES]);
            break;
        case 2:
            bytes.erase(at, 1 + random() % 64);
            break;
        case 3:
            if (text) {
                bytes.insert(at, TOKENS[random() % (sizeof TOKENS / sizeof *TOKENS)]);
            } else {
                std::string noise(1 + random() % 16, '\0');
                for (char& c : noise)
                    c = static_cast<char>(random());
                bytes.insert(at, noise);
            }
            break;
        case 4:
            bytes.resize(at);
            break;
        case 5:
            bytes.insert(at, bytes.substr(random() % (size + 1), random() % 256));
            break;
        default:
            // A large number where a size or count may stand.
            if (text)
                bytes.insert(at, "65535");
            else if (size >= 4)
                for (size_t i = random() % (size - 3), n = 0; n < 2; ++n)
                    bytes[i + n] = static_cast<char>(0x7f + n);
            break;
        }
    }
    return bytes;
}

void runMutations(const std::string& target) {
    const unsigned count = fromEnvironment("KAVENNA_MUTATIONS", 200);
    const unsigned seed = fromEnvironment("KAVENNA_MUTATION_SEED", 11);
    std::mt19937 random(seed ^ static_cast<unsigned>(std::hash<std::string>()(target)));
    const std::string original = pristine(target);
    const bool text = !isPicture(target);
    ScratchDirectory dir;
    dir.addLooseAssets();
    int accepted = 0;
    for (unsigned round = 0; round < count; ++round) {
        std::string mutated = mutate(original, random, text);
        if (target.compare(target.size() - 4, 4, ".png") == 0 && round % 2 == 0)
            mendPngChecksums(mutated);
        const bool inArchive = round % 2 == 1;
        if (inArchive) {
            writeFile(target, original);
            writeAssetArchive({{target, mutated}});
        } else {
            std::remove("tesmor.dat");
            writeFile(target, mutated);
        }
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round) +
                     (inArchive ? ", in the archive" : ", loose"));
        const ChildEnd outcome = runChild(target);
        ASSERT_TRUE(outcome.finished) << outcome.how;
        ASSERT_TRUE(outcome.code & SESSION_DONE) << flagNames(outcome.code);
        ASSERT_TRUE(outcome.code & OTHERS_LOADED) << flagNames(outcome.code);
        if (inArchive) {
            // Mounted, or reported with the loose files serving; either
            // way the picture or font shows.
            const int place = outcome.code & (MOUNTED | BOX_SHOWN);
            EXPECT_TRUE(place == MOUNTED || place == BOX_SHOWN) << flagNames(outcome.code);
            EXPECT_TRUE(outcome.code & TARGET_LOADED) << flagNames(outcome.code);
            accepted += place == MOUNTED;
        } else {
            EXPECT_EQ(outcome.code & (MOUNTED | BOX_SHOWN), BOX_SHOWN);
            accepted += (outcome.code & TARGET_LOADED) != 0;
        }
    }
    // Some mutations leave a file that is still sound; most do not.
    EXPECT_LT(accepted, static_cast<int>(count));
}

TEST(HostileFiles, MutatedFontDescriptions) {
    runMutations("f.xml");
}

TEST(HostileFiles, MutatedPngPictures) {
    runMutations("f0.png");
}

TEST(HostileFiles, MutatedJpegPictures) {
    runMutations("h.jpg");
}

} // namespace
