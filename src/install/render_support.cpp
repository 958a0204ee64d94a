#include "install/render_internal.h"

#include "common/text.h"
#include "image/epa.h"
#include "install/muldiv.h"

#include <cstdlib>

// Far beyond any screen, far inside 32 bits once a View offset or a picture
// size is added.
static constexpr int64_t CoordLimit = int64_t(1) << 28;

int ElementCount()
{
    int count = 0;
    while (count < MaxScreenElements && SetupScript.ScreenElements[count].Kind != KindFree)
        ++count;
    return count;
}

int32_t ClampCoord(int64_t value)
{
    if (value < -CoordLimit)
        return static_cast<int32_t>(-CoordLimit);
    if (value > CoordLimit)
        return static_cast<int32_t>(CoordLimit);
    return static_cast<int32_t>(value);
}

Rect MakeRect(int64_t left, int64_t top, int64_t width, int64_t height)
{
    Rect r;
    r.left = ClampCoord(left);
    r.top = ClampCoord(top);
    r.right = ClampCoord(static_cast<int64_t>(r.left) + width);
    r.bottom = ClampCoord(static_cast<int64_t>(r.top) + height);
    return r;
}

uint8_t* LoadElementPicture(ScreenElement* e)
{
    // The name field is fixed-width; never trust it to carry its terminator.
    char name[TextWidth + 1];
    CopyTextN(name, sizeof name, e->ImageFile, TextWidth);
    e->ImageWidth = 0;
    e->ImageHeight = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Read beside the setup data, whatever the current folder.
    char path[PathWidth];
    uint8_t* pixels = SourcePath(path, name) ? LoadEpaImage(path, &width, &height) : nullptr;
    if (pixels == nullptr)
        return nullptr;
    if (width < 0 || height < 0) {
        free(pixels);
        return nullptr;
    }
    e->ImageWidth = width;
    e->ImageHeight = height;
    return pixels;
}

void FreePicture(uint8_t** pixels)
{
    free(*pixels);
    *pixels = nullptr;
}

static void* ZeroedAlloc(size_t count, size_t size)
{
    return calloc(count, size);
}

void* (*UnderPixelsAlloc)(size_t count, size_t size) = ZeroedAlloc;

bool AllocUnderPixels(ScreenElement* e)
{
    FreePicture(&e->UnderPixels);
    e->UnderValid = 0;
    const uint64_t bytes =
        static_cast<uint64_t>(e->ImageWidth) * static_cast<uint64_t>(e->ImageHeight) * 4u;
    if (bytes > SIZE_MAX)
        return false;
    // An empty picture still gets a buffer: nothing is ever copied into it.
    e->UnderPixels = static_cast<uint8_t*>(UnderPixelsAlloc(bytes > 0 ? static_cast<size_t>(bytes) : 4, 1));
    return e->UnderPixels != nullptr;
}

void RecordRect(RenderFrame* f, Rect rect)
{
    // Only what lies on the surface can reach the screen.
    if (rect.left < 0)
        rect.left = 0;
    if (rect.top < 0)
        rect.top = 0;
    if (rect.right > f->Target->Width)
        rect.right = f->Target->Width;
    if (rect.bottom > f->Target->Height)
        rect.bottom = f->Target->Height;
    if (rect.left >= rect.right || rect.top >= rect.bottom || f->List == nullptr)
        return;
    AddDirtyRect(f->List, &rect);
}

void SaveAndDraw(RenderFrame* f, ScreenElement* e, const uint8_t* pixels, int32_t height)
{
    Rect area = e->DrawnRect;
    OffsetRectToView(f->Target, &area);
    CopyRectFromSurface(f->Target, e->UnderPixels, &area);
    e->UnderValid = 1;
    DrawImage(f->Target, pixels, e->DrawnRect.left, e->DrawnRect.top, e->ImageWidth, height, 1);
    RecordRect(f, area);
    f->Result = 1;
}

void RestoreUnder(RenderFrame* f, ScreenElement* e)
{
    Rect area = e->DrawnRect;
    OffsetRectToView(f->Target, &area);
    CopyRectToSurface(f->Target, e->UnderPixels, &area);
    e->UnderValid = 0;
    RecordRect(f, area);
    f->Result = 1;
}

static int32_t Saturate32(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t ScaleOverSpan(const ScreenElement* e, int64_t value, int32_t delta)
{
    if (e->End == e->Start)
        return delta;
    const int64_t span = (static_cast<int64_t>(e->End) - e->Start) * 10;
    return PortableMulDiv(Saturate32(value), delta, Saturate32(span));
}

bool ElapsedOver(uint32_t now, uint32_t since, int32_t limit)
{
    return static_cast<int64_t>(static_cast<uint32_t>(now - since)) > static_cast<int64_t>(limit);
}

bool TimeReached(uint32_t now, uint32_t when)
{
    return static_cast<int32_t>(now - when) >= 0;
}

bool TimePassed(uint32_t now, uint32_t when)
{
    return static_cast<int32_t>(now - when) > 0;
}
