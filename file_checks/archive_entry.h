// Reading one entry of the checked archive in parts, straight from the
// archive file: a stored entry where it lies, a deflated one inflated as
// far as it is read, a block at a time, never whole in memory. The
// engine's own reader inflates a deflated entry whole into a buffer of
// its size before the first byte can be read; a picture's header needs
// only its first chunks and markers.
#pragma once

#include "file_checks/archive_check.h"
#include "file_checks/picture_header.h"

// Reads `entry` of the archive open as the descriptor `archive`, which
// must stay open while the reader is used. Reading backwards inflates the
// entry again from its start.
ReadAt readArchiveEntry(int archive, const ArchiveEntry& entry);
