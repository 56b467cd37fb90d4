// What a picture file says about itself before a byte of it is decoded:
// whether its bytes are the PNG or JPEG its name says, its size, and
// whether it has alpha. Only the parts that say so are read, in small
// blocks: a PNG's chunk headers up to its image data, a JPEG's markers
// and the entropy-coded data between them (whose scans are counted), but
// never the chunks and segments the decoder skips. So every picture can be
// held to the size the game draws it at before the window is made, for
// little more than the cost of opening it, and decoded only afterwards.
#pragma once

#include <cstddef>
#include <functional>
#include <irrlicht.h>
#include <vector>

enum class PictureKind { UNKNOWN, PNG, JPEG };

// By the name alone ("*.png", "*.jpg" or "*.jpeg", any case): the name
// decides which decoder runs, and bytes of another kind are refused.
PictureKind pictureKindByName(const irr::io::path& name);

// Whether `bytes` start as a file of `kind` does.
bool signatureMatches(PictureKind kind, const std::vector<unsigned char>& bytes);

struct PictureHeader {
    unsigned width = 0;
    unsigned height = 0;
    bool alpha = false;
};

// Copies `count` bytes from `at` to `out`; false unless all are there.
using ReadAt = std::function<bool(std::size_t at, void* out, std::size_t count)>;

// False when the `size` bytes `read` gives are not a PNG or JPEG of
// `kind` that the game decodes: a PNG whose header chunk does not come
// first or whose image data never starts; a JPEG that is not baseline or
// progressive Huffman-coded, not grey or colour, has more than one frame
// or more than MAX_JPEG_SCANS scans.
bool readPictureHeader(PictureKind kind, std::size_t size, const ReadAt& read,
                       PictureHeader& header);
bool readPictureHeader(PictureKind kind, const std::vector<unsigned char>& bytes,
                       PictureHeader& header);
