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

bool readEngineFile(const io::path& name, unsigned maxBytes, std::vector<unsigned char>& bytes) {
    io::IFileSystem* files = gameState.device->getFileSystem();
    if (!archiveHolds(name) && !looseFileIsRegular(files, name))
        return false;
    io::IReadFile* file = files->createAndOpenFile(name);
    if (!file)
        return false;
    const long size = file->getSize();
    bool read = size > 0 && static_cast<unsigned long>(size) <= maxBytes;
    if (read) {
        bytes.resize(static_cast<size_t>(size));
        read = file->read(bytes.data(), static_cast<u32>(size)) == size;
    }
    file->drop();
    return read;
}
