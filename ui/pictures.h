// The pictures the screens show, as textures of the engine's driver
// (app/assets.h loads them). A texture is null when its file could not be
// used; nothing is drawn for it then.
#pragma once

#include "game/board_shape.h"

#include <irrlicht.h>

struct Pictures {
    irr::video::ITexture* hiddenTexture = nullptr;
    irr::video::ITexture* menuBackgroundTexture = nullptr;
    irr::video::ITexture* splashTexture = nullptr;
    irr::video::ITexture* buttonFaceTexture = nullptr;
    // Entry k holds the picture file (k mod PAIR_COUNT) + 1: a tile of
    // value v shows entry v, so the last value shows "1.jpg" and every
    // other value v the picture v + 1.
    irr::video::ITexture* faceTextures[TILE_COUNT] = {};
};

extern Pictures pictures;

// The number of the picture file ("3" for "3.jpg") entry `k` holds.
constexpr int pictureFileNumber(int k) {
    return k % PAIR_COUNT + 1;
}
