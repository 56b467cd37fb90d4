#include "app/files/picture.h"

#include "app/files/engine_file.h"
#include "app/files/picture_decoders.h"
#include "app/game_state.h"
#include "app/linux/platform.h"

#include <cstring>
#include <vector>

using namespace irr;

namespace {

enum class PictureKind { UNKNOWN, PNG, JPEG };

PictureKind kindByName(const io::path& name) {
    if (core::hasFileExtension(name, "png"))
        return PictureKind::PNG;
    if (core::hasFileExtension(name, "jpg", "jpeg"))
        return PictureKind::JPEG;
    return PictureKind::UNKNOWN;
}

bool startsWith(const std::vector<unsigned char>& bytes, const unsigned char* signature,
                size_t length) {
    return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

// The name decides which decoder runs; bytes of any other kind are
// refused, never tried as something else.
bool signatureMatches(PictureKind kind, const std::vector<unsigned char>& bytes) {
    static const unsigned char PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    static const unsigned char JPEG_SIGNATURE[] = {0xff, 0xd8, 0xff};
    if (kind == PictureKind::PNG)
        return startsWith(bytes, PNG_SIGNATURE, sizeof PNG_SIGNATURE);
    return startsWith(bytes, JPEG_SIGNATURE, sizeof JPEG_SIGNATURE);
}

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

video::IImage* loadCheckedPicture(const io::path& name, const PictureLimits& limits) {
    const PictureKind kind = kindByName(name);
    std::vector<unsigned char> bytes;
    if (kind == PictureKind::UNKNOWN || !readEngineFile(name, limits.maxFileBytes, bytes) ||
        !signatureMatches(kind, bytes))
        return nullptr;
    DecodedPicture picture;
    const bool decoded = kind == PictureKind::PNG
                             ? decodePng(bytes.data(), bytes.size(), limits.maxSide, picture)
                             : decodeJpeg(bytes.data(), bytes.size(), limits.maxSide, picture);
    if (!decoded)
        return nullptr;
    // The image adopts the decoded rows: no copy before the texture's own.
    return gameState.videoDriver->createImageFromData(
        picture.alpha ? video::ECF_A8R8G8B8 : video::ECF_R8G8B8,
        core::dimension2d<u32>(picture.width, picture.height), picture.pixels, true, true);
}

video::ITexture* loadCheckedTexture(const io::path& name) {
    video::IVideoDriver* driver = gameState.videoDriver;
    if (video::ITexture* cached = driver->findTexture(name))
        return cached;
    video::IImage* image = loadCheckedPicture(name);
    if (!image)
        return nullptr;
    video::ITexture* texture = driver->addTexture(name, image);
    image->drop();
    if (texture && driver->getDriverType() == video::EDT_OPENGL)
        forgetEnginesCopy(texture);
    return texture;
}
