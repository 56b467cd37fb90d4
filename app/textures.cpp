#include "app/textures.h"

#include "platform/memory.h"
#include "ui/game_state.h"

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
