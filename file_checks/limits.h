// Every size the checks on untrusted files allow, in one place: an
// archive entry is held to the limit of the file it will be read as.
#pragma once

const unsigned MAX_ARCHIVE_ENTRIES = 256;
// All entries inflated, and the archive file itself.
const unsigned MAX_ARCHIVE_BYTES = 64u << 20;
// The game's own names are under 16 bytes.
const unsigned MAX_ARCHIVE_NAME_BYTES = 64;

const unsigned MAX_FONT_DESCRIPTION_BYTES = 64 * 1024;
const int MAX_GLYPH_OFFSET = 64;

const unsigned MAX_PICTURE_SIDE = 2048;
// Decoding time grows with the pixels, so they are bounded too: no PNG
// larger than the window at twice the detail, the largest picture the
// game draws; no JPEG larger than half that (the game's are tiles and a
// button face, and a progressive one costs several passes).
const unsigned long MAX_PNG_PIXELS = 1600ul * 1000ul;
const unsigned long MAX_JPEG_PIXELS = 800ul * 1000ul;
const unsigned MAX_PICTURE_BYTES = 8u << 20;
// A progressive JPEG may hold thousands of tiny scans, each a pass over
// the whole picture; the game's own have a dozen.
const unsigned MAX_JPEG_SCANS = 100;
const unsigned MAX_ICON_BYTES = 256u << 10;

// A translation catalogue: the game's texts are a hundred or so, each
// under a few hundred bytes in any language.
const unsigned MAX_CATALOGUE_BYTES = 1u << 20;
const unsigned MAX_CATALOGUE_ENTRIES = 1024;
const unsigned MAX_CATALOGUE_TEXT_BYTES = 4096;
// Plural rules of every language gettext knows have at most 6 forms and
// a few dozen operators.
const unsigned MAX_PLURAL_FORMS = 6;
const unsigned MAX_PLURAL_NODES = 256;
const int MAX_PLURAL_DEPTH = 64;
