#include "image/epa.h"

#include "image/byte_cursor.h"
#include "image/epa_format.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t BitmapHeaderSize = 54;

// Copies `length` bytes from `distance` bytes back, with the result of a
// byte-by-byte copy: a distance shorter than the length repeats the
// pattern. The repeated span is copied in doubling blocks, each a multiple
// of the distance, so long runs cost a few memcpy calls.
void CopyBack(uint8_t* dest, size_t distance, size_t length)
{
    if (distance >= length) {
        memcpy(dest, dest - distance, length);
        return;
    }
    if (distance == 1) {
        memset(dest, dest[-1], length);
        return;
    }
    size_t done = 0, span = distance;
    while (done < length) {
        const size_t n = std::min(span, length - done);
        memcpy(dest + done, dest + done - span, n);
        done += n;
        span *= 2;
    }
}

// The copy of a distance of zero or less (`ahead` = minus the distance):
// each byte takes the one `ahead` bytes after it, as a byte-by-byte copy
// would, and a source past the end of the planes reads as zero.
void CopyForward(uint8_t* planes, size_t total, size_t at, size_t ahead, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const size_t source = at + i + ahead;
        planes[at + i] = source < total ? planes[source] : 0;
    }
}

// Bytes of the decoded picture; false when it cannot be held (sizes that
// do not fit the int32 outputs, or memory).
bool PictureBytes(const EpaInfo& info, size_t* bytes)
{
    if (info.Width > INT32_MAX || info.Height > INT32_MAX)
        return false;
    const uint64_t count = static_cast<uint64_t>(info.Width) * info.Height * 4u;
    if (count > SIZE_MAX / 2)
        return false;
    *bytes = static_cast<size_t>(count);
    return true;
}

inline void PutPixel(uint8_t* out, uint8_t b, uint8_t g, uint8_t r, uint8_t a)
{
    out[0] = b;
    out[1] = g;
    out[2] = r;
    out[3] = a;
}

// The header of a 32-bit uncompressed bitmap, read rather than trusted: its
// pixels when they lie in the file, as bottom-up rows; null otherwise.
uint8_t* DecodeBitmapFile(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height)
{
    if (size < BitmapHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return nullptr;
    ByteCursor c = MakeCursor(bytes, size, 10);
    const uint32_t dataOffset = NextLe32(&c);
    const uint32_t infoSize = NextLe32(&c);
    const int32_t w = static_cast<int32_t>(NextLe32(&c));
    const int32_t h = static_cast<int32_t>(NextLe32(&c));
    const uint32_t planes = NextLe16(&c);
    const uint32_t bits = NextLe16(&c);
    const uint32_t compression = NextLe32(&c);
    if (infoSize < 40 || planes != 1 || bits != 32 || compression != 0 || w <= 0 || h == 0 ||
        h == INT32_MIN)
        return nullptr;
    const uint64_t rows = static_cast<uint64_t>(h < 0 ? -static_cast<int64_t>(h) : h);
    const uint64_t rowBytes = static_cast<uint64_t>(w) * 4u;
    const uint64_t pixelBytes = rowBytes * rows;
    if (dataOffset < BitmapHeaderSize || dataOffset < 14u + static_cast<uint64_t>(infoSize) ||
        dataOffset > size || pixelBytes > size - dataOffset || pixelBytes > SIZE_MAX / 2)
        return nullptr;
    uint8_t* out = static_cast<uint8_t*>(malloc(static_cast<size_t>(pixelBytes)));
    if (out == nullptr)
        return nullptr;
    const uint8_t* data = bytes + dataOffset;
    if (h > 0) {
        memcpy(out, data, static_cast<size_t>(pixelBytes));
    } else {
        // Top-down rows: the program's pictures are bottom-up.
        for (uint64_t r = 0; r < rows; ++r)
            memcpy(out + (rows - 1 - r) * rowBytes, data + r * rowBytes, static_cast<size_t>(rowBytes));
    }
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = static_cast<int32_t>(rows);
    return out;
}

}  // namespace

int ParseEpaHeader(const uint8_t* bytes, size_t size, EpaInfo* info)
{
    if (bytes == nullptr || size < EpaHeaderSize)
        return EpaBadSignature;
    ByteCursor c = MakeCursor(bytes, size);
    const uint8_t e = NextByte(&c), p = NextByte(&c);
    if (e != 'E' || p != 'P')
        return EpaBadSignature;
    if (NextByte(&c) != 1)
        return EpaBadVersion;
    if (NextByte(&c) != 1)
        return EpaUnsupported;
    const uint8_t colourType = NextByte(&c);
    const uint32_t colours = NextByte(&c);
    const uint32_t important = NextByte(&c);
    NextByte(&c);
    uint32_t bits = 0;
    switch (colourType) {
    case 0: bits = 8; break;
    case 1: bits = 24; break;
    case 2: bits = 32; break;
    default: return EpaUnsupported;
    }
    info->BitsPerPixel = bits;
    info->Width = NextLe32(&c);
    info->Height = NextLe32(&c);
    info->ColourCount = bits == 8 ? (colours == 0 ? 256 : colours) : 0;
    info->ImportantColours = bits == 8 ? (important == 0 ? 256 : important) : 0;
    return EpaOk;
}

size_t EpaExpand(const uint8_t* stream, size_t streamSize, uint8_t* planes, uint32_t width,
                 uint32_t rows)
{
    const uint64_t total64 = static_cast<uint64_t>(width) * rows;
    if (planes == nullptr || total64 > SIZE_MAX)
        return 0;
    const size_t total = static_cast<size_t>(total64);
    int64_t distance[16];
    EpaDistanceTable(width, distance);
    ByteCursor in = MakeCursor(stream, streamSize);
    size_t produced = 0;
    // Any fault ends the expansion: input that runs out, a reference before
    // the first byte, a run past the end. What was produced stays.
    while (produced < total) {
        const uint8_t control = NextByte(&in);
        if (in.Ended)
            break;
        const size_t room = total - produced;
        if (control < 16) {
            const uint8_t* literal = nullptr;
            const size_t got = TakeBytes(&in, control, &literal);
            const size_t put = std::min(got, room);
            memcpy(planes + produced, literal, put);
            produced += put;
            if (in.Ended)
                break;
            continue;
        }
        size_t length = control & 7u;
        if (control & 8u) {
            length = length << 8 | NextByte(&in);
            if (in.Ended)
                break;
        }
        const int64_t d = distance[control >> 4];
        // A final run that overshoots is cut at the end: the bytes that fit
        // are the picture's, the rest has nowhere to go.
        const size_t n = std::min(length, room);
        if (d <= 0) {
            // Planes one or two bytes wide give distances of zero or less:
            // the byte-by-byte copy then reads at or after the byte it
            // writes, bytes not produced yet (zero in a fresh buffer), and
            // the stream goes on. Encoders of such pictures rely on it.
            CopyForward(planes, total, produced, static_cast<size_t>(-d), n);
            produced += n;
            continue;
        }
        if (static_cast<uint64_t>(d) > produced)
            break;
        CopyBack(planes + produced, static_cast<size_t>(d), n);
        produced += n;
    }
    return produced;
}

int DecodeEpaPixels(const uint8_t* bytes, size_t size, uint8_t* out)
{
    EpaInfo info;
    const int result = ParseEpaHeader(bytes, size, &info);
    if (result != EpaOk)
        return result;
    const uint32_t planeCount = info.BitsPerPixel / 8;
    const uint64_t planeBytes64 = static_cast<uint64_t>(info.Width) * info.Height;
    const uint64_t rows = static_cast<uint64_t>(info.Height) * planeCount;
    if (rows > UINT32_MAX || planeBytes64 > SIZE_MAX / 2 / planeCount)
        return EpaNoMemory;
    const size_t planeBytes = static_cast<size_t>(planeBytes64);
    uint8_t* planes = static_cast<uint8_t*>(calloc(planeBytes * planeCount + 1, 1));
    if (planes == nullptr)
        return EpaNoMemory;

    const size_t streamOffset = planeCount == 1 ? EpaPaletteStreamOffset : EpaHeaderSize;
    size_t produced = 0;
    if (streamOffset < size)
        produced = EpaExpand(bytes + streamOffset, size - streamOffset, planes, info.Width,
                             static_cast<uint32_t>(rows));
    // A pixel is whole once its byte of the last plane came out; the planes
    // run top to bottom, so the whole pixels are the first rows (and part
    // of the next). Every other pixel stays zero: transparent black.
    const size_t lastPlaneStart = planeBytes * (planeCount - 1);
    const size_t whole = produced <= lastPlaneStart ? 0 : std::min(produced - lastPlaneStart, planeBytes);

    const size_t w = info.Width, h = info.Height;
    memset(out, 0, planeBytes * 4);
    if (planeBytes == 0) {
        // No pixels: and a height of millions must not cost a pass per row.
        free(planes);
        return EpaOk;
    }
    uint8_t palette[256][3];
    if (planeCount == 1) {
        // Through the cursor: a file cut inside its palette has no whole
        // pixel, but the read must stay inside the file all the same.
        ByteCursor c = MakeCursor(bytes, size, EpaHeaderSize);
        for (int i = 0; i < 256; ++i)
            for (int k = 0; k < 3; ++k)
                palette[i][k] = NextByte(&c);
    }
    const uint8_t* blue = planes;
    const uint8_t* green = planes + planeBytes;
    const uint8_t* red = planes + 2 * planeBytes;
    const uint8_t* alpha = planeCount == 4 ? planes + 3 * planeBytes : nullptr;
    for (size_t r = 0; r < h; ++r) {
        // Output row r (bottom-up) is plane row h - 1 - r (top-down).
        const size_t row = (h - 1 - r) * w;
        if (row >= whole)
            continue;
        const size_t count = std::min(w, whole - row);
        uint8_t* o = out + r * w * 4;
        if (planeCount == 1) {
            for (size_t x = 0; x < count; ++x, o += 4) {
                const uint8_t* entry = palette[planes[row + x]];
                PutPixel(o, entry[0], entry[1], entry[2], 255);
            }
        } else if (alpha != nullptr) {
            for (size_t x = 0; x < count; ++x, o += 4)
                PutPixel(o, blue[row + x], green[row + x], red[row + x], alpha[row + x]);
        } else {
            for (size_t x = 0; x < count; ++x, o += 4)
                PutPixel(o, blue[row + x], green[row + x], red[row + x], 255);
        }
    }
    free(planes);
    return EpaOk;
}

uint8_t* DecodeImageFile(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height)
{
    if (bytes == nullptr || size < EpaHeaderSize)
        return nullptr;
    EpaInfo info;
    if (ParseEpaHeader(bytes, size, &info) != EpaOk)
        return DecodeBitmapFile(bytes, size, width, height);
    size_t outBytes = 0;
    if (!PictureBytes(info, &outBytes))
        return nullptr;
    uint8_t* out = static_cast<uint8_t*>(calloc(outBytes != 0 ? outBytes : 4, 1));
    if (out == nullptr)
        return nullptr;
    // A stream that fails leaves the picture as far as it got (zero beyond,
    // that is transparent black): still a picture.
    DecodeEpaPixels(bytes, size, out);
    if (width != nullptr)
        *width = static_cast<int32_t>(info.Width);
    if (height != nullptr)
        *height = static_cast<int32_t>(info.Height);
    return out;
}
