// The two decoders behind loadCheckedPicture, each working on a whole
// file in memory. Rows come out as the engine's loaders laid them out: a
// picture with alpha as ECF_A8R8G8B8, any other as ECF_R8G8B8.
#pragma once

#include <cstddef>

struct DecodedPicture {
    // Allocated with new[], so the engine's image can adopt and free it.
    unsigned char* pixels = nullptr;
    unsigned width = 0;
    unsigned height = 0;
    bool alpha = false;
};

// False, with nothing allocated, when the data is damaged, truncated or
// of a kind the game does not show, or a side exceeds `maxSide`.
bool decodePng(const unsigned char* bytes, std::size_t size, unsigned maxSide,
               DecodedPicture& picture);
bool decodeJpeg(const unsigned char* bytes, std::size_t size, unsigned maxSide,
                DecodedPicture& picture);
