#include "preview/preview_sheet.h"

#include <cmath>

namespace {

constexpr int32_t Gap = 12;
constexpr uint32_t SheetColour = 0x2A2A2E;
constexpr uint32_t OutlineColour = 0x808088;
constexpr uint32_t LabelColour = 0xFFFFFF;

int32_t LabelScale(int32_t frameWidth) { return frameWidth >= 400 ? 2 : 1; }
int32_t StripHeight(int32_t frameWidth) { return LabelGlyphHeight * LabelScale(frameWidth) + 10; }

int32_t Columns(size_t count)
{
    const int32_t c = static_cast<int32_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    return c < 1 ? 1 : c;
}

}  // namespace

void ContactSheetSize(size_t count, int32_t frameWidth, int32_t frameHeight, int32_t* width,
                      int32_t* height)
{
    const int32_t columns = Columns(count);
    const int32_t rows = (static_cast<int32_t>(count) + columns - 1) / columns;
    *width = Gap + columns * (frameWidth + Gap);
    *height = Gap + rows * (StripHeight(frameWidth) + frameHeight + Gap);
}

void ContactSheetFramePosition(size_t count, int32_t frameWidth, int32_t frameHeight, size_t index,
                               int32_t* x, int32_t* y)
{
    const int32_t columns = Columns(count);
    const int32_t column = static_cast<int32_t>(index) % columns;
    const int32_t row = static_cast<int32_t>(index) / columns;
    *x = Gap + column * (frameWidth + Gap);
    *y = Gap + row * (StripHeight(frameWidth) + frameHeight + Gap) + StripHeight(frameWidth);
}

Canvas ComposeContactSheet(const std::vector<PreviewShot>& shots)
{
    if (shots.empty())
        return Canvas();
    const int32_t w = shots[0].Frame.Width;
    const int32_t h = shots[0].Frame.Height;
    int32_t sheetWidth = 0, sheetHeight = 0;
    ContactSheetSize(shots.size(), w, h, &sheetWidth, &sheetHeight);
    Canvas sheet = MakeCanvas(sheetWidth, sheetHeight, SheetColour);
    for (size_t i = 0; i < shots.size(); ++i) {
        int32_t x = 0, y = 0;
        ContactSheetFramePosition(shots.size(), w, h, i, &x, &y);
        FillRect(&sheet, x - 1, y - 1, w + 2, h + 2, OutlineColour);
        PasteOpaque(&sheet, shots[i].Frame, x, y);
        DrawLabel(&sheet, x, y - StripHeight(w) + 3, shots[i].Label, LabelScale(w), LabelColour);
    }
    return sheet;
}
