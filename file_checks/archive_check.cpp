#include "file_checks/archive_check.h"

#include "file_checks/limits.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

namespace {

const std::uint32_t LOCAL_HEADER = 0x04034b50;
const std::uint32_t CENTRAL_HEADER = 0x02014b50;
const std::uint32_t END_RECORD = 0x06054b50;
const std::uint64_t END_RECORD_BYTES = 22;
const std::uint64_t MAX_COMMENT_BYTES = 0xffff;
const unsigned SIZES_AFTER_DATA = 0x8;
const unsigned ENCRYPTED = 0x41;
// The engine keeps name and extra field lengths in signed 16 bits and
// offsets in signed 32 bits: at these they turn negative.
const unsigned ENGINE_LENGTH_LIMIT = 1u << 15;
const std::uint64_t ENGINE_OFFSET_LIMIT = std::uint64_t(1) << 31;
static_assert(MAX_ARCHIVE_NAME_BYTES < ENGINE_LENGTH_LIMIT, "names the engine reads as negative");
static_assert(MAX_ARCHIVE_BYTES < ENGINE_OFFSET_LIMIT, "archives the engine cannot address");

std::uint32_t readLittleEndian(const unsigned char* bytes, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

struct ArchiveFile {
    int fd = -1;
    std::uint64_t size = 0;

    bool read(std::uint64_t at, void* out, std::uint64_t count) const {
        return at <= size && count <= size - at &&
               pread(fd, out, count, static_cast<off_t>(at)) == static_cast<ssize_t>(count);
    }
};

// One entry as the engine's reader records it: name and method from the
// local header, sizes and checksum from wherever it took them.
struct Entry {
    std::string name;
    std::uint64_t data = 0;
    unsigned flags = 0;
    unsigned method = 0;
    std::uint32_t crc = 0;
    std::uint32_t packed = 0;
    std::uint32_t size = 0;
};

// Refuses any header whose fields the engine would read otherwise: a
// name it would cut at a NUL, lengths it would take as negative.
bool readLocalHeader(const ArchiveFile& file, std::uint64_t at, unsigned char (&header)[30],
                     Entry& entry) {
    if (at >= ENGINE_OFFSET_LIMIT || !file.read(at, header, sizeof header) ||
        readLittleEndian(header, 4) != LOCAL_HEADER)
        return false;
    const unsigned nameLength = readLittleEndian(header + 26, 2);
    const unsigned extraLength = readLittleEndian(header + 28, 2);
    if (nameLength == 0 || nameLength > MAX_ARCHIVE_NAME_BYTES ||
        extraLength >= ENGINE_LENGTH_LIMIT)
        return false;
    entry.name.resize(nameLength);
    if (!file.read(at + 30, &entry.name[0], nameLength) ||
        entry.name.find('\0') != std::string::npos)
        return false;
    entry.data = at + 30 + nameLength + extraLength;
    entry.flags = readLittleEndian(header + 6, 2);
    entry.method = readLittleEndian(header + 8, 2);
    entry.crc = readLittleEndian(header + 14, 4);
    entry.packed = readLittleEndian(header + 18, 4);
    entry.size = readLittleEndian(header + 22, 4);
    return entry.data <= file.size;
}

// The engine's backward search for the end record, step for step: it
// skips ahead by the first of the four bytes it reads and so can step
// over the record; near the start of the file it then never ends. The
// format puts the record within the last 64 KiB and its own size, so
// the search goes no further.
bool findEndRecord(const ArchiveFile& file, std::uint64_t& at) {
    if (file.size < END_RECORD_BYTES)
        return false;
    const std::uint64_t window = std::min(file.size, END_RECORD_BYTES + MAX_COMMENT_BYTES);
    const std::int64_t start = static_cast<std::int64_t>(file.size - window);
    std::vector<unsigned char> tail(window);
    if (!file.read(file.size - window, tail.data(), window))
        return false;
    std::int64_t position = static_cast<std::int64_t>(file.size - END_RECORD_BYTES);
    while (position > 0 && position >= start) {
        const unsigned char* bytes = &tail[static_cast<size_t>(position - start)];
        if (readLittleEndian(bytes, 4) == END_RECORD) {
            at = static_cast<std::uint64_t>(position);
            return true;
        }
        const int back = bytes[0] == 0x4b ? 5 : bytes[0] == 0x05 ? 6 : bytes[0] == 0x06 ? 7 : 8;
        position += 4 - back;
    }
    return false;
}

bool readCentralDirectory(const ArchiveFile& file, std::vector<Entry>& entries) {
    entries.clear();
    std::uint64_t end = 0;
    unsigned char record[END_RECORD_BYTES];
    // The record found must also close the file, so that every reader
    // takes the same one.
    if (!findEndRecord(file, end) || !file.read(end, record, sizeof record) ||
        end + sizeof record + readLittleEndian(record + 20, 2) != file.size)
        return false;
    std::uint64_t at = readLittleEndian(record + 16, 4);
    for (;;) {
        unsigned char header[46];
        // Past the end the engine would keep the last header it read and
        // go round for ever.
        if (!file.read(at, header, 4))
            return false;
        if (readLittleEndian(header, 4) != CENTRAL_HEADER)
            return true;
        Entry entry;
        unsigned char local[30];
        if (!file.read(at, header, sizeof header) ||
            !readLocalHeader(file, readLittleEndian(header + 42, 4), local, entry) ||
            entries.size() == MAX_ARCHIVE_ENTRIES)
            return false;
        entry.crc = readLittleEndian(header + 16, 4);
        entry.packed = readLittleEndian(header + 20, 4);
        entry.size = readLittleEndian(header + 24, 4);
        entries.push_back(entry);
        at += sizeof header + readLittleEndian(header + 28, 2) + readLittleEndian(header + 30, 2) +
              readLittleEndian(header + 32, 2);
    }
}

// The entries the engine's reader will list, in its order: the chain of
// local headers from the start of the file, or the central directory
// once one of them defers its sizes to a data descriptor.
bool readAsTheEngine(const ArchiveFile& file, std::vector<Entry>& entries) {
    std::uint64_t at = 0;
    for (;;) {
        unsigned char signature[4];
        if (!file.read(at, signature, 4) || readLittleEndian(signature, 4) != LOCAL_HEADER)
            return true;
        Entry entry;
        unsigned char header[30];
        if (!readLocalHeader(file, at, header, entry))
            return false;
        if (entry.flags & SIZES_AFTER_DATA)
            return readCentralDirectory(file, entries);
        if (entries.size() == MAX_ARCHIVE_ENTRIES)
            return false;
        entries.push_back(entry);
        at = entry.data + entry.packed;
    }
}

// What libzip, reading the central directory, says of each entry.
bool matchesCentralDirectory(const char* path, const std::vector<Entry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path, ZIP_RDONLY, &error);
    if (!archive)
        return false;
    bool same = zip_get_num_entries(archive, 0) == static_cast<zip_int64_t>(entries.size());
    for (size_t i = 0; same && i < entries.size(); ++i) {
        zip_stat_t stat;
        same = zip_stat_index(archive, i, ZIP_FL_ENC_RAW, &stat) == 0 &&
               entries[i].name == stat.name && entries[i].method == stat.comp_method &&
               entries[i].crc == stat.crc && entries[i].packed == stat.comp_size &&
               entries[i].size == stat.size && stat.encryption_method == ZIP_EM_NONE;
    }
    zip_discard(archive);
    return same;
}

unsigned limitForKind(const std::string& name) {
    const bool description =
        name.size() >= 4 && strcasecmp(name.c_str() + name.size() - 4, ".xml") == 0;
    return description ? MAX_FONT_DESCRIPTION_BYTES : MAX_PICTURE_BYTES;
}

bool sizesAreSane(const ArchiveFile& file, const std::vector<Entry>& entries) {
    std::uint64_t total = 0;
    for (const Entry& entry : entries) {
        total += entry.size;
        if ((entry.flags & ENCRYPTED) || (entry.method != 0 && entry.method != 8) ||
            (entry.method == 0 && entry.packed != entry.size) ||
            entry.size > limitForKind(entry.name) || entry.packed > file.size - entry.data ||
            total > MAX_ARCHIVE_BYTES)
            return false;
    }
    return true;
}

bool storedDataIsIntact(const ArchiveFile& file, const Entry& entry) {
    unsigned char in[32768];
    std::uint64_t at = entry.data;
    uLong crc = crc32(0, nullptr, 0);
    for (std::uint64_t left = entry.packed; left > 0;) {
        const std::uint64_t count = std::min<std::uint64_t>(left, sizeof in);
        if (!file.read(at, in, count))
            return false;
        crc = crc32(crc, in, static_cast<uInt>(count));
        at += count;
        left -= count;
    }
    return crc == entry.crc;
}

// Inflates an entry in small pieces, never past its declared size.
bool deflatedDataIsIntact(const ArchiveFile& file, const Entry& entry) {
    unsigned char in[32768];
    unsigned char out[32768];
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::uint64_t at = entry.data;
    std::uint64_t left = entry.packed;
    std::uint64_t produced = 0;
    uLong crc = crc32(0, nullptr, 0);
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0 && left > 0) {
            const std::uint64_t count = std::min<std::uint64_t>(left, sizeof in);
            if (!file.read(at, in, count))
                break;
            stream.next_in = in;
            stream.avail_in = static_cast<uInt>(count);
            at += count;
            left -= count;
        }
        stream.next_out = out;
        stream.avail_out = sizeof out;
        status = inflate(&stream, Z_NO_FLUSH);
        const uInt got = static_cast<uInt>(sizeof out - stream.avail_out);
        produced += got;
        if (produced > entry.size)
            break;
        crc = crc32(crc, out, got);
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END && produced == entry.size && crc == entry.crc;
}

bool dataIsIntact(const ArchiveFile& file, const Entry& entry) {
    return entry.method == 0 ? storedDataIsIntact(file, entry) : deflatedDataIsIntact(file, entry);
}

// Every check that needs no entry's data comes first, so that refusing a
// hostile archive costs next to nothing.
bool entriesAreSafe(const char* path, const ArchiveFile& file, std::vector<Entry>& entries) {
    if (!readAsTheEngine(file, entries) || entries.empty() || !sizesAreSane(file, entries) ||
        !matchesCentralDirectory(path, entries))
        return false;
    for (const Entry& entry : entries)
        if (!dataIsIntact(file, entry))
            return false;
    return true;
}

} // namespace

bool isArchiveSafeToMount(const char* path, std::vector<ArchiveEntry>& accepted) {
    accepted.clear();
    ArchiveFile file;
    // Not blocking: a named pipe in the archive's place would wait for a
    // writer.
    file.fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0)
        return false;
    struct stat status;
    std::vector<Entry> entries;
    bool safe = fstat(file.fd, &status) == 0 && S_ISREG(status.st_mode) &&
                static_cast<std::uint64_t>(status.st_size) <= MAX_ARCHIVE_BYTES;
    file.size = safe ? static_cast<std::uint64_t>(status.st_size) : 0;
    safe = safe && entriesAreSafe(path, file, entries);
    close(file.fd);
    for (size_t i = 0; safe && i < entries.size(); ++i)
        accepted.push_back({entries[i].name, static_cast<std::uint32_t>(entries[i].data),
                            entries[i].size, entries[i].packed, entries[i].method == 8});
    return safe;
}

bool engineListsAccepted(irr::io::IFileSystem* files, const irr::io::IFileList* listed,
                         const std::vector<ArchiveEntry>& accepted) {
    // The engine's own list turns the accepted names into what it lists:
    // case folded, folders dropped, directories marked.
    irr::io::IFileList* expected = files->createEmptyFileList("", true, true);
    for (const ArchiveEntry& entry : accepted)
        expected->addItem(entry.name.c_str(), entry.offset, entry.size, false, 0);
    using Item = std::tuple<std::string, irr::u32, irr::u32, bool>;
    std::vector<Item> mine;
    std::vector<Item> engines;
    for (irr::u32 i = 0; i < expected->getFileCount(); ++i)
        mine.emplace_back(expected->getFullFileName(i).c_str(), expected->getFileOffset(i),
                          expected->getFileSize(i), expected->isDirectory(i));
    for (irr::u32 i = 0; i < listed->getFileCount(); ++i)
        engines.emplace_back(listed->getFullFileName(i).c_str(), listed->getFileOffset(i),
                             listed->getFileSize(i), listed->isDirectory(i));
    expected->drop();
    std::sort(mine.begin(), mine.end());
    std::sort(engines.begin(), engines.end());
    return mine == engines;
}
