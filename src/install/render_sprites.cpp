// SPRITE1 travels with the progress, SPRITE2 with the clock; both cycle the
// cells of a picture made of bands CellHeight rows tall, and both save the
// surface under them so that they can move without a trace.
#include "install/muldiv.h"
#include "install/render_clock.h"
#include "install/render_internal.h"

int32_t SpriteCellHeight(const ScreenElement* e)
{
    // A cell can never be taller than the picture that holds it.
    if (e->CellHeight <= 0 || e->CellHeight > e->ImageHeight)
        return e->ImageHeight;
    return e->CellHeight;
}

// The band that starts `row` rows into the bottom-up memory, or the bottom
// band when that one would not lie wholly inside the picture.
static const uint8_t* CellAt(const ScreenElement* e, int64_t row)
{
    if (row < 0 || row + SpriteCellHeight(e) > e->ImageHeight)
        row = 0;
    return e->ImagePixels + row * e->ImageWidth * 4;
}

// SPRITE1: cell 0 is the bottom band, and the cycle climbs.
const uint8_t* Sprite1Cell(const ScreenElement* e)
{
    return CellAt(e, static_cast<int64_t>(e->Frame) * SpriteCellHeight(e));
}

// SPRITE2: cell 1 is the top band and the cycle runs down; cell 0 is the
// bottom band.
const uint8_t* Sprite2Cell(const ScreenElement* e)
{
    if (e->Frame <= 0)
        return CellAt(e, 0);
    return CellAt(e, e->ImageHeight - static_cast<int64_t>(e->Frame) * SpriteCellHeight(e));
}

// Wraps before a band that would reach past the picture's top, so a picture
// whose height is not a whole number of cells never shows a torn band.
static int32_t NextSprite1Cell(const ScreenElement* e)
{
    const int64_t next = static_cast<int64_t>(e->Frame) + 1;
    return (next + 1) * SpriteCellHeight(e) > e->ImageHeight ? 0 : static_cast<int32_t>(next);
}

static int32_t NextSprite2Cell(const ScreenElement* e)
{
    const int64_t next = static_cast<int64_t>(e->Frame) + 1;
    return next * SpriteCellHeight(e) >= e->ImageHeight ? 0 : static_cast<int32_t>(next);
}

void DecideSprite1(RenderFrame* f, int index, ScreenElement* e)
{
    if (e->State == 0) {
        if (e->Start <= f->V)
            MarkSlot(f, index, true);
    } else if (f->Changed) {
        MarkSlot(f, index, false);
    } else if (f->V < e->Start || f->V > e->End) {
        if (e->UnderValid)
            MarkSlot(f, index, true);
    } else if (ElapsedOver(f->Now, e->LastTick, e->FrameInterval)) {
        MarkSlot(f, index, true);
    }
}

void DecideSprite2(RenderFrame* f, int index, ScreenElement* e)
{
    if (e->State == 0) {
        if (e->Start <= f->V)
            MarkSlot(f, index, true);
    } else if (f->Changed) {
        MarkSlot(f, index, false);
    } else if (e->End != SPRITE_INFINITE && !ElapsedOver(f->Now, e->LastTick, e->End)) {
        if (e->UnderValid)
            MarkSlot(f, index, true);
    } else if (TimeReached(f->Now, e->NextTick)) {
        MarkSlot(f, index, true);
    }
}

// Loads the picture and the background buffer of a sprite coming on screen;
// false (and the sprite retired) when either cannot be had.
static bool StartSprite(ScreenElement* e)
{
    FreePicture(&e->ImagePixels);
    e->ImagePixels = LoadElementPicture(e);
    if (e->ImagePixels != nullptr && AllocUnderPixels(e))
        return true;
    FreePicture(&e->ImagePixels);
    e->State = 2;
    return false;
}

static bool SpriteReady(ScreenElement* e)
{
    if (e->ImagePixels != nullptr && e->UnderPixels != nullptr)
        return true;
    e->State = 2;
    return false;
}

void DrawSprite1(RenderFrame* f, ScreenElement* e)
{
    if (e->State == 0) {
        if (!StartSprite(e))
            return;
        e->Frame = 0;
        e->DrawnRect = MakeRect(e->X, e->Y, e->ImageWidth, SpriteCellHeight(e));
        SaveAndDraw(f, e, Sprite1Cell(e), SpriteCellHeight(e));
        e->LastTick = RenderClockNow();
        e->State = 1;
        return;
    }
    if (e->End < f->V) {
        e->State = 2;
        return;
    }
    if (!SpriteReady(e))
        return;
    if (ElapsedOver(f->Now, e->LastTick, e->FrameInterval)) {
        e->Frame = NextSprite1Cell(e);
        const int64_t travelled = f->Progress - static_cast<int64_t>(e->Start) * 10;
        const int64_t left = static_cast<int64_t>(e->X) + ScaleOverSpan(e, travelled, e->DeltaX);
        const int64_t top = static_cast<int64_t>(e->Y) + ScaleOverSpan(e, travelled, e->DeltaY);
        e->DrawnRect = MakeRect(left, top, e->ImageWidth, SpriteCellHeight(e));
        e->LastTick = RenderClockNow();
    }
    SaveAndDraw(f, e, Sprite1Cell(e), SpriteCellHeight(e));
}

void DrawSprite2(RenderFrame* f, ScreenElement* e)
{
    if (e->State == 0) {
        if (!StartSprite(e))
            return;
        e->Frame = 1;  // the top band
        e->DrawnRect = MakeRect(e->X, e->Y, e->ImageWidth, SpriteCellHeight(e));
        SaveAndDraw(f, e, Sprite2Cell(e), SpriteCellHeight(e));
        e->LastTick = RenderClockNow();
        e->NextTick = e->LastTick + static_cast<uint32_t>(e->StartDelay);
        e->Frame = SpriteCellHeight(e) < e->ImageHeight ? 1 : 0;
        e->State = 1;
        return;
    }
    const bool infinite = e->End == SPRITE_INFINITE;
    if (!infinite && ElapsedOver(f->Now, e->LastTick, e->End)) {
        e->State = 2;
        return;
    }
    if (!SpriteReady(e))
        return;
    if (TimePassed(f->Now, e->NextTick)) {
        e->NextTick += static_cast<uint32_t>(e->Frame == 0 ? e->FirstFrameTime : e->FrameInterval);
        const int32_t elapsed = static_cast<int32_t>(f->Now - e->LastTick);
        const int32_t span = infinite ? 1000 : e->End;
        const int64_t left = static_cast<int64_t>(e->X) + PortableMulDiv(e->DeltaX, elapsed, span);
        const int64_t top = static_cast<int64_t>(e->Y) + PortableMulDiv(e->DeltaY, elapsed, span);
        e->DrawnRect = MakeRect(left, top, e->ImageWidth, SpriteCellHeight(e));
        e->Frame = NextSprite2Cell(e);
    }
    SaveAndDraw(f, e, Sprite2Cell(e), SpriteCellHeight(e));
}
