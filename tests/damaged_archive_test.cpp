// A damaged archive must neither hang nor crash the game, and must not
// be mounted: it is reported like a missing one. Each case starts the
// game in a child process with a time limit, so a hang fails the test
// instead of stalling the run.
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

const int BOX_SHOWN = 1;
const int MOUNTED = 2;
const int CHILD_SECONDS = 20;

struct Outcome {
    bool finished = false;
    int flags = 0;
};

// Starts the game on `archive` as "tesmor.dat" in an empty directory.
Outcome startOn(const std::string& archive) {
    ScratchDirectory dir;
    {
        std::ofstream out("tesmor.dat", std::ios::binary);
        out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
    }
    const pid_t child = fork();
    if (child == 0) {
        NullGame game;
        int flags = findId(ID_ARCHIVE_ERROR_BOX) ? BOX_SHOWN : 0;
        if (gameState.device->getFileSystem()->getFileArchiveCount() > 0)
            flags |= MOUNTED;
        std::fflush(nullptr);
        _exit(flags);
    }
    Outcome outcome;
    int status = 0;
    for (int waited = 0; waited < CHILD_SECONDS * 100; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child) {
            outcome.finished = WIFEXITED(status);
            outcome.flags = WEXITSTATUS(status);
            return outcome;
        }
        const timespec tick{0, 10 * 1000 * 1000};
        nanosleep(&tick, nullptr);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return outcome;
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

// Where each entry's compressed data lies, read from the local headers.
std::vector<Span> entryData(const std::string& zip) {
    std::vector<Span> spans;
    size_t at = 0;
    while (at + 30 <= zip.size() && readLittle(zip, at, 4) == 0x04034b50) {
        const size_t begin = at + 30 + readLittle(zip, at + 26, 2) + readLittle(zip, at + 28, 2);
        const size_t end = begin + readLittle(zip, at + 18, 4);
        spans.push_back({begin, end});
        at = end;
    }
    return spans;
}

bool insideData(const std::vector<Span>& spans, size_t at) {
    for (const Span& span : spans)
        if (at >= span.begin && at < span.end)
            return true;
    return false;
}

class DamagedArchive : public ::testing::Test {
  protected:
    std::string pristine = readFile("tesmor.dat");
};

TEST_F(DamagedArchive, ThePristineArchiveIsMountedWithoutABox) {
    ASSERT_GT(pristine.size(), 1000u);
    // No data descriptors: the engine's reader depends on sizes in place.
    for (size_t at = 0; at + 8 <= pristine.size(); ++at) {
        if (readLittle(pristine, at, 4) == 0x04034b50) {
            EXPECT_EQ(readLittle(pristine, at + 6, 2) & 0x8, 0u) << "entry at " << at;
        }
    }
    const Outcome outcome = startOn(pristine);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.flags, MOUNTED);
}

TEST_F(DamagedArchive, TruncatedAtAnyLengthIsReportedAndNotMounted) {
    std::mt19937 random(20261208);
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
    while (lengths.size() < 160)
        lengths.push_back(anywhere(random));
    for (size_t length : lengths) {
        SCOPED_TRACE(length);
        const Outcome outcome = startOn(pristine.substr(0, length));
        ASSERT_TRUE(outcome.finished) << "start-up hung or crashed";
        EXPECT_EQ(outcome.flags, BOX_SHOWN);
    }
}

TEST_F(DamagedArchive, FlippedBytesNeverHangAndBadDataIsNeverMounted) {
    std::mt19937 random(8122026);
    const std::vector<Span> data = entryData(pristine);
    ASSERT_EQ(data.size(), 16u);
    std::uniform_int_distribution<size_t> anywhere(0, pristine.size() - 1);
    std::uniform_int_distribution<int> bits(1, 255);
    std::uniform_int_distribution<int> howMany(1, 4);
    int dataCases = 0;
    for (int round = 0; round < 160; ++round) {
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
        const Outcome outcome = startOn(damaged);
        ASSERT_TRUE(outcome.finished) << "start-up hung or crashed";
        // Mounted and reported are never both true, nor both false.
        EXPECT_TRUE(outcome.flags == MOUNTED || outcome.flags == BOX_SHOWN) << outcome.flags;
        if (dataHit) {
            EXPECT_EQ(outcome.flags, BOX_SHOWN);
        }
    }
    EXPECT_GT(dataCases, 80) << "too few cases damaged entry data";
}

} // namespace
