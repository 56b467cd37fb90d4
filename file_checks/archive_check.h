// Whether a ZIP file is one the engine's reader handles safely and reads
// as written. That reader walks the local headers, or on an entry whose
// sizes follow its data, searches backwards for the central directory in
// a way that can step past it and loop for ever; it keeps name and extra
// field lengths in signed 16 bits and offsets in signed 32 bits, trusts
// every size it reads and inflates entries into buffers of their
// declared sizes. So the archive is walked here exactly as the engine
// will walk it, nothing is accepted where its narrow fields could read
// otherwise, the entries it finds must be those libzip finds in the
// central directory (names, methods, sizes and checksums), every size
// must be within the limit for its entry's kind, and every entry must
// inflate to exactly its declared size and checksum. Only then is it
// mounted, and once mounted, the engine's own list must be the one
// accepted here.
#pragma once

#include <cstdint>
#include <irrlicht.h>
#include <string>
#include <vector>

// One entry as the engine's reader will list it.
struct ArchiveEntry {
    // As stored: the engine folds its case and drops its folders.
    std::string name;
    std::uint32_t offset = 0; // of its data
    std::uint32_t size = 0;   // inflated
    std::uint32_t packed = 0; // as stored
    bool deflated = false;
};

// True when the engine may mount the archive at `path`; `accepted` then
// holds its entries in the engine's order. Refused before a byte is
// read when the file is larger than MAX_ARCHIVE_BYTES.
bool isArchiveSafeToMount(const char* path, std::vector<ArchiveEntry>& accepted);

// Whether `listed`, the engine's list of a mounted archive, names exactly
// the entries `accepted`, at the same offsets and sizes.
bool engineListsAccepted(irr::io::IFileSystem* files, const irr::io::IFileList* listed,
                         const std::vector<ArchiveEntry>& accepted);
