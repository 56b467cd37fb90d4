// Pictures decoded by the game itself, so that no byte of a picture file
// ever reaches one of the engine's image loaders: those trust the sizes
// a file declares, and when one fails the engine tries every other format
// that claims the bytes. A picture is read through the engine's file
// system (a mounted archive first, then the working directory), its
// bytes must be the PNG or JPEG its name says, and libpng or libjpeg
// decode it within the limits below.
#pragma once

#include "app/files/limits.h"

#include <irrlicht.h>

struct PictureLimits {
    unsigned maxSide = MAX_PICTURE_SIDE;
    unsigned maxFileBytes = MAX_PICTURE_BYTES;
};

// The decoded picture `name` ("*.png", "*.jpg" or "*.jpeg", any case), or
// null when it is absent or refused. The caller drops the image.
irr::video::IImage* loadCheckedPicture(const irr::io::path& name,
                                       const PictureLimits& limits = PictureLimits());

// The texture of picture `name`, made once and then found in the driver's
// cache under that name; null when the picture is absent or refused.
// With OpenGL the pages of the engine's own copy of the pixels go back to
// the system, and the copy reads as zeros: lock such a texture for
// writing and the picture turns black.
irr::video::ITexture* loadCheckedTexture(const irr::io::path& name);
