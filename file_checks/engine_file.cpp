#include "file_checks/engine_file.h"

#include <sys/stat.h>

using namespace irr;

namespace {

// A loose file must be a plain file: opening a named pipe would wait for
// a writer, and a directory reads as nothing.
bool looseFileIsRegular(io::IFileSystem* files, const io::path& name) {
    struct stat status;
    return stat(files->getAbsolutePath(name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

bool archiveHolds(io::IFileSystem* files, const io::path& name) {
    for (u32 i = 0; i < files->getFileArchiveCount(); ++i)
        if (files->getFileArchive(i)->getFileList()->findFile(name) != -1)
            return true;
    return false;
}

bool engineFileExists(io::IFileSystem* files, const io::path& name) {
    struct stat status;
    return archiveHolds(files, name) || lstat(files->getAbsolutePath(name).c_str(), &status) == 0;
}

io::IReadFile* openEngineFile(io::IFileSystem* files, const io::path& name, unsigned maxBytes) {
    if (!archiveHolds(files, name) && !looseFileIsRegular(files, name))
        return nullptr;
    io::IReadFile* file = files->createAndOpenFile(name);
    if (file && (file->getSize() <= 0 || static_cast<unsigned long>(file->getSize()) > maxBytes)) {
        file->drop();
        file = nullptr;
    }
    return file;
}

bool readEngineFile(io::IFileSystem* files, const io::path& name, unsigned maxBytes,
                    std::vector<unsigned char>& bytes) {
    io::IReadFile* file = openEngineFile(files, name, maxBytes);
    if (!file)
        return false;
    const long size = file->getSize();
    bytes.resize(static_cast<size_t>(size));
    const bool read = file->read(bytes.data(), static_cast<u32>(size)) == size;
    file->drop();
    return read;
}
