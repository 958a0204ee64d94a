// One timer tick: decide what must be handled, erase it in reverse drawing
// order, then draw it in table order. Once anything changes, every later
// sprite on screen is erased and redrawn too, so later lines stay on top.
#include "install/render_internal.h"

static void DecideElement(RenderFrame* f, int index, ScreenElement* e)
{
    switch (e->Kind) {
    case KindWrite:
        if (e->State == 0 && e->Start <= f->V)
            MarkSlot(f, index, true);
        break;
    case KindElement:
        if ((e->State == 0 && e->Start <= f->V) || (e->State == 1 && e->End < f->V))
            MarkSlot(f, index, true);
        break;
    case KindProgressBar:
        DecideBar(f, index, e);
        break;
    case KindSprite1:
        DecideSprite1(f, index, e);
        break;
    case KindSprite2:
        DecideSprite2(f, index, e);
        break;
    default:
        break;
    }
}

static void Erase(RenderFrame* f, ScreenElement* e)
{
    if (e->State != 1 || !e->UnderValid)
        return;
    if (e->Kind == KindElement) {
        RestoreUnder(f, e);
        FreePicture(&e->UnderPixels);
    } else if (e->Kind == KindSprite1 || e->Kind == KindSprite2) {
        RestoreUnder(f, e);
    }
}

static void DrawWrite(RenderFrame* f, ScreenElement* e)
{
    uint8_t* pixels = LoadElementPicture(e);
    e->State = 2;
    if (pixels == nullptr)
        return;
    e->DrawnRect = MakeRect(e->X, e->Y, e->ImageWidth, e->ImageHeight);
    DrawImage(f->Target, pixels, e->DrawnRect.left, e->DrawnRect.top, e->ImageWidth,
              e->ImageHeight, 1);
    FreePicture(&pixels);
    Rect area = e->DrawnRect;
    OffsetRectToView(f->Target, &area);
    RecordRect(f, area);
    f->Result = 1;
}

static void DrawElement(RenderFrame* f, ScreenElement* e)
{
    if (e->State == 1) {
        e->State = 2;  // the erase pass has put the background back
        return;
    }
    uint8_t* pixels = LoadElementPicture(e);
    if (pixels == nullptr || !AllocUnderPixels(e)) {
        FreePicture(&pixels);
        e->State = 2;
        return;
    }
    e->DrawnRect = MakeRect(e->X, e->Y, e->ImageWidth, e->ImageHeight);
    SaveAndDraw(f, e, pixels, e->ImageHeight);
    FreePicture(&pixels);
    e->State = 1;
}

static void Draw(RenderFrame* f, ScreenElement* e)
{
    switch (e->Kind) {
    case KindWrite:
        if (e->State == 0)
            DrawWrite(f, e);
        break;
    case KindElement:
        DrawElement(f, e);
        break;
    case KindProgressBar:
        DrawBar(f, e);
        break;
    case KindSprite1:
        DrawSprite1(f, e);
        break;
    case KindSprite2:
        DrawSprite2(f, e);
        break;
    default:
        break;
    }
}

void RenderTick(RenderFrame* f)
{
    const int count = ElementCount();
    bool any = false;
    for (int i = 0; i < count; ++i) {
        ScreenElement* e = &SetupScript.ScreenElements[i];
        if (e->State == 0 || e->State == 1)
            DecideElement(f, i, e);
        any = any || f->Marks[i];
    }
    if (!any)
        return;
    for (int i = count - 1; i >= 0; --i) {
        if (f->Marks[i])
            Erase(f, &SetupScript.ScreenElements[i]);
    }
    for (int i = 0; i < count; ++i) {
        ScreenElement* e = &SetupScript.ScreenElements[i];
        if (f->Marks[i] && (e->State == 0 || e->State == 1))
            Draw(f, e);
    }
}
