// Pictures: EPA decoding against libpng decoding the same picture as PNG,
// the blend kernels against pixman's OVER, and EPA file size against PNG.
//
// Every picture is 1920 x 1080 and made here: a dithered gradient with flat
// shapes on it (the kind of art an install screen shows), opaque for the
// 24-bit kind, posterised to at most 256 colours for the 8-bit kind, and
// for the 32-bit kind a panel with soft edges, a translucent band and a
// clear background.
#include "image/epa.h"
#include "image/epa_encode.h"
#include "image/surface.h"
#include "shared/png_io.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr uint32_t Width = 1920;
constexpr uint32_t Height = 1080;
constexpr size_t PictureBytes = size_t{Width} * Height * 4;

struct Shape {
    int X, Y, R;  // circle centre and radius; R < 0: a square of side -R
    uint8_t B, G, Rd;
};

const Shape Shapes[] = {
    {300, 250, 120, 30, 60, 200},  {900, 500, 200, 220, 200, 40}, {1500, 300, -260, 80, 160, 90},
    {600, 800, -180, 200, 80, 150}, {1650, 850, 150, 40, 40, 40},  {1200, 150, 70, 250, 250, 250},
};

uint32_t Noise(uint32_t* state)
{
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

// How much of the pixel a shape covers (0 to 1), with a one-pixel soft edge.
double Coverage(const Shape& s, int x, int y)
{
    double inside;
    if (s.R >= 0) {
        inside = s.R - std::sqrt(double(x - s.X) * (x - s.X) + double(y - s.Y) * (y - s.Y));
    } else {
        const double half = -s.R / 2.0;
        inside = half - std::max(std::fabs(double(x - s.X)), std::fabs(double(y - s.Y)));
    }
    return std::min(1.0, std::max(0.0, inside + 0.5));
}

// bits 8, 24 or 32. Rows bottom-up like every picture of the program.
std::vector<uint8_t> MakePicture(int bits)
{
    std::vector<uint8_t> p(PictureBytes);
    uint32_t state = 2024;
    for (uint32_t row = 0; row < Height; ++row) {
        const int y = static_cast<int>(Height - 1 - row);
        for (uint32_t x = 0; x < Width; ++x) {
            const int dither = static_cast<int>(Noise(&state) % 3) - 1;
            double c[3] = {60 + 150.0 * x / Width + dither, 40 + 120.0 * y / Height + dither,
                           180 - 100.0 * (x + y) / (Width + Height) + dither};
            double alpha = 255;
            for (const Shape& s : Shapes) {
                const double k = Coverage(s, static_cast<int>(x), y);
                const uint8_t colour[3] = {s.B, s.G, s.Rd};
                for (int i = 0; i < 3; ++i)
                    c[i] = c[i] * (1 - k) + colour[i] * k;
            }
            if (bits == 8) {
                // Six levels a channel: 216 colours.
                for (double& v : c)
                    v = std::round(std::min(255.0, std::max(0.0, v)) / 51.0) * 51.0;
            }
            if (bits == 32) {
                // A rounded panel, soft at its border, over a clear
                // background, with a translucent band across it.
                const double dx = std::max(0.0, std::fabs(x - 960.0) - 800);
                const double dy = std::max(0.0, std::fabs(y - 540.0) - 420);
                const double edge = 60 - std::sqrt(dx * dx + dy * dy);
                alpha = std::min(255.0, std::max(0.0, edge * 8));
                if (y > 700 && y < 860)
                    alpha = std::min(alpha, 80 + (y - 700) * 1.0);
            }
            uint8_t* q = &p[(static_cast<size_t>(row) * Width + x) * 4];
            for (int i = 0; i < 3; ++i)
                q[i] = static_cast<uint8_t>(std::lround(std::min(255.0, std::max(0.0, c[i]))));
            q[3] = static_cast<uint8_t>(std::lround(alpha));
        }
    }
    return p;
}

struct Encoded {
    std::vector<uint8_t> Pixels, Epa, Png;
};

const Encoded& Picture(int bits)
{
    static std::map<int, Encoded> cache;
    auto found = cache.find(bits);
    if (found != cache.end())
        return found->second;
    Encoded& e = cache[bits];
    e.Pixels = MakePicture(bits);
    std::string error;
    if (!EncodeEpa(e.Pixels.data(), Width, Height, static_cast<uint32_t>(bits), &e.Epa, &error) ||
        !WritePng(Width, Height, e.Pixels.data(), &e.Png, &error)) {
        fprintf(stderr, "image_bench: %s\n", error.c_str());
        abort();
    }
    return e;
}

// Shown as units per second ("MB" 450/s: 450 MB a second).
void SetRate(benchmark::State& state, const char* name, double unitsPerIteration)
{
    state.counters[name] =
        benchmark::Counter(unitsPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EpaDecode(benchmark::State& state)
{
    const Encoded& e = Picture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int32_t w = 0, h = 0;
        uint8_t* pixels = DecodeImageFile(e.Epa.data(), e.Epa.size(), &w, &h);
        benchmark::DoNotOptimize(pixels);
        if (pixels == nullptr || memcmp(pixels, e.Pixels.data(), 64) != 0)
            state.SkipWithError("decoded picture differs");
        free(pixels);
    }
    SetRate(state, "MB", PictureBytes / 1e6);
}
BENCHMARK(BM_EpaDecode)->ArgName("bits")->Arg(8)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

// The same picture as PNG through libpng, into the same BGRA bottom-up layout.
void BM_PngDecode(benchmark::State& state)
{
    const Encoded& e = Picture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        uint32_t w = 0, h = 0;
        std::vector<uint8_t> pixels;
        std::string error;
        if (!ReadPng(e.Png, &w, &h, &pixels, &error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(pixels.data());
    }
    SetRate(state, "MB", PictureBytes / 1e6);
}
BENCHMARK(BM_PngDecode)->ArgName("bits")->Arg(8)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

// Blending the 32-bit picture over the 24-bit one with DrawImage, by the
// exact kernel (0) or the packed one (1).
void BM_Blend(benchmark::State& state)
{
    const Encoded& source = Picture(32);
    const Encoded& back = Picture(24);
    Surface* surface = CreateMemorySurface(Width, Height);
    memcpy(surface->Bits, back.Pixels.data(), PictureBytes);
    const int saved = MmxAvailable;
    MmxAvailable = static_cast<int>(state.range(0));
    for (auto _ : state) {
        DrawImage(surface, source.Pixels.data(), 0, 0, Width, Height, 0);
        benchmark::DoNotOptimize(surface->Bits);
    }
    MmxAvailable = saved;
    FreeSurface(surface);
    SetRate(state, "Mpix", Width * Height / 1e6);
}
BENCHMARK(BM_Blend)->ArgName("packed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// pixman's OVER on the same pictures. OVER takes premultiplied colour, so the
// source is premultiplied once beforehand (not timed); the work per pixel is
// then the same as ours: a multiply of each destination channel by 255 - a
// and a division by 255. The destination is x8r8g8b8, as our fourth byte
// is never shown.
void BM_Blend_Pixman(benchmark::State& state)
{
    const Encoded& source = Picture(32);
    const Encoded& back = Picture(24);
    std::vector<uint8_t> premultiplied = source.Pixels;
    for (size_t i = 0; i < premultiplied.size(); i += 4) {
        const unsigned a = premultiplied[i + 3];
        for (int c = 0; c < 3; ++c)
            premultiplied[i + c] = static_cast<uint8_t>((premultiplied[i + c] * a + 127) / 255);
    }
    std::vector<uint8_t> dest = back.Pixels;
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, Width, Height,
                                                   reinterpret_cast<uint32_t*>(premultiplied.data()), Width * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, Width, Height,
                                                   reinterpret_cast<uint32_t*>(dest.data()), Width * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, Width, Height);
        benchmark::DoNotOptimize(dest.data());
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    SetRate(state, "Mpix", Width * Height / 1e6);
}
BENCHMARK(BM_Blend_Pixman)->Unit(benchmark::kMillisecond);

// Size of the encoder's file against the same picture as PNG at libpng's
// default level; ratio = EPA bytes / PNG bytes (below 1: EPA is smaller).
void BM_EpaEncode(benchmark::State& state)
{
    const Encoded& e = Picture(static_cast<int>(state.range(0)));
    std::vector<uint8_t> file;
    for (auto _ : state) {
        std::string error;
        EncodeEpa(e.Pixels.data(), Width, Height, static_cast<uint32_t>(state.range(0)), &file, &error);
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["epa_KB"] = static_cast<double>(file.size()) / 1e3;
    state.counters["png_KB"] = static_cast<double>(e.Png.size()) / 1e3;
    state.counters["epa/png"] = static_cast<double>(file.size()) / static_cast<double>(e.Png.size());
    SetRate(state, "MB", PictureBytes / 1e6);
}
BENCHMARK(BM_EpaEncode)->ArgName("bits")->Arg(8)->Arg(24)->Arg(32)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
