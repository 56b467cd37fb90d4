#include "file_checks/limits.h"
#include "file_checks/picture_decoders.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct Errors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool warned;
};

[[noreturn]] void fail(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<Errors*>(codec->err)->jump, 1);
}

[[noreturn]] void fail(j_decompress_ptr codec) {
    fail(reinterpret_cast<j_common_ptr>(codec));
}

// Warnings are how libjpeg reports corrupt or missing data it papered
// over (a truncated file reads as if it ended there): such a picture is
// refused rather than shown half grey.
void noteMessage(j_common_ptr codec, int level) {
    if (level < 0)
        reinterpret_cast<Errors*>(codec->err)->warned = true;
}

// The scans are counted before decoding (file_checks/picture_header.h);
// this holds the decoder to the same limit on its own.
void limitScans(j_common_ptr codec) {
    if (reinterpret_cast<j_decompress_ptr>(codec)->input_scan_number >
        static_cast<int>(MAX_JPEG_SCANS))
        fail(codec);
}

// Whether the first frame marker is baseline (0xc0) or progressive
// (0xc2) Huffman coding, the kinds every camera and editor writes.
// Arithmetic coding, which libjpeg decodes from empty scans without a
// warning, and the rarer kinds are refused.
bool isBaselineOrProgressive(const unsigned char* bytes, std::size_t size) {
    std::size_t at = 2;
    while (at + 4 <= size && bytes[at] == 0xff) {
        const unsigned char marker = bytes[at + 1];
        const bool frame =
            marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (frame)
            return marker == 0xc0 || marker == 0xc2;
        if (marker == 0xd9 || marker == 0xda)
            return false;
        at += marker == 0xff ? 1 : 2 + (bytes[at + 2] << 8 | bytes[at + 3]);
    }
    return false;
}

void readHeader(jpeg_decompress_struct& codec, unsigned maxSide) {
    if (jpeg_read_header(&codec, TRUE) != JPEG_HEADER_OK || codec.arith_code ||
        codec.data_precision != 8)
        fail(&codec);
    const JDIMENSION width = codec.image_width;
    const JDIMENSION height = codec.image_height;
    const bool colour = codec.jpeg_color_space == JCS_YCbCr || codec.jpeg_color_space == JCS_RGB ||
                        codec.jpeg_color_space == JCS_GRAYSCALE;
    if (!colour || width == 0 || height == 0 || width > maxSide || height > maxSide ||
        static_cast<unsigned long>(width) * height > MAX_JPEG_PIXELS)
        fail(&codec);
    codec.out_color_space = JCS_RGB;
    // As the engine decoded: faster, and the pictures look as they did.
    codec.do_fancy_upsampling = FALSE;
}

void readRows(jpeg_decompress_struct& codec, unsigned char* volatile& pixels) {
    const JDIMENSION width = codec.image_width;
    const JDIMENSION height = codec.image_height;
    jpeg_start_decompress(&codec);
    if (codec.output_components != 3 || codec.output_width != width ||
        codec.output_height != height)
        fail(&codec);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    pixels = new unsigned char[rowBytes * height];
    while (codec.output_scanline < height) {
        JSAMPROW row = pixels + rowBytes * codec.output_scanline;
        jpeg_read_scanlines(&codec, &row, 1);
    }
    jpeg_finish_decompress(&codec);
}

} // namespace

bool decodeJpeg(const unsigned char* bytes, std::size_t size, unsigned maxSide,
                DecodedPicture& picture) {
    if (!isBaselineOrProgressive(bytes, size))
        return false;
    jpeg_decompress_struct codec;
    Errors errors;
    codec.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = fail;
    errors.manager.emit_message = noteMessage;
    errors.warned = false;
    jpeg_progress_mgr progress;
    progress.progress_monitor = limitScans;
    unsigned char* volatile pixels = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&codec);
        delete[] pixels;
        return false;
    }
    jpeg_create_decompress(&codec);
    codec.progress = &progress;
    // Beyond this the multi-scan buffers would need a backing store,
    // which this libjpeg refuses.
    codec.mem->max_memory_to_use = 64L << 20;
    jpeg_mem_src(&codec, bytes, static_cast<unsigned long>(size));
    readHeader(codec, maxSide);
    readRows(codec, pixels);
    const JDIMENSION width = codec.image_width;
    const JDIMENSION height = codec.image_height;
    jpeg_destroy_decompress(&codec);
    if (errors.warned) {
        delete[] pixels;
        return false;
    }
    picture.pixels = pixels;
    picture.width = width;
    picture.height = height;
    picture.alpha = false;
    return true;
}
