// PROGRESSBAR: reveals its picture from the edges its Mode names, by a share
// proportional to progress. LastTick holds the revealed width, Frame the
// revealed height. The bar is drawn over itself, with no background copy.
#include "install/render_internal.h"

enum BarSide : unsigned {
    SideLeft = 1,   // grows from the right edge toward the left
    SideRight = 2,  // from the left edge
    SideUp = 4,     // from the bottom edge
    SideDown = 8,   // from the top edge
};

static unsigned BarSides(int32_t mode)
{
    switch (mode) {
    case DIRECTION_LEFT:
    case DIRECTION_RIGHT:
    case DIRECTION_UP:
    case DIRECTION_DOWN:
    case DIRECTION_LEFTUP:
    case DIRECTION_LEFTDOWN:
    case DIRECTION_RIGHTUP:
    case DIRECTION_RIGHTDOWN:
        return static_cast<unsigned>(mode) & 0xFu;
    default:
        return 0;
    }
}

static bool Horizontal(unsigned sides) { return (sides & (SideLeft | SideRight)) != 0; }
static bool Vertical(unsigned sides) { return (sides & (SideUp | SideDown)) != 0; }

static int32_t Clamp(int32_t value, int32_t high)
{
    if (value < 0)
        return 0;
    return value > high ? high : value;
}

// The revealed size; an axis the Mode does not name shows the whole picture.
static int32_t RevealedWidth(const ScreenElement* e, unsigned sides)
{
    if (!Horizontal(sides))
        return e->ImageWidth;
    return e->LastTick > static_cast<uint32_t>(e->ImageWidth) ? e->ImageWidth
                                                              : static_cast<int32_t>(e->LastTick);
}

static int32_t RevealedHeight(const ScreenElement* e, unsigned sides)
{
    if (!Vertical(sides))
        return e->ImageHeight;
    return Clamp(e->Frame, e->ImageHeight);
}

void DecideBar(RenderFrame* f, int index, ScreenElement* e)
{
    if (e->State == 0) {
        // Loaded on the first tick whatever the progress: the first timer
        // tick may come after a fast start has passed the bar's Start, and a
        // bar loaded only while progress is still below it would never show.
        e->LastTick = e->DeltaX != 0 ? 0 : static_cast<uint32_t>(e->ImageWidth);
        e->Frame = e->DeltaY != 0 ? 0 : e->ImageHeight;
        MarkSlot(f, index, true);
        return;
    }
    if (e->State != 1 || !(e->Start < f->V))
        return;
    const unsigned sides = BarSides(e->Mode);
    if (sides == 0 || (Horizontal(sides) && e->DeltaX == 0) ||
        (Vertical(sides) && e->DeltaY == 0))
        return;
    bool grew = false;
    if (Horizontal(sides)) {
        // Compared once capped: a bar that is already whole stays idle.
        const int32_t width = Clamp(ScaleOverSpan(e, f->Progress, e->DeltaX), e->ImageWidth);
        if (static_cast<uint32_t>(width) != e->LastTick) {
            e->LastTick = static_cast<uint32_t>(width);
            grew = true;
        }
    }
    if (Vertical(sides)) {
        const int32_t height = Clamp(ScaleOverSpan(e, f->Progress, e->DeltaY), e->ImageHeight);
        if (height != e->Frame) {
            e->Frame = height;
            grew = true;
        }
    }
    if (!grew)
        return;
    const int32_t w = RevealedWidth(e, sides);
    const int32_t h = RevealedHeight(e, sides);
    const int64_t left = static_cast<int64_t>(e->X) + ((sides & SideLeft) ? e->ImageWidth - w : 0);
    const int64_t top = static_cast<int64_t>(e->Y) + ((sides & SideUp) ? e->ImageHeight - h : 0);
    e->DrawnRect = MakeRect(left, top, w, h);
    MarkSlot(f, index, true);
}

void DrawBar(RenderFrame* f, ScreenElement* e)
{
    if (e->State == 0) {
        FreePicture(&e->ImagePixels);
        e->ImagePixels = LoadElementPicture(e);
        e->State = e->ImagePixels != nullptr ? 1 : 2;
        return;
    }
    if (e->End < f->V)
        e->State = 2;
    if (e->ImagePixels == nullptr)
        return;
    const unsigned sides = BarSides(e->Mode);
    const int32_t w = RevealedWidth(e, sides);
    const int32_t h = RevealedHeight(e, sides);
    // Memory rows are bottom-up: the top band starts ImageHeight - h rows in.
    const int64_t row = (sides & SideDown) ? e->ImageHeight - h : 0;
    const int64_t column = (sides & SideLeft) ? e->ImageWidth - w : 0;
    const uint8_t* source = e->ImagePixels + (row * e->ImageWidth + column) * 4;
    DrawImagePart(f->Target, source, e->DrawnRect.left, e->DrawnRect.top, w, h, e->ImageWidth, 1);
    Rect area = e->DrawnRect;
    OffsetRectToView(f->Target, &area);
    RecordRect(f, area);
    f->Result = 1;
}
