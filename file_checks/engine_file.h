// Reading a file whole, by name, through an engine file system `files`
// (the mounted archives first, then the working directory), within a size
// limit checked before a byte is read.
#pragma once

#include <irrlicht.h>
#include <vector>

// False when the file is absent, larger than `maxBytes` or empty, is no
// regular file, or cannot be read in full.
bool readEngineFile(irr::io::IFileSystem* files, const irr::io::path& name, unsigned maxBytes,
                    std::vector<unsigned char>& bytes);

// The file opened for reading in parts, or null where `readEngineFile`
// would be false before reading. The caller drops it.
irr::io::IReadFile* openEngineFile(irr::io::IFileSystem* files, const irr::io::path& name,
                                   unsigned maxBytes);

// Whether one of the mounted archives holds `name`.
bool archiveHolds(irr::io::IFileSystem* files, const irr::io::path& name);

// Whether `name` is there at all, in an archive or as a loose file of any
// kind: a file that is there but cannot be read counts as damaged, not
// missing.
bool engineFileExists(irr::io::IFileSystem* files, const irr::io::path& name);
