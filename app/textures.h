// Decoded pictures made into the engine's textures, and a scale-1 picture
// made to stand where a scale-2 one is drawn.
#pragma once

#include <irrlicht.h>

// The texture of a decoded picture, in the driver's cache under `name`.
// With OpenGL the pages of the engine's own copy of the pixels go back to
// the system, and the copy reads as zeros: lock such a texture for
// writing and the picture turns black.
irr::video::ITexture* addPictureTexture(const irr::io::path& name, irr::video::IImage* image);

// The picture at twice its size, each pixel a square of four (`image` is
// dropped): a picture drawn for scale 1 where one for scale 2 is drawn.
irr::video::IImage* twiceTheSize(irr::video::IImage* image);
