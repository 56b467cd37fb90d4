#include "app/files/picture.h"

#include "app/files/engine_file.h"
#include "app/files/picture_decoders.h"
#include "app/files/picture_header.h"
#include "app/game_state.h"
#include "app/linux/platform.h"

using namespace irr;

namespace {

// The engine's OpenGL texture keeps a copy of the pixels it uploaded for
// as long as it lives (1.8.5 has no way to let it go: `KeepImage`), beside
// the one the OpenGL driver keeps, and reads it again only when the
// texture is locked for writing or mip-maps are made, which the game never
// does: a full-window picture's 1.6 MB at scale 1, 6.4 MB at scale 2. The
// copy stays allocated, its pages go back to the system.
void forgetEnginesCopy(video::ITexture* texture) {
    void* pixels = texture->lock(video::ETLM_READ_ONLY);
    if (!pixels)
        return;
    returnPagesOf(pixels, static_cast<size_t>(texture->getPitch()) * texture->getSize().Height);
    texture->unlock();
}

} // namespace

video::IImage* decodeCheckedPicture(const io::path& name, const std::vector<unsigned char>& bytes,
                                    unsigned maxSide) {
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
    return gameState.videoDriver->createImageFromData(
        picture.alpha ? video::ECF_A8R8G8B8 : video::ECF_R8G8B8,
        core::dimension2d<u32>(picture.width, picture.height), picture.pixels, true, true);
}

video::IImage* loadCheckedPicture(const io::path& name, const PictureLimits& limits) {
    std::vector<unsigned char> bytes;
    if (pictureKindByName(name) == PictureKind::UNKNOWN ||
        !readEngineFile(name, limits.maxFileBytes, bytes))
        return nullptr;
    return decodeCheckedPicture(name, bytes, limits.maxSide);
}

video::ITexture* addPictureTexture(const io::path& name, video::IImage* image) {
    video::IVideoDriver* driver = gameState.videoDriver;
    video::ITexture* texture = driver->addTexture(name, image);
    if (texture && driver->getDriverType() == video::EDT_OPENGL)
        forgetEnginesCopy(texture);
    return texture;
}

video::IImage* twiceTheSize(video::IImage* image) {
    const core::dimension2d<u32> size = image->getDimension();
    video::IImage* larger = gameState.videoDriver->createImage(
        image->getColorFormat(), core::dimension2d<u32>(2 * size.Width, 2 * size.Height));
    image->copyToScaling(larger);
    image->drop();
    return larger;
}
