#include "file_checks/picture_header.h"

#include "file_checks/limits.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace irr;

namespace {

const unsigned char PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
const unsigned char JPEG_SIGNATURE[] = {0xff, 0xd8, 0xff};
const size_t BLOCK_BYTES = 64 * 1024;

std::uint32_t bigEndian(const unsigned char* bytes, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// The file read a block at a time, so that many small reads of headers
// and a walk over entropy-coded data cost few calls and no large buffer.
class Blocks {
  public:
    Blocks(size_t size, const ReadAt& read) : size(size), readAt(read), block(BLOCK_BYTES) {}

    bool read(size_t at, void* out, size_t count) {
        if (at > size || count > size - at)
            return false;
        if (at < start || at + count > start + held) {
            if (count > BLOCK_BYTES)
                return readAt(at, out, count);
            held = std::min(BLOCK_BYTES, size - at);
            start = at;
            if (!readAt(start, block.data(), held)) {
                held = 0;
                return false;
            }
        }
        std::memcpy(out, block.data() + (at - start), count);
        return true;
    }

    // Where the next 0xff at or after `at` is; `size` when there is none.
    size_t nextFf(size_t at) {
        while (at < size) {
            unsigned char first;
            if (!read(at, &first, 1))
                return size;
            const size_t inBlock = start + held - at;
            const void* found = std::memchr(block.data() + (at - start), 0xff, inBlock);
            if (found)
                return start +
                       static_cast<size_t>(static_cast<const unsigned char*>(found) - block.data());
            at += inBlock;
        }
        return size;
    }

    const size_t size;

  private:
    const ReadAt& readAt;
    std::vector<unsigned char> block;
    size_t start = 0;
    size_t held = 0;
};

// The header chunk must come first; the decoder gives the picture alpha
// for an alpha channel or a transparency chunk before the image data.
bool readPngHeader(Blocks& file, PictureHeader& header) {
    unsigned char start[33];
    if (!file.read(0, start, sizeof start) || bigEndian(start + 8, 4) != 13 ||
        std::memcmp(start + 12, "IHDR", 4) != 0)
        return false;
    header.width = bigEndian(start + 16, 4);
    header.height = bigEndian(start + 20, 4);
    const unsigned colourType = start[25];
    header.alpha = colourType == 4 || colourType == 6;
    for (size_t at = sizeof start; at + 8 <= file.size;) {
        unsigned char chunk[8];
        if (!file.read(at, chunk, sizeof chunk))
            return false;
        const std::uint32_t length = bigEndian(chunk, 4);
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0)
            return true;
        if (std::memcmp(chunk + 4, "tRNS", 4) == 0)
            header.alpha = true;
        if (length > file.size - at - 8 || file.size - at - 8 - length < 4)
            return false;
        at += 12 + size_t(length);
    }
    return false;
}

bool isFrameMarker(unsigned char marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// Walks every marker as libjpeg will meet them, and the entropy-coded
// data of each scan (where 0xff is followed by 0 or a restart marker), up
// to the end of the picture.
bool readJpegHeader(Blocks& file, PictureHeader& header) {
    bool frameSeen = false;
    unsigned scans = 0;
    size_t at = 2;
    unsigned char bytes[10];
    while (at + 1 < file.size) {
        at = file.nextFf(at);
        if (at + 1 >= file.size || !file.read(at, bytes, 2))
            break;
        const unsigned char marker = bytes[1];
        if (marker == 0xff) {
            ++at;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {
            at += 2;
            continue;
        }
        if (marker == 0xd9)
            break;
        if (!file.read(at, bytes, 4))
            return false;
        const size_t length = bigEndian(bytes + 2, 2);
        if (length < 2 || length > file.size - at - 2)
            return false;
        if (isFrameMarker(marker)) {
            if (frameSeen || (marker != 0xc0 && marker != 0xc2) || length < 8 ||
                !file.read(at, bytes, 10))
                return false;
            frameSeen = true;
            header.height = bigEndian(bytes + 5, 2);
            header.width = bigEndian(bytes + 7, 2);
            if (bytes[9] != 1 && bytes[9] != 3)
                return false;
        } else if (marker == 0xda && (!frameSeen || ++scans > MAX_JPEG_SCANS)) {
            return false;
        }
        at += 2 + length;
    }
    header.alpha = false;
    return frameSeen && scans > 0;
}

} // namespace

PictureKind pictureKindByName(const io::path& name) {
    if (core::hasFileExtension(name, "png"))
        return PictureKind::PNG;
    if (core::hasFileExtension(name, "jpg", "jpeg"))
        return PictureKind::JPEG;
    return PictureKind::UNKNOWN;
}

bool signatureMatches(PictureKind kind, const std::vector<unsigned char>& bytes) {
    const unsigned char* signature = kind == PictureKind::PNG ? PNG_SIGNATURE : JPEG_SIGNATURE;
    const size_t length = kind == PictureKind::PNG ? sizeof PNG_SIGNATURE : sizeof JPEG_SIGNATURE;
    return kind != PictureKind::UNKNOWN && bytes.size() >= length &&
           std::memcmp(bytes.data(), signature, length) == 0;
}

bool readPictureHeader(PictureKind kind, size_t size, const ReadAt& read, PictureHeader& header) {
    header = PictureHeader();
    std::vector<unsigned char> start(std::min<size_t>(size, sizeof PNG_SIGNATURE));
    if (!read(0, start.data(), start.size()) || !signatureMatches(kind, start))
        return false;
    Blocks file(size, read);
    return kind == PictureKind::PNG ? readPngHeader(file, header) : readJpegHeader(file, header);
}

bool readPictureHeader(PictureKind kind, const std::vector<unsigned char>& bytes,
                       PictureHeader& header) {
    const ReadAt read = [&bytes](size_t at, void* out, size_t count) {
        if (at > bytes.size() || count > bytes.size() - at)
            return false;
        std::memcpy(out, bytes.data() + at, count);
        return true;
    };
    return readPictureHeader(kind, bytes.size(), read, header);
}
