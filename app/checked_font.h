// The engine's font made from a font description the game has checked
// (file_checks/font_check.h) and the picture it decoded, and the font for
// scale 1 described at twice its size, to stand in at scale 2.
#pragma once

#include <irrlicht.h>
#include <string>
#include <vector>

// The engine's font loader asks its texture cache for the font's picture
// first, so `picture`, added under `pictureName`, is the one it takes (the
// image is dropped); and it reads the `description` bytes from memory as
// the file `name`, never from the file again. Null when the engine does
// not take them.
irr::gui::IGUIFont* makeFont(const std::string& name, const std::vector<unsigned char>& description,
                             const std::string& pictureName, irr::video::IImage* picture);

// A checked description with every glyph's rectangle and offsets twice as
// large, on a picture at twice the size.
std::vector<unsigned char> twiceSizeDescription(const std::vector<unsigned char>& description);
