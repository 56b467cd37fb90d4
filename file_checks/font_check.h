// Whether a font description is one the engine's XML font loader reads
// safely and as meant, and whose captions can be read. That loader trusts
// the file: a glyph without its character, a texture index other than 0,
// a construct left open at the end or a character entity per byte each
// crash, overrun or stall it. Accepted is XML in plain ASCII or in UTF-16
// (little endian, after a byte order mark, without surrogates) with one `font
// type="bitmap"` root holding exactly one `Texture index="0"` naming a
// PNG by a bare name, with alpha, and glyphs `c` of one printable
// character each, at most once, on texture 0, each with pixels of its
// own, offsets and advances within bounds set by the line height, which
// must be one the layout holds; and a glyph for every character needed.
#pragma once

#include "file_checks/limits.h"

#include <irrlicht.h>
#include <string>
#include <vector>

// What the font must offer those who draw with it.
struct FontNeeds {
    std::wstring characters;
    // The tallest glyph, in pixels: the engine's line height.
    unsigned minLineHeight = 0;
    unsigned maxLineHeight = 0;
};

struct FontDescription {
    std::string textureName;
    // The furthest any glyph's rectangle reaches to the right and down;
    // the picture must be at least this large.
    unsigned right = 0;
    unsigned bottom = 0;
    unsigned lineHeight = 0;
};

// Reads `bytes` as the engine will, through `files`, after proving that
// its reader stays within them; fills `font` when they are accepted.
bool checkFontDescription(irr::io::IFileSystem* files, const std::vector<unsigned char>& bytes,
                          const FontNeeds& needs, FontDescription& font);
