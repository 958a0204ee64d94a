// Small builders shared by the picture tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Deterministic generator for test data (xorshift32).
struct TestRandom {
    uint32_t State;
    explicit TestRandom(uint32_t seed) : State(seed ? seed : 1) {}
    uint32_t Next()
    {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return State;
    }
    uint8_t Byte() { return static_cast<uint8_t>(Next() >> 11); }
    // Alpha as pictures have it: mostly wholly clear or wholly opaque.
    uint8_t Alpha()
    {
        const uint32_t r = Next() % 8;
        return r < 3 ? 0 : r < 6 ? 255 : Byte();
    }
};

// BGRA pixels with random colours and biased alpha.
inline std::vector<uint8_t> RandomPixels(size_t count, uint32_t seed)
{
    TestRandom r(seed);
    std::vector<uint8_t> p(count * 4);
    for (size_t i = 0; i < count; ++i) {
        p[i * 4] = r.Byte();
        p[i * 4 + 1] = r.Byte();
        p[i * 4 + 2] = r.Byte();
        p[i * 4 + 3] = r.Alpha();
    }
    return p;
}

// An EPA file: header, the palette for 8 bits, then the stream as given.
inline std::vector<uint8_t> MakeEpaFile(uint8_t colourType, uint32_t width, uint32_t height,
                                        const std::vector<uint8_t>& stream,
                                        const std::vector<uint8_t>& palette = {}, uint8_t colours = 0)
{
    std::vector<uint8_t> f = {'E', 'P', 1, 1, colourType, colours, colours, 0};
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<uint8_t>(width >> (8 * i)));
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<uint8_t>(height >> (8 * i)));
    if (colourType == 0) {
        std::vector<uint8_t> full = palette;
        full.resize(768, 0);
        f.insert(f.end(), full.begin(), full.end());
    }
    f.insert(f.end(), stream.begin(), stream.end());
    return f;
}

// The stream that stores `bytes` as literal runs only.
inline std::vector<uint8_t> LiteralStream(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> s;
    for (size_t i = 0; i < bytes.size(); i += 15) {
        const size_t n = bytes.size() - i < 15 ? bytes.size() - i : 15;
        s.push_back(static_cast<uint8_t>(n));
        s.insert(s.end(), bytes.begin() + i, bytes.begin() + i + n);
    }
    return s;
}
