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
const unsigned MAX_PICTURE_BYTES = 8u << 20;
const unsigned MAX_ICON_BYTES = 256u << 10;
