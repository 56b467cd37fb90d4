#include "app/files/engine_file.h"

#include "app/game_state.h"

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

bool archiveHolds(const io::path& name) {
    io::IFileSystem* files = gameState.device->getFileSystem();
    for (u32 i = 0; i < files->getFileArchiveCount(); ++i)
        if (files->getFileArchive(i)->getFileList()->findFile(name) != -1)
            return true;
    return false;
}

bool engineFileExists(const io::path& name) {
    struct stat status;
    return archiveHolds(name) ||
           lstat(gameState.device->getFileSystem()->getAbsolutePath(name).c_str(), &status) == 0;
}

io::IReadFile* openEngineFile(const io::path& name, unsigned maxBytes) {
    io::IFileSystem* files = gameState.device->getFileSystem();
    if (!archiveHolds(name) && !looseFileIsRegular(files, name))
        return nullptr;
    io::IReadFile* file = files->createAndOpenFile(name);
    if (file && (file->getSize() <= 0 || static_cast<unsigned long>(file->getSize()) > maxBytes)) {
        file->drop();
        file = nullptr;
    }
    return file;
}

bool readEngineFile(const io::path& name, unsigned maxBytes, std::vector<unsigned char>& bytes) {
    io::IReadFile* file = openEngineFile(name, maxBytes);
    if (!file)
        return false;
    const long size = file->getSize();
    bytes.resize(static_cast<size_t>(size));
    const bool read = file->read(bytes.data(), static_cast<u32>(size)) == size;
    file->drop();
    return read;
}
