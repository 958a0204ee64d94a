// Reading untrusted bytes: every read is checked, and a read past the end
// yields 0 and marks the cursor, so that a short file is a decision of the
// caller and never a read outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteCursor {
    const uint8_t* Bytes;
    size_t Size;
    size_t Position;
    bool Ended;  // some read asked for bytes past the end
};

inline ByteCursor MakeCursor(const uint8_t* bytes, size_t size, size_t position = 0)
{
    return ByteCursor{bytes, bytes != nullptr ? size : 0, position, false};
}

inline uint8_t NextByte(ByteCursor* c)
{
    if (c->Position < c->Size)
        return c->Bytes[c->Position++];
    c->Ended = true;
    return 0;
}

inline uint32_t NextLe16(ByteCursor* c)
{
    const uint32_t low = NextByte(c);
    return low | static_cast<uint32_t>(NextByte(c)) << 8;
}

inline uint32_t NextLe32(ByteCursor* c)
{
    const uint32_t low = NextLe16(c);
    return low | NextLe16(c) << 16;
}

// Up to `count` bytes in place: `*start` points at them and the result says
// how many there are (fewer at the end, which marks the cursor).
inline size_t TakeBytes(ByteCursor* c, size_t count, const uint8_t** start)
{
    const size_t left = c->Position < c->Size ? c->Size - c->Position : 0;
    size_t n = count;
    if (n > left) {
        n = left;
        c->Ended = true;
    }
    *start = c->Bytes + c->Position;
    c->Position += n;
    return n;
}
