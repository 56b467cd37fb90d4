#include "app/archive_check.h"

#include <zip.h>

namespace {

// libzip checks the checksum once an entry has been read to its end.
bool entryReadsClean(zip_t* archive, zip_uint64_t index) {
    zip_file_t* entry = zip_fopen_index(archive, index, 0);
    if (!entry)
        return false;
    char buffer[16384];
    zip_int64_t got = 0;
    while ((got = zip_fread(entry, buffer, sizeof buffer)) > 0) {
    }
    const bool clean = got == 0;
    return zip_fclose(entry) == 0 && clean;
}

} // namespace

bool isSoundZipArchive(const char* path) {
    int error = 0;
    zip_t* archive = zip_open(path, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return false;
    bool sound = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; sound && i < count; ++i)
        sound = entryReadsClean(archive, static_cast<zip_uint64_t>(i));
    zip_discard(archive);
    return sound;
}
