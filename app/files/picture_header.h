// What a picture file says about itself before a byte of it is decoded:
// whether its bytes are the PNG or JPEG its name says, its size, and
// whether it has alpha. Reading this costs a walk over the file's
// markers or chunks, so every picture can be held to the size the game
// draws it at before the window is made, and decoded only afterwards.
#pragma once

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

// False when the bytes are not a PNG or JPEG of the kind the game decodes:
// a PNG whose header chunk does not come first or whose image data never
// starts; a JPEG that is not baseline or progressive Huffman-coded, not
// grey or colour, has more than one frame or more than MAX_JPEG_SCANS
// scans (counted, not decoded).
bool readPictureHeader(PictureKind kind, const std::vector<unsigned char>& bytes,
                       PictureHeader& header);
