// A damaged archive must neither hang nor crash the game, and must not
// be mounted: it is reported like a missing one. A sound one, by any
// common ZIP writer, is mounted. Each case starts the game in a child
// process with a time limit, so a hang fails the test instead of
// stalling the run.
#include "support/child.h"
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <cstdint>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

const int BOX_SHOWN = 1;
const int MOUNTED = 2;
// The game's font and every picture loaded.
const int LOADED = 4;
const int CHILD_SECONDS = 20;

// Starts the game on `archive` as "tesmor.dat" in an empty directory.
ChildEnd startOn(const std::string& archive) {
    ScratchDirectory dir;
    {
        std::ofstream out("tesmor.dat", std::ios::binary);
        out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
    }
    return runInChild(
        [] {
            NullGame game;
            int flags = findId(ID_ARCHIVE_ERROR_BOX) ? BOX_SHOWN : 0;
            if (gameState.device->getFileSystem()->getFileArchiveCount() > 0)
                flags |= MOUNTED;
            bool loaded = pictures.hiddenTexture && pictures.menuBackgroundTexture &&
                          pictures.splashTexture && pictures.buttonFaceTexture &&
                          gameState.guiEnvironment->getSkin()->getFont() !=
                              gameState.guiEnvironment->getBuiltInFont();
            for (irr::video::ITexture* face : pictures.faceTextures)
                loaded = loaded && face;
            if (loaded)
                flags |= LOADED;
            return flags;
        },
        CHILD_SECONDS);
}

std::uint32_t readLittle(const std::string& bytes, size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct Span {
    size_t begin;
    size_t end;
};

// Where each entry's compressed data lies, read from the central
// directory (local headers may defer their sizes to data descriptors).
std::vector<Span> entryData(const std::string& zip) {
    std::vector<Span> spans;
    const size_t end = zip.size() - 22;
    size_t at = readLittle(zip, end + 16, 4);
    while (readLittle(zip, at, 4) == 0x02014b50) {
        const size_t local = readLittle(zip, at + 42, 4);
        const size_t begin =
            local + 30 + readLittle(zip, local + 26, 2) + readLittle(zip, local + 28, 2);
        spans.push_back({begin, begin + readLittle(zip, at + 20, 4)});
        at += 46 + readLittle(zip, at + 28, 2) + readLittle(zip, at + 30, 2) +
              readLittle(zip, at + 32, 2);
    }
    return spans;
}

bool insideData(const std::vector<Span>& spans, size_t at) {
    for (const Span& span : spans)
        if (at >= span.begin && at < span.end)
            return true;
    return false;
}

std::vector<std::string> writerArchives() {
    std::vector<std::string> paths;
    DIR* dir = opendir(KAVENNA_WRITER_ARCHIVES);
    if (!dir)
        return paths;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".zip") == 0)
            paths.push_back(std::string(KAVENNA_WRITER_ARCHIVES) + "/" + name);
    }
    closedir(dir);
    return paths;
}

// Whether an archive keeps an entry's sizes in a data descriptor, as
// streaming writers do.
bool hasDataDescriptors(const std::string& zip) {
    return readLittle(zip, 0, 4) == 0x04034b50 && (readLittle(zip, 6, 2) & 0x8) != 0;
}

class DamagedArchive : public ::testing::Test {
  protected:
    std::string pristine = readFile("tesmor.dat");
};

// Flips bytes of `pristine` at random: the game neither hangs nor
// crashes, and an archive whose entry data was hit is never mounted.
void flipBytes(const std::string& pristine, unsigned seed, int rounds) {
    std::mt19937 random(seed);
    const std::vector<Span> data = entryData(pristine);
    ASSERT_GE(data.size(), 16u);
    std::uniform_int_distribution<size_t> anywhere(0, pristine.size() - 1);
    std::uniform_int_distribution<int> bits(1, 255);
    std::uniform_int_distribution<int> howMany(1, 4);
    int dataCases = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string damaged = pristine;
        bool dataHit = false;
        const int flips = howMany(random);
        for (int i = 0; i < flips; ++i) {
            const size_t at = anywhere(random);
            damaged[at] = static_cast<char>(damaged[at] ^ bits(random));
            dataHit = dataHit || insideData(data, at);
        }
        dataCases += dataHit;
        SCOPED_TRACE(round);
        const ChildEnd outcome = startOn(damaged);
        ASSERT_TRUE(outcome.finished) << outcome.how;
        // Reported, or mounted with everything in it: never both, never
        // neither, and never a picture silently lost.
        EXPECT_TRUE(outcome.code == (MOUNTED | LOADED) || outcome.code == BOX_SHOWN)
            << outcome.code;
        if (dataHit) {
            EXPECT_EQ(outcome.code, BOX_SHOWN);
        }
    }
    EXPECT_GT(dataCases, rounds / 2) << "too few cases damaged entry data";
}

void truncate(const std::string& pristine, unsigned seed, size_t count) {
    std::mt19937 random(seed);
    std::vector<size_t> lengths = {0,
                                   1,
                                   4,
                                   22,
                                   29,
                                   30,
                                   pristine.size() - 1,
                                   pristine.size() - 21,
                                   pristine.size() - 22,
                                   pristine.size() - 23};
    std::uniform_int_distribution<size_t> anywhere(0, pristine.size() - 1);
    while (lengths.size() < count)
        lengths.push_back(anywhere(random));
    for (size_t length : lengths) {
        SCOPED_TRACE(length);
        const ChildEnd outcome = startOn(pristine.substr(0, length));
        ASSERT_TRUE(outcome.finished) << outcome.how;
        EXPECT_EQ(outcome.code, BOX_SHOWN);
    }
}

TEST_F(DamagedArchive, ThePristineArchiveIsMountedWithoutABox) {
    ASSERT_GT(pristine.size(), 1000u);
    // No data descriptors: the engine's reader depends on sizes in place.
    for (size_t at = 0; at + 8 <= pristine.size(); ++at) {
        if (readLittle(pristine, at, 4) == 0x04034b50) {
            EXPECT_EQ(readLittle(pristine, at + 6, 2) & 0x8, 0u) << "entry at " << at;
        }
    }
    const ChildEnd outcome = startOn(pristine);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.code, MOUNTED | LOADED);
}

TEST_F(DamagedArchive, ArchivesOfEveryCommonWriterAreMounted) {
    const std::vector<std::string> archives = writerArchives();
    // Python's zipfile is always there, to a file and to a pipe.
    ASSERT_GE(archives.size(), 2u);
    int withDescriptors = 0;
    for (const std::string& path : archives) {
        SCOPED_TRACE(path);
        const std::string archive = readFile(path);
        withDescriptors += hasDataDescriptors(archive);
        const ChildEnd outcome = startOn(archive);
        ASSERT_TRUE(outcome.finished) << outcome.how;
        EXPECT_EQ(outcome.code, MOUNTED | LOADED);
    }
    EXPECT_GE(withDescriptors, 1);
}

// Damage to an archive whose sizes sit in data descriptors once made the
// engine's reader search for ever; the writers that write them serve as
// the pristine archives here.
TEST_F(DamagedArchive, DamageWithDataDescriptorsIsReportedAndNeverHangs) {
    unsigned seed = 26121;
    for (const std::string& path : writerArchives()) {
        const std::string archive = readFile(path);
        if (!hasDataDescriptors(archive))
            continue;
        SCOPED_TRACE(path);
        truncate(archive, seed++, 40);
        flipBytes(archive, seed++, 40);
        // A comment after the end record: sound, but the engine's search
        // may step over the record. Mounted whole or reported, never hung.
        for (size_t length = 1; length <= 8; ++length) {
            SCOPED_TRACE(length);
            std::string commented = archive + std::string(length, 'P');
            commented[archive.size() - 2] = static_cast<char>(length);
            const ChildEnd outcome = startOn(commented);
            ASSERT_TRUE(outcome.finished) << outcome.how;
            EXPECT_TRUE(outcome.code == (MOUNTED | LOADED) || outcome.code == BOX_SHOWN)
                << outcome.code;
        }
    }
}

TEST_F(DamagedArchive, TruncatedAtAnyLengthIsReportedAndNotMounted) {
    truncate(pristine, 20261208, 160);
}

TEST_F(DamagedArchive, FlippedBytesNeverHangAndBadDataIsNeverMounted) {
    flipBytes(pristine, 8122026, 160);
}

} // namespace
