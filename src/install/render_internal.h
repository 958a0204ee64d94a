// Shared pieces of the renderer's phases (render.cpp, render_tick.cpp,
// render_bar.cpp, render_sprites.cpp).
#pragma once

#include "image/surface.h"
#include "script/setup_model.h"

#include <cstddef>
#include <cstdint>

struct RenderFrame {
    Surface* Target;
    DirtyRectList* List;
    int Progress;
    int32_t V;            // progress in whole percent
    uint32_t Now;         // the clock, read once per frame
    int Result;
    int Changed;          // something earlier in the table changed this frame
    uint8_t Marks[MaxScreenElements];
};

// Slots in use: the table ends at the first free slot.
int ElementCount();

// Keeps every coordinate far inside 32 bits, so that offsets by the View and
// picture sizes can never overflow whatever the script says.
int32_t ClampCoord(int64_t value);
Rect MakeRect(int64_t left, int64_t top, int64_t width, int64_t height);

// Loads the element's picture and its size. The size is cleared first: a
// picture that does not report one must not be read with a stale size.
uint8_t* LoadElementPicture(ScreenElement* e);
void FreePicture(uint8_t** pixels);
// A zeroed buffer for the surface under the element (ImageWidth x
// ImageHeight pixels). False when it cannot be had.
bool AllocUnderPixels(ScreenElement* e);
// calloc, unless a test makes it fail.
extern void* (*UnderPixelsAlloc)(size_t count, size_t size);

// Adds `rect` (surface coordinates), clipped to the surface, to the list.
void RecordRect(RenderFrame* f, Rect rect);
// Copies the surface under DrawnRect into UnderPixels, blends `pixels`
// (ImageWidth x height) at DrawnRect in the View, and lists the area.
void SaveAndDraw(RenderFrame* f, ScreenElement* e, const uint8_t* pixels, int32_t height);
// Puts UnderPixels back under DrawnRect and lists the area.
void RestoreUnder(RenderFrame* f, ScreenElement* e);

// Whole percent scaled over an element's Start..End span; `value` x `delta`
// / ((End - Start) x 10). End equal to Start counts as reached: `delta`.
int32_t ScaleOverSpan(const ScreenElement* e, int64_t value, int32_t delta);

// Time comparisons on a wrapping 32-bit millisecond clock.
bool ElapsedOver(uint32_t now, uint32_t since, int32_t limit);  // now - since > limit
bool TimeReached(uint32_t now, uint32_t when);                  // now >= when
bool TimePassed(uint32_t now, uint32_t when);                   // now > when

// Progress bars (render_bar.cpp).
void DecideBar(RenderFrame* f, int index, ScreenElement* e);
void DrawBar(RenderFrame* f, ScreenElement* e);

// Sprites (render_sprites.cpp).
int32_t SpriteCellHeight(const ScreenElement* e);
const uint8_t* Sprite1Cell(const ScreenElement* e);
const uint8_t* Sprite2Cell(const ScreenElement* e);
void DecideSprite1(RenderFrame* f, int index, ScreenElement* e);
void DecideSprite2(RenderFrame* f, int index, ScreenElement* e);
void DrawSprite1(RenderFrame* f, ScreenElement* e);
void DrawSprite2(RenderFrame* f, ScreenElement* e);

// Marks slot `index` for this frame; `touchChanged` sets the cascade flag.
inline void MarkSlot(RenderFrame* f, int index, bool touchChanged)
{
    f->Marks[index] = 1;
    if (touchChanged)
        f->Changed = 1;
}
