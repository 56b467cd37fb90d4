// Whether a ZIP file is one the engine's reader handles safely and reads
// as written. That reader walks the local headers, or on an entry whose
// sizes follow its data, searches backwards for the central directory in
// a way that can step past it and loop for ever; it trusts every size it
// reads and inflates entries into buffers of their declared sizes. So
// the archive is walked here exactly as the engine will walk it, the
// entries it finds must be those libzip finds in the central directory
// (names, methods, sizes and checksums), every size must be within the
// limit for its entry's kind, and every entry must inflate to exactly
// its declared size and checksum. Only then is it mounted.
#pragma once

bool isSoundZipArchive(const char* path);
