#include "file_checks/picture.h"

#include "file_checks/engine_file.h"
#include "file_checks/picture_decoders.h"
#include "file_checks/picture_header.h"

using namespace irr;

video::IImage* decodeCheckedPicture(video::IVideoDriver* driver, const io::path& name,
                                    const std::vector<unsigned char>& bytes, unsigned maxSide) {
    const PictureKind kind = pictureKindByName(name);
    if (kind == PictureKind::UNKNOWN || !signatureMatches(kind, bytes))
        return nullptr;
    DecodedPicture picture;
    const bool decoded = kind == PictureKind::PNG
                             ? decodePng(bytes.data(), bytes.size(), maxSide, picture)
                             : decodeJpeg(bytes.data(), bytes.size(), maxSide, picture);
    if (!decoded)
        return nullptr;
    // The image adopts the decoded rows: no copy before the texture's own.
    return driver->createImageFromData(picture.alpha ? video::ECF_A8R8G8B8 : video::ECF_R8G8B8,
                                       core::dimension2d<u32>(picture.width, picture.height),
                                       picture.pixels, true, true);
}

video::IImage* loadCheckedPicture(io::IFileSystem* files, video::IVideoDriver* driver,
                                  const io::path& name, const PictureLimits& limits) {
    std::vector<unsigned char> bytes;
    if (pictureKindByName(name) == PictureKind::UNKNOWN ||
        !readEngineFile(files, name, limits.maxFileBytes, bytes))
        return nullptr;
    return decodeCheckedPicture(driver, name, bytes, limits.maxSide);
}
