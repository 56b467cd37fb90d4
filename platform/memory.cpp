#include "platform/memory.h"

#include <cstdint>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Above the largest buffer the game sees: 1600 x 1000 pixels of 4 bytes.
const int LARGE_BUFFER_BYTES = 8 * 1024 * 1024;
// Free memory at the top of the heap is handed back beyond this much.
const int KEPT_FREE_BYTES = 2 * LARGE_BUFFER_BYTES;

} // namespace

void keepLargeFreedBuffers() {
    mallopt(M_MMAP_THRESHOLD, LARGE_BUFFER_BYTES);
    mallopt(M_TRIM_THRESHOLD, KEPT_FREE_BYTES);
}

void returnFreedMemory() {
    malloc_trim(0);
}

void returnPagesOf(void* buffer, size_t bytes) {
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + bytes) / page * page;
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}
