#include "image/epa_encode.h"

#include "image/epa.h"
#include "image/epa_format.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr size_t MaxLiteral = 15;
constexpr size_t MaxShortCopy = 7;
constexpr size_t MinLongCopy = 8;
constexpr size_t MaxLongCopy = 2047;
constexpr size_t MaxStreamBytes = size_t{1} << 31;

// One parse step from a position: a literal run (Nibble 0) or a copy with
// the distance of Nibble, Length bytes long.
struct Step {
    uint16_t Length;
    uint8_t Nibble;
};

// The stack of prefix minima of cost[] from the newest position rightwards:
// positions fall from front to back, costs rise. Its back is always the
// nearest position, and the minimum of cost over [back, limit] is the cost
// at the last entry not beyond limit.
struct MinimaStack {
    std::vector<uint32_t> Positions;

    void Push(uint32_t position, const std::vector<uint32_t>& cost)
    {
        while (!Positions.empty() && cost[Positions.back()] >= cost[position])
            Positions.pop_back();
        Positions.push_back(position);
    }

    uint32_t ArgMinUpTo(uint32_t limit) const
    {
        // First entry (from the front) whose position is at most limit.
        size_t low = 0, high = Positions.size() - 1;
        while (low < high) {
            const size_t mid = (low + high) / 2;
            if (Positions[mid] <= limit)
                high = mid;
            else
                low = mid + 1;
        }
        return Positions[low];
    }
};

void PutLe32(std::vector<uint8_t>* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t PixelColour(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
}

bool HasTransparency(const uint8_t* pixels, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (pixels[i * 4 + 3] != 255)
            return true;
    return false;
}

// The distinct colours, sorted; false as soon as there are more than 256.
bool CollectPalette(const uint8_t* pixels, size_t count, std::vector<uint32_t>* palette)
{
    std::unordered_map<uint32_t, uint8_t> seen;
    for (size_t i = 0; i < count; ++i) {
        if (seen.emplace(PixelColour(pixels + i * 4), 0).second && seen.size() > 256)
            return false;
    }
    palette->clear();
    for (const auto& entry : seen)
        palette->push_back(entry.first);
    std::sort(palette->begin(), palette->end());
    return true;
}

}  // namespace

void EpaCompress(const uint8_t* planes, size_t total, uint32_t width, std::vector<uint8_t>* stream)
{
    if (total == 0)
        return;
    int64_t distance[16];
    EpaDistanceTable(width, distance);
    // Backward dynamic programme: cost[i] is the fewest stream bytes for
    // planes[i..total), step[i] the first token of that cheapest way.
    std::vector<uint32_t> cost(total + 1, 0);
    std::vector<Step> step(total);
    // Per distance, the length of the match that starts here, kept from the
    // position after: match(i) = planes[i] equals planes[i - d] ? match(i + 1) + 1 : 0.
    uint32_t match[16] = {};
    MinimaStack minima;
    for (size_t i = total; i-- > 0;) {
        uint32_t best = 0;
        uint8_t bestNibble = 0;
        for (int k = 1; k < 16; ++k) {
            const int64_t d = distance[k];
            if (d > 0 && static_cast<uint64_t>(d) <= i && planes[i] == planes[i - static_cast<size_t>(d)]) {
                ++match[k];
                if (match[k] > best) {
                    best = match[k];
                    bestNibble = static_cast<uint8_t>(k);
                }
            } else {
                match[k] = 0;
            }
        }
        if (i + MinLongCopy <= total)
            minima.Push(static_cast<uint32_t>(i + MinLongCopy), cost);

        // Literal runs.
        uint32_t bestCost = UINT32_MAX;
        Step choice{1, 0};
        const size_t maxLiteral = std::min(MaxLiteral, total - i);
        for (size_t n = 1; n <= maxLiteral; ++n) {
            const uint32_t c = static_cast<uint32_t>(1 + n) + cost[i + n];
            if (c < bestCost) {
                bestCost = c;
                choice = Step{static_cast<uint16_t>(n), 0};
            }
        }
        // Copies cost one byte up to 7 long, two bytes from 8 to 2047: the
        // longest match decides which lengths are open to both.
        const size_t shortLimit = std::min<size_t>(best, MaxShortCopy);
        for (size_t n = 1; n <= shortLimit; ++n) {
            const uint32_t c = 1 + cost[i + n];
            if (c < bestCost) {
                bestCost = c;
                choice = Step{static_cast<uint16_t>(n), bestNibble};
            }
        }
        if (best >= MinLongCopy) {
            const size_t limit = i + std::min<size_t>(best, MaxLongCopy);
            const uint32_t at = minima.ArgMinUpTo(static_cast<uint32_t>(limit));
            const uint32_t c = 2 + cost[at];
            if (c < bestCost) {
                bestCost = c;
                choice = Step{static_cast<uint16_t>(at - i), bestNibble};
            }
        }
        cost[i] = bestCost;
        step[i] = choice;
    }

    stream->reserve(stream->size() + cost[0]);
    for (size_t i = 0; i < total;) {
        const Step s = step[i];
        if (s.Nibble == 0) {
            stream->push_back(static_cast<uint8_t>(s.Length));
            stream->insert(stream->end(), planes + i, planes + i + s.Length);
        } else if (s.Length <= MaxShortCopy) {
            stream->push_back(static_cast<uint8_t>(s.Nibble << 4 | s.Length));
        } else {
            stream->push_back(static_cast<uint8_t>(s.Nibble << 4 | 8 | s.Length >> 8));
            stream->push_back(static_cast<uint8_t>(s.Length & 0xFF));
        }
        i += s.Length;
    }
}

uint32_t ChooseEpaBits(const uint8_t* pixels, uint32_t width, uint32_t height)
{
    const size_t count = static_cast<size_t>(width) * height;
    if (HasTransparency(pixels, count))
        return 32;
    std::vector<uint32_t> palette;
    return CollectPalette(pixels, count, &palette) ? 8 : 24;
}

bool EncodeEpa(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bits,
               std::vector<uint8_t>* file, std::string* error)
{
    if (width > INT32_MAX || height > INT32_MAX ||
        static_cast<uint64_t>(width) * height * 4 >= MaxStreamBytes) {
        *error = "the picture is too large for an EPA file";
        return false;
    }
    const size_t count = static_cast<size_t>(width) * height;
    if (bits == EpaBitsAuto)
        bits = ChooseEpaBits(pixels, width, height);
    if (bits != 8 && bits != 24 && bits != 32) {
        *error = "the kind must be 8, 24 or 32 bits";
        return false;
    }
    if (bits != 32 && HasTransparency(pixels, count)) {
        *error = "the picture has transparent pixels, which only the 32-bit kind keeps";
        return false;
    }
    std::vector<uint32_t> palette;
    if (bits == 8 && !CollectPalette(pixels, count, &palette)) {
        *error = "the picture has more than 256 colours, too many for the 8-bit kind";
        return false;
    }

    const size_t planeCount = bits / 8;
    std::vector<uint8_t> planes(count * planeCount);
    for (size_t row = 0; row < height; ++row) {
        // Planes run top to bottom; the pixels are bottom-up.
        const uint8_t* p = pixels + (static_cast<size_t>(height) - 1 - row) * width * 4;
        const size_t at = row * width;
        for (size_t x = 0; x < width; ++x, p += 4) {
            if (planeCount == 1) {
                const uint32_t colour = PixelColour(p);
                planes[at + x] = static_cast<uint8_t>(
                    std::lower_bound(palette.begin(), palette.end(), colour) - palette.begin());
                continue;
            }
            for (size_t k = 0; k < planeCount; ++k)
                planes[k * count + at + x] = p[k];
        }
    }

    file->clear();
    const uint8_t colourType = bits == 8 ? 0 : bits == 24 ? 1 : 2;
    const uint8_t colours = bits == 8 ? static_cast<uint8_t>(palette.size() & 0xFF) : 0;  // 256 is 0
    const uint8_t header[8] = {'E', 'P', 1, 1, colourType, colours, colours, 0};
    file->insert(file->end(), header, header + sizeof header);
    PutLe32(file, width);
    PutLe32(file, height);
    if (bits == 8) {
        for (size_t i = 0; i < 256; ++i) {
            const uint32_t c = i < palette.size() ? palette[i] : 0;
            file->push_back(static_cast<uint8_t>(c));
            file->push_back(static_cast<uint8_t>(c >> 8));
            file->push_back(static_cast<uint8_t>(c >> 16));
        }
    }
    EpaCompress(planes.data(), planes.size(), width, file);
    return true;
}
