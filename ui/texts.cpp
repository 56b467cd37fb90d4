#include "ui/texts.h"

#include "platform/translation.h"
#include "ui/game_state.h"
#include "ui/layout.h"

#include <vector>

using namespace irr;

namespace {

// The next character of UTF-8 `text` at `at`, which moves past it; a
// malformed sequence gives U+FFFD. The catalogues' texts were checked on
// reading, the game's own are ASCII.
wchar_t decodeNext(const std::string& text, size_t& at) {
    const unsigned char first = static_cast<unsigned char>(text[at++]);
    if (first < 0x80)
        return first;
    const int more = first >= 0xf0 ? 3 : first >= 0xe0 ? 2 : first >= 0xc0 ? 1 : 0;
    unsigned code = first & (0x3f >> more);
    for (int i = 0; i < more; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xc0) != 0x80)
            return 0xfffd;
        code = code << 6 | (static_cast<unsigned char>(text[at++]) & 0x3f);
    }
    return more ? static_cast<wchar_t>(code) : 0xfffd;
}

// Whether the skin's font draws `c` with a glyph of its own: a font made
// from an XML description stands its space in for every character it
// lacks.
bool fontHas(gui::IGUIFont* font, wchar_t c) {
    if (!font || c == L' ' || c == L'\n' || font->getType() != gui::EGFT_BITMAP)
        return true;
    gui::IGUIFontBitmap* bitmap = static_cast<gui::IGUIFontBitmap*>(font);
    const wchar_t space = L' ';
    return bitmap->getSpriteNoFromChar(&c) != bitmap->getSpriteNoFromChar(&space);
}

// A caption keeps this far from either edge of its place, at scale 1.
const s32 MARGIN = 8;

gui::IGUIFont* skinFont() {
    gui::IGUISkin* skin = gameState.guiEnvironment ? gameState.guiEnvironment->getSkin() : nullptr;
    return skin ? skin->getFont() : nullptr;
}

s32 widthOf(gui::IGUIFont* font, const core::stringw& text) {
    return static_cast<s32>(font->getDimension(text.c_str()).Width);
}

// The words of `text` between its spaces; a line break stands as a word
// of its own, "\n".
std::vector<core::stringw> wordsOf(const core::stringw& text) {
    std::vector<core::stringw> words(1);
    for (u32 i = 0; i < text.size(); ++i) {
        if (text[i] == L' ' || text[i] == L'\n') {
            if (text[i] == L'\n')
                words.push_back(L"\n");
            words.emplace_back();
        } else {
            words.back().append(text[i]);
        }
    }
    return words;
}

// The height `words` take wrapped at their spaces within `width`, as the
// engine's static text breaks them: a word that does not fit the line
// begins the next one.
s32 wrappedHeight(gui::IGUIFont* font, const std::vector<core::stringw>& words, s32 width) {
    s32 lines = 1;
    core::stringw line;
    for (const core::stringw& word : words) {
        if (word == L"\n") {
            ++lines;
            line = L"";
            continue;
        }
        const core::stringw joined = line.size() ? line + L" " + word : word;
        if (line.size() && widthOf(font, joined) > width) {
            ++lines;
            line = word;
        } else {
            line = joined;
        }
    }
    return lines * static_cast<s32>(font->getDimension(L"A").Height);
}

} // namespace

bool textFits(const core::stringw& text, s32 width, s32 height) {
    gui::IGUIFont* font = skinFont();
    if (!font)
        return true;
    const s32 room = width - 2 * atScale(MARGIN);
    if (height <= 0)
        return widthOf(font, text) <= room;
    // A word wider than the place would be cut, however the lines fall.
    const std::vector<core::stringw> words = wordsOf(text);
    for (const core::stringw& word : words)
        if (widthOf(font, word) > room)
            return false;
    return wrappedHeight(font, words, room) <= height;
}

core::stringw fittingText(const char* english, s32 width, s32 height) {
    const core::stringw translated = onScreen(_(english));
    if (textFits(translated, width, height))
        return translated;
    return onScreen(english);
}

core::stringw onScreen(const std::string& text) {
    gui::IGUIFont* font = skinFont();
    core::stringw shown;
    for (size_t at = 0; at < text.size();) {
        const wchar_t c = decodeNext(text, at);
        shown.append(fontHas(font, c) ? c : L'?');
    }
    return shown;
}

std::string utf8(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        const unsigned c = static_cast<unsigned>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
