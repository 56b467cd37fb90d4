#include "file_checks/archive_entry.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <zlib.h>

namespace {

const size_t PIECE_BYTES = 64 * 1024;

// The inflater and the last piece of the entry it gave.
struct Inflating {
    int archive = -1;
    ArchiveEntry entry;
    z_stream stream{};
    bool started = false;
    bool ended = false;
    std::uint64_t consumed = 0;
    unsigned char in[32 * 1024];
    std::vector<unsigned char> out = std::vector<unsigned char>(PIECE_BYTES);
    size_t outStart = 0;
    size_t outLength = 0;

    ~Inflating() {
        if (started)
            inflateEnd(&stream);
    }

    bool restart() {
        if (started)
            inflateEnd(&stream);
        std::memset(&stream, 0, sizeof stream);
        started = inflateInit2(&stream, -MAX_WBITS) == Z_OK;
        ended = false;
        consumed = 0;
        outStart = outLength = 0;
        return started;
    }

    // The piece after the one held.
    bool next() {
        outStart += outLength;
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        while (stream.avail_out > 0 && !ended) {
            if (stream.avail_in == 0) {
                const size_t count = static_cast<size_t>(
                    std::min<std::uint64_t>(entry.packed - consumed, sizeof in));
                if (count == 0 ||
                    pread(archive, in, count, static_cast<off_t>(entry.offset + consumed)) !=
                        static_cast<ssize_t>(count))
                    break;
                consumed += count;
                stream.next_in = in;
                stream.avail_in = static_cast<uInt>(count);
            }
            const int status = inflate(&stream, Z_NO_FLUSH);
            ended = status == Z_STREAM_END;
            if (status != Z_OK && !ended)
                break;
        }
        outLength = out.size() - stream.avail_out;
        return outLength > 0;
    }

    bool read(size_t at, unsigned char* to, size_t count) {
        if ((!started || at < outStart) && !restart())
            return false;
        while (count > 0) {
            while (at >= outStart + outLength)
                if (!next())
                    return false;
            const size_t taken = std::min(count, outStart + outLength - at);
            std::memcpy(to, out.data() + (at - outStart), taken);
            to += taken;
            at += taken;
            count -= taken;
        }
        return true;
    }
};

} // namespace

ReadAt readArchiveEntry(int archive, const ArchiveEntry& entry) {
    if (!entry.deflated)
        return [archive, entry](size_t at, void* out, size_t count) {
            return at <= entry.size && count <= entry.size - at &&
                   pread(archive, out, count, static_cast<off_t>(entry.offset + at)) ==
                       static_cast<ssize_t>(count);
        };
    auto inflating = std::make_shared<Inflating>();
    inflating->archive = archive;
    inflating->entry = entry;
    return [inflating](size_t at, void* out, size_t count) {
        return at <= inflating->entry.size && count <= inflating->entry.size - at &&
               inflating->read(at, static_cast<unsigned char*>(out), count);
    };
}
