// Pictures decoded by the game itself, so that no byte of a picture file
// ever reaches one of the engine's image loaders: those trust the sizes
// a file declares, and when one fails the engine tries every other format
// that claims the bytes. A picture's bytes must be the PNG or JPEG its
// name says (file_checks/picture_header.h), and libpng or libjpeg decode
// them within the limits below.
#pragma once

#include "file_checks/limits.h"

#include <irrlicht.h>
#include <vector>

struct PictureLimits {
    unsigned maxSide = MAX_PICTURE_SIDE;
    unsigned maxFileBytes = MAX_PICTURE_BYTES;
};

// The picture `bytes`, read from the file `name` ("*.png", "*.jpg" or
// "*.jpeg", any case), decoded into an image of `driver`; null when
// refused. The caller drops the image.
irr::video::IImage* decodeCheckedPicture(irr::video::IVideoDriver* driver,
                                         const irr::io::path& name,
                                         const std::vector<unsigned char>& bytes,
                                         unsigned maxSide = MAX_PICTURE_SIDE);

// The picture `name` read through the engine's file system `files` (a
// mounted archive first, then the working directory) and decoded; null
// when it is absent or refused.
irr::video::IImage* loadCheckedPicture(irr::io::IFileSystem* files,
                                       irr::video::IVideoDriver* driver, const irr::io::path& name,
                                       const PictureLimits& limits = PictureLimits());
