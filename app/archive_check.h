// Whether a ZIP file is whole: central directory and local headers in
// place, and every entry's data matching its checksum. The engine's own
// reader can hang or silently drop pictures on a damaged archive, so the
// game only mounts archives that pass.
#pragma once

bool isSoundZipArchive(const char* path);
