#include "app/files/picture_header.h"

#include "app/files/limits.h"

#include <cstdint>
#include <cstring>

using namespace irr;

namespace {

std::uint32_t bigEndian(const unsigned char* bytes, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | bytes[i];
    return value;
}

bool startsWith(const std::vector<unsigned char>& bytes, const unsigned char* signature,
                size_t length) {
    return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

const unsigned char PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
const unsigned char JPEG_SIGNATURE[] = {0xff, 0xd8, 0xff};

// The header chunk must come first; the decoder gives the picture alpha
// for an alpha channel or a transparency chunk before the image data.
bool readPngHeader(const std::vector<unsigned char>& bytes, PictureHeader& header) {
    const size_t size = bytes.size();
    const unsigned char* b = bytes.data();
    if (size < 33 || bigEndian(b + 8, 4) != 13 || std::memcmp(b + 12, "IHDR", 4) != 0)
        return false;
    header.width = bigEndian(b + 16, 4);
    header.height = bigEndian(b + 20, 4);
    const unsigned colourType = b[25];
    header.alpha = colourType == 4 || colourType == 6;
    for (size_t at = 33; at + 8 <= size;) {
        const std::uint32_t length = bigEndian(b + at, 4);
        if (std::memcmp(b + at + 4, "IDAT", 4) == 0)
            return true;
        if (std::memcmp(b + at + 4, "tRNS", 4) == 0)
            header.alpha = true;
        if (length > size - at - 8 || size - at - 8 - length < 4)
            return false;
        at += 12 + length;
    }
    return false;
}

bool isFrameMarker(unsigned char marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// Walks every marker as libjpeg will meet them, the entropy-coded data
// of each scan too (where 0xff is followed by 0 or a restart marker), up
// to the end of the picture.
bool readJpegHeader(const std::vector<unsigned char>& bytes, PictureHeader& header) {
    const size_t size = bytes.size();
    const unsigned char* b = bytes.data();
    bool frameSeen = false;
    unsigned scans = 0;
    size_t at = 2;
    while (at + 1 < size) {
        if (b[at] != 0xff) {
            const void* next = std::memchr(b + at, 0xff, size - at);
            if (!next)
                break;
            at = static_cast<size_t>(static_cast<const unsigned char*>(next) - b);
            continue;
        }
        const unsigned char marker = b[at + 1];
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
        if (at + 4 > size)
            return false;
        const size_t length = bigEndian(b + at + 2, 2);
        if (length < 2 || length > size - at - 2)
            return false;
        if (isFrameMarker(marker)) {
            if (frameSeen || (marker != 0xc0 && marker != 0xc2) || length < 8)
                return false;
            frameSeen = true;
            header.height = bigEndian(b + at + 5, 2);
            header.width = bigEndian(b + at + 7, 2);
            const unsigned components = b[at + 9];
            if (components != 1 && components != 3)
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
    if (kind == PictureKind::PNG)
        return startsWith(bytes, PNG_SIGNATURE, sizeof PNG_SIGNATURE);
    if (kind == PictureKind::JPEG)
        return startsWith(bytes, JPEG_SIGNATURE, sizeof JPEG_SIGNATURE);
    return false;
}

bool readPictureHeader(PictureKind kind, const std::vector<unsigned char>& bytes,
                       PictureHeader& header) {
    header = PictureHeader();
    if (!signatureMatches(kind, bytes))
        return false;
    return kind == PictureKind::PNG ? readPngHeader(bytes, header) : readJpegHeader(bytes, header);
}
