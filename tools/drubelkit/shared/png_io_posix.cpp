#include "shared/png_io.h"

#include <png.h>

#include <cstring>

namespace {

// libpng reports errors by longjmp; everything that needs destroying is
// held outside the jumping frames.
struct ReadSource {
    const std::vector<uint8_t>* File;
    size_t Position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    ReadSource* source = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (count > source->File->size() - source->Position)
        png_error(png, "the file ends inside the picture");
    memcpy(out, source->File->data() + source->Position, count);
    source->Position += count;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t count)
{
    std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

// libpng's message is kept for the caller instead of going to stderr.
void KeepError(png_structp png, png_const_charp message)
{
    std::string* error = static_cast<std::string*>(png_get_error_ptr(png));
    if (error != nullptr)
        *error = message;
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// The limit keeps a forged header from asking for gigabytes.
constexpr uint32_t MaxSide = 1u << 16;
constexpr uint64_t MaxPixels = uint64_t{1} << 28;

bool DecodePng(png_structp png, png_infop info, ReadSource* source, uint32_t* width, uint32_t* height,
               std::vector<uint8_t>* pixels, std::vector<png_bytep>* rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, source, ReadFromMemory);
    png_set_user_limits(png, MaxSide, MaxSide);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    if (static_cast<uint64_t>(w) * h > MaxPixels)
        png_error(png, "the picture is too large");
    // Everything becomes 8-bit BGRA.
    if (png_get_bit_depth(png, info) == 16)
        png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(w) * 4)
        png_error(png, "unexpected row layout");
    pixels->assign(static_cast<size_t>(w) * h * 4, 0);
    rows->resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        (*rows)[y] = pixels->data() + static_cast<size_t>(h - 1 - y) * w * 4;  // bottom-up
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    *width = w;
    *height = h;
    return true;
}

bool EncodePng(png_structp png, png_infop info, uint32_t width, uint32_t height, const uint8_t* pixels,
               bool alpha, std::vector<uint8_t>* file, std::vector<png_bytep>* rows,
               std::vector<uint8_t>* packed)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, file, WriteToMemory, FlushNothing);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    const uint8_t* source = pixels;
    if (!alpha) {
        // Three bytes a pixel: drop the fourth byte here rather than through
        // a libpng transform, which would want writable rows.
        packed->resize(static_cast<size_t>(width) * height * 3);
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
            memcpy(packed->data() + i * 3, pixels + i * 4, 3);
        source = packed->data();
    }
    const size_t rowBytes = static_cast<size_t>(width) * (alpha ? 4 : 3);
    rows->resize(height);
    for (uint32_t y = 0; y < height; ++y)
        (*rows)[y] = const_cast<png_bytep>(source + static_cast<size_t>(height - 1 - y) * rowBytes);
    png_write_image(png, rows->data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool ReadPng(const std::vector<uint8_t>& file, uint32_t* width, uint32_t* height,
             std::vector<uint8_t>* pixels, std::string* error)
{
    if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) {
        *error = "not a PNG file";
        return false;
    }
    std::string message;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, KeepError, IgnoreWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        *error = "out of memory";
        return false;
    }
    ReadSource source{&file, 0};
    std::vector<png_bytep> rows;
    const bool ok = DecodePng(png, info, &source, width, height, pixels, &rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok)
        *error = "damaged PNG file: " + message;
    return ok;
}

bool WritePng(uint32_t width, uint32_t height, const uint8_t* pixels, std::vector<uint8_t>* file,
              std::string* error)
{
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        *error = "a PNG picture must be between 1 and 2^31 - 1 pixels on each side";
        return false;
    }
    bool alpha = false;
    for (size_t i = 0; i < static_cast<size_t>(width) * height && !alpha; ++i)
        alpha = pixels[i * 4 + 3] != 255;
    std::string message;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, KeepError, IgnoreWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        *error = "out of memory";
        return false;
    }
    file->clear();
    std::vector<png_bytep> rows;
    std::vector<uint8_t> packed;
    const bool ok = EncodePng(png, info, width, height, pixels, alpha, file, &rows, &packed);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        *error = "cannot write the PNG: " + message;
    return ok;
}
