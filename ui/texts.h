// The game's texts on the way to the screen and to speech. Texts are
// UTF-8 in the player's language (platform/translation.h); the engine
// draws wide characters and, where its font lacks one, a blank space
// without a word, so a character the game's font lacks is shown as "?"
// instead: a catalogue's slip stays visible.
#pragma once

#include <irrlicht.h>
#include <string>

irr::core::stringw onScreen(const std::string& text);
std::string utf8(const wchar_t* text);

// The player's text for `english` as shown in a place `width` pixels wide
// (and, for text that wraps at its spaces, `height` tall): the English
// text stands in for a translation that would not fit, so that no
// catalogue pushes a caption out of its place.
irr::core::stringw fittingText(const char* english, irr::s32 width, irr::s32 height = 0);

// Whether `text` fits that place in the skin's font, with the margin a
// caption keeps from its button's edges.
bool textFits(const irr::core::stringw& text, irr::s32 width, irr::s32 height = 0);
