// Pictures decoded by the game itself, so that no byte of a picture file
// ever reaches one of the engine's image loaders: those trust the sizes
// a file declares, and when one fails the engine tries every other format
// that claims the bytes. A picture's bytes must be the PNG or JPEG its
// name says (app/files/picture_header.h), and libpng or libjpeg decode
// them within the limits below.
#pragma once

#include "app/files/limits.h"

#include <irrlicht.h>
#include <vector>

struct PictureLimits {
    unsigned maxSide = MAX_PICTURE_SIDE;
    unsigned maxFileBytes = MAX_PICTURE_BYTES;
};

// The picture `bytes`, read from the file `name` ("*.png", "*.jpg" or
// "*.jpeg", any case), decoded; null when refused. The caller drops the
// image.
irr::video::IImage* decodeCheckedPicture(const irr::io::path& name,
                                         const std::vector<unsigned char>& bytes,
                                         unsigned maxSide = MAX_PICTURE_SIDE);

// The picture `name` read through the engine's file system (a mounted
// archive first, then the working directory) and decoded; null when it is
// absent or refused.
irr::video::IImage* loadCheckedPicture(const irr::io::path& name,
                                       const PictureLimits& limits = PictureLimits());

// The texture of a decoded picture, in the driver's cache under `name`.
// With OpenGL the pages of the engine's own copy of the pixels go back to
// the system, and the copy reads as zeros: lock such a texture for
// writing and the picture turns black.
irr::video::ITexture* addPictureTexture(const irr::io::path& name, irr::video::IImage* image);

// The picture at twice its size, each pixel a square of four (`image` is
// dropped): a picture drawn for scale 1 where one for scale 2 is drawn.
irr::video::IImage* twiceTheSize(irr::video::IImage* image);
