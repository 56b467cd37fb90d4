#include "file_checks/limits.h"
#include "file_checks/picture_decoders.h"

#include <cstring>
#include <png.h>

namespace {

// Enough for the palette and transparency chunks, the only ones besides
// the image data that are read; a longer chunk of any kind is refused.
const png_alloc_size_t MAX_CHUNK_BYTES = 1u << 20;
const png_uint_32 MAX_CACHED_CHUNKS = 32;

struct Source {
    const unsigned char* next;
    std::size_t left;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    Source* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->left)
        png_error(png, "truncated");
    std::memcpy(out, source->next, count);
    source->next += count;
    source->left -= count;
}

[[noreturn]] void fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// A warning is how libpng reports damage it papered over, such as image
// data beyond what the header declares (only the part the header names
// would show): such a picture is refused rather than shown otherwise than
// its file says.
void refuseOnWarning(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Limits set before a byte is read: sides refused while the header is
// read, before any row is allocated; text, colour profiles and every
// other ancillary chunk the game has no use for skipped unread, never
// inflated (a file of compressed text chunks once took 43 s).
void limitReader(png_structp png, unsigned maxSide) {
    png_set_user_limits(png, maxSide, maxSide);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_cache_max(png, MAX_CACHED_CHUNKS);
    png_set_chunk_malloc_max(png, MAX_CHUNK_BYTES);
}

// Every kind of PNG ends up as 8-bit RGB, or BGRA where it has alpha;
// false when the rows would not come out that way. A palette picture's
// rows come out as one index a pixel, looked up by `lookUpPalette`.
bool setOutputLayout(png_structp png, png_infop info, unsigned maxSide, DecodedPicture& layout,
                     bool& indexed) {
    const int colorType = png_get_color_type(png, info);
    layout.alpha =
        (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    indexed = colorType == PNG_COLOR_TYPE_PALETTE;
    if (indexed) {
        png_set_packing(png);
    } else {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        if (layout.alpha)
            png_set_bgr(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout.width = png_get_image_width(png, info);
    layout.height = png_get_image_height(png, info);
    return layout.width > 0 && layout.height > 0 && layout.width <= maxSide &&
           layout.height <= maxSide &&
           static_cast<unsigned long>(layout.width) * layout.height <= MAX_PNG_PIXELS &&
           png_get_rowbytes(png, info) == static_cast<size_t>(layout.width) * (indexed        ? 1
                                                                               : layout.alpha ? 4
                                                                                              : 3);
}

// libpng checks indices only in rows it has not expanded, and then lets
// the one just past the palette's end through: such a pixel would be
// drawn black without a word. Here every index must name a colour.
void lookUpPalette(png_structp png, png_infop info, const unsigned char* indices,
                   const DecodedPicture& layout, unsigned char* pixels) {
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &colours, &count) == 0 || !colours)
        png_error(png, "no palette");
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_color_16p unused = nullptr;
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_get_tRNS(png, info, &alphas, &alphaCount, &unused);
    const size_t pixelCount = static_cast<size_t>(layout.width) * layout.height;
    for (size_t i = 0; i < pixelCount; ++i) {
        const int index = indices[i];
        if (index >= count)
            png_error(png, "palette index past the palette");
        const png_color& colour = colours[index];
        if (layout.alpha) {
            *pixels++ = colour.blue;
            *pixels++ = colour.green;
            *pixels++ = colour.red;
            *pixels++ = alphas && index < alphaCount ? alphas[index] : 255;
        } else {
            *pixels++ = colour.red;
            *pixels++ = colour.green;
            *pixels++ = colour.blue;
        }
    }
}

} // namespace

bool decodePng(const unsigned char* bytes, std::size_t size, unsigned maxSide,
               DecodedPicture& picture) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, fail, refuseOnWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    Source source{bytes, size};
    unsigned char* volatile pixels = nullptr;
    unsigned char* volatile indices = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        delete[] pixels;
        delete[] indices;
        delete[] rows;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (!info)
        png_error(png, "out of memory");
    limitReader(png, maxSide);
    png_set_read_fn(png, &source, readFromMemory);
    png_read_info(png, info);
    DecodedPicture layout;
    bool indexed = false;
    if (!setOutputLayout(png, info, maxSide, layout, indexed))
        png_error(png, "unexpected layout");

    const size_t rowBytes = static_cast<size_t>(layout.width) * (layout.alpha ? 4 : 3);
    pixels = new unsigned char[rowBytes * layout.height];
    if (indexed)
        indices = new unsigned char[static_cast<size_t>(layout.width) * layout.height];
    rows = new png_bytep[layout.height];
    for (png_uint_32 y = 0; y < layout.height; ++y)
        rows[y] = indexed ? indices + static_cast<size_t>(layout.width) * y : pixels + rowBytes * y;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    if (indexed)
        lookUpPalette(png, info, indices, layout, pixels);

    delete[] indices;
    delete[] rows;
    png_destroy_read_struct(&png, &info, nullptr);
    picture = layout;
    picture.pixels = pixels;
    return true;
}
