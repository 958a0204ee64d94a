#include "install/render.h"

#include "install/render_clock.h"
#include "install/render_internal.h"

#include <cstring>

void RenderTick(RenderFrame* f);  // render_tick.cpp

// BACK and BASE: drawn once in the first frame, then retired.
static void DrawBackground(RenderFrame* f, ScreenElement* e)
{
    Surface* s = f->Target;
    uint8_t* pixels = LoadElementPicture(e);
    if (e->Kind == KindBase) {
        // The panel's frame comes from the script's numbers, not from the
        // picture: a missing panel picture must not shift everything else.
        if (e->Mode == NORMAL)
            s->View = MakeRect(e->X, e->Y, e->DeltaX, e->DeltaY);
        else if (e->Mode == CENTER_DESKTOP)
            s->View = MakeRect((static_cast<int64_t>(s->Width) - e->DeltaX) / 2,
                               (static_cast<int64_t>(s->Height) - e->DeltaY) / 2, e->DeltaX,
                               e->DeltaY);
    }
    e->State = 2;
    if (pixels == nullptr)
        return;
    const int32_t w = e->ImageWidth;
    const int32_t h = e->ImageHeight;
    if (e->Kind == KindBack && e->Mode == NORMAL) {
        const Rect at = MakeRect(e->X, e->Y, w, h);
        DrawImage(s, pixels, at.left, at.top, w, h, 0);
        RecordRect(f, at);
    } else if (e->Kind == KindBack && e->Mode == STRETCH_DESKTOP) {
        StretchPixelsToSurface(s, pixels, w, h);
        RecordRect(f, Rect{0, 0, s->Width, s->Height});
    } else if (e->Kind == KindBase && e->Mode == NORMAL) {
        const Rect at = MakeRect(e->X, e->Y, w, h);
        DrawImage(s, pixels, at.left, at.top, w, h, 0);
        RecordRect(f, at);
    } else if (e->Kind == KindBase && e->Mode == CENTER_DESKTOP) {
        DrawImage(s, pixels, 0, 0, w, h, 1);
        RecordRect(f, MakeRect(s->View.left, s->View.top, w, h));
    }
    FreePicture(&pixels);
    f->Result = 1;
}

static void RenderFirst(RenderFrame* f)
{
    const int count = ElementCount();
    for (int i = 0; i < count; ++i) {
        ScreenElement* e = &SetupScript.ScreenElements[i];
        if (e->State == 0 && (e->Kind == KindBack || e->Kind == KindBase))
            DrawBackground(f, e);
    }
}

static void DrawFinish(RenderFrame* f, ScreenElement* e)
{
    Surface* s = f->Target;
    uint8_t* pixels = LoadElementPicture(e);
    e->State = 2;
    if (pixels == nullptr)
        return;
    Rect area = MakeRect(e->X, e->Y, e->ImageWidth, e->ImageHeight);
    if (e->Mode == NORMAL) {
        DrawImage(s, pixels, area.left, area.top, e->ImageWidth, e->ImageHeight, 1);
        OffsetRectToView(s, &area);
    } else if (e->Mode == STRETCH_DESKTOP) {
        StretchPixelsToSurface(s, pixels, e->ImageWidth, e->ImageHeight);
        // The stretch covers the whole surface, not the picture's own place.
        area = Rect{0, 0, s->Width, s->Height};
    } else {
        OffsetRectToView(s, &area);
    }
    RecordRect(f, area);
    FreePicture(&pixels);
    f->Result = 1;
}

static void RenderFinish(RenderFrame* f)
{
    const int count = ElementCount();
    for (int i = 0; i < count; ++i) {
        ScreenElement* e = &SetupScript.ScreenElements[i];
        if (e->Kind == KindFinish && e->State == 0)
            DrawFinish(f, e);
    }
}

int RenderInstallFrame(int phase, int progress, Surface* surface, DirtyRectList* list)
{
    if (list != nullptr)
        ClearDirtyRects(list);
    if (surface == nullptr || phase < RenderPhaseFirst || phase > RenderPhaseFinish)
        return 0;
    RenderFrame f;
    memset(&f, 0, sizeof f);
    f.Target = surface;
    f.List = list;
    f.Progress = progress;
    f.V = progress / 10;
    f.Now = RenderClockNow();
    if (phase == RenderPhaseFirst)
        RenderFirst(&f);
    else if (phase == RenderPhaseTick)
        RenderTick(&f);
    else
        RenderFinish(&f);
    return f.Result;
}
