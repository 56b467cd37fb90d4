// Whether a font description is one the engine's XML font loader reads
// safely and as meant. That loader trusts the file: a glyph without its
// character, a texture index other than 0, a construct left open at the
// end or a character entity per byte each crash, overrun or stall it.
// Accepted is plain ASCII XML with one `font type="bitmap"` root holding
// exactly one `Texture index="0"` with a bare picture name, and glyphs
// `c` of one printable character each, at most once, on texture 0, with
// rectangles as "left,top,right,bottom" and offsets `u`, `o` of at most
// MAX_GLYPH_OFFSET pixels, covering every character of the game's texts.
#pragma once

#include "app/files/limits.h"

#include <string>
#include <vector>

// Every character the game's own texts and the engine's box buttons use.
extern const char* const GAME_TEXT_CHARACTERS;

struct FontDescription {
    std::string textureName;
    // The furthest any glyph's rectangle reaches to the right and down;
    // the picture must be at least this large.
    unsigned right = 0;
    unsigned bottom = 0;
};

// Reads `bytes` as the engine will, after proving that its reader stays
// within them; fills `font` when they are accepted.
bool checkFontDescription(const std::vector<unsigned char>& bytes, FontDescription& font);
