#include "app/files/picture_decoders.h"

#include <cstring>
#include <png.h>

namespace {

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

void ignoreWarning(png_structp, png_const_charp) {}

} // namespace

bool decodePng(const unsigned char* bytes, std::size_t size, unsigned maxSide,
               DecodedPicture& picture) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, fail, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    Source source{bytes, size};
    unsigned char* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        delete[] pixels;
        delete[] rows;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (!info)
        png_error(png, "out of memory");
    // Refused while the header is read, before any row is allocated.
    png_set_user_limits(png, maxSide, maxSide);
    png_set_read_fn(png, &source, readFromMemory);
    png_read_info(png, info);

    // Every kind of PNG ends up as 8-bit RGB, or BGRA where it has alpha.
    const int colorType = png_get_color_type(png, info);
    const bool alpha =
        (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (alpha)
        png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const size_t rowBytes = static_cast<size_t>(width) * (alpha ? 4 : 3);
    if (width == 0 || height == 0 || width > maxSide || height > maxSide ||
        png_get_rowbytes(png, info) != rowBytes)
        png_error(png, "unexpected layout");
    pixels = new unsigned char[rowBytes * height];
    rows = new png_bytep[height];
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = pixels + rowBytes * y;
    png_read_image(png, rows);
    png_read_end(png, nullptr);

    delete[] rows;
    png_destroy_read_struct(&png, &info, nullptr);
    picture.pixels = pixels;
    picture.width = width;
    picture.height = height;
    picture.alpha = alpha;
    return true;
}
