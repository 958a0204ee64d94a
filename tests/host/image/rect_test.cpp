#include "image/surface.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct SurfaceDeleter {
    void operator()(Surface* s) const { FreeSurface(s); }
};

TEST(RectCopy, SaveAndRestoreGiveBackTheSurfaceExactly)
{
    std::unique_ptr<Surface, SurfaceDeleter> s(CreateMemorySurface(40, 30));
    const std::vector<uint8_t> original = PatternBytes(40 * 30 * 4, 21);
    memcpy(s->Bits, original.data(), original.size());
    for (const Rect& r : {Rect{5, 6, 17, 20}, Rect{-3, -4, 10, 8}, Rect{30, 25, 50, 45}, Rect{0, 0, 40, 30}}) {
        std::vector<uint8_t> saved(40 * 30 * 4, 0xCD);
        ASSERT_EQ(1, CopyRectFromSurface(s.get(), saved.data(), &r));
        memset(s->Bits, 0, original.size());
        ASSERT_EQ(1, CopyRectToSurface(s.get(), saved.data(), &r));
        // Inside the clipped rectangle the surface is back; outside it is not.
        for (int32_t y = 0; y < 30; ++y)
            for (int32_t x = 0; x < 40; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                const size_t at = (static_cast<size_t>(29 - y) * 40 + x) * 4;
                ASSERT_EQ(inside ? original[at] : 0, s->Bits[at]) << x << "," << y;
            }
        memcpy(s->Bits, original.data(), original.size());
    }
}

TEST(RectCopy, BufferIsPackedFromTheTopRowDown)
{
    std::unique_ptr<Surface, SurfaceDeleter> s(CreateMemorySurface(4, 3));
    for (int32_t i = 0; i < 12; ++i)
        s->Bits[i * 4] = static_cast<uint8_t>(i);  // memory order: bottom row first
    uint8_t buffer[4 * 4] = {};
    const Rect r{-1, 0, 2, 2};
    ASSERT_EQ(1, CopyRectFromSurface(s.get(), buffer, &r));
    // Clipped to columns 0-1 of rows 0-1 (memory rows 2 and 1).
    EXPECT_EQ(8, buffer[0]);
    EXPECT_EQ(9, buffer[4]);
    EXPECT_EQ(4, buffer[8]);
    EXPECT_EQ(5, buffer[12]);
}

TEST(RectCopy, EmptyOrOutsideRectanglesReturnZeroAndTouchNothing)
{
    std::unique_ptr<Surface, SurfaceDeleter> s(CreateMemorySurface(10, 10));
    uint8_t buffer[16] = {};
    const Rect outside[] = {{10, 0, 20, 5}, {-5, -5, 0, 0}, {3, 3, 3, 8}, {4, 6, 8, 5}, {0, 10, 4, 12}};
    for (const Rect& r : outside) {
        EXPECT_EQ(0, CopyRectFromSurface(s.get(), buffer, &r));
        EXPECT_EQ(0, CopyRectToSurface(s.get(), buffer, &r));
    }
    const Rect r{0, 0, 1, 1};
    EXPECT_EQ(0, CopyRectFromSurface(s.get(), nullptr, &r));
    EXPECT_EQ(0, CopyRectFromSurface(nullptr, buffer, &r));
}

TEST(RectCopy, OffsetRectToView)
{
    Surface s = {};
    s.View = Rect{192, 144, 832, 624};
    Rect r{10, 20, 30, 50};
    OffsetRectToView(&s, &r);
    EXPECT_EQ(202, r.left);
    EXPECT_EQ(164, r.top);
    EXPECT_EQ(222, r.right);
    EXPECT_EQ(194, r.bottom);
}

struct ListDeleter {
    void operator()(DirtyRectList* l) const { FreeDirtyRectList(l); }
};

TEST(DirtyRects, OneBlockWithContiguousZeroedSlots)
{
    std::unique_ptr<DirtyRectList, ListDeleter> list(AllocDirtyRectList());
    ASSERT_TRUE(list);
    EXPECT_EQ(reinterpret_cast<char*>(list.get()) + sizeof(DirtyRectList),
              reinterpret_cast<char*>(list->Slots[0]));
    for (int i = 0; i < DirtyRectSlots; ++i) {
        ASSERT_EQ(list->Slots[0] + i, list->Slots[i]);
        ASSERT_EQ(0, list->Slots[i]->InUse);
    }
}

TEST(DirtyRects, MergesOverlapsAndKeepsEdgeContactApart)
{
    std::unique_ptr<DirtyRectList, ListDeleter> list(AllocDirtyRectList());
    const Rect a{0, 0, 10, 10}, b{5, 5, 20, 20}, c{20, 0, 30, 10};
    AddDirtyRect(list.get(), &a);
    AddDirtyRect(list.get(), &b);
    const DirtyRect* s0 = list->Slots[0];
    EXPECT_EQ(1, s0->InUse);
    EXPECT_EQ(0, s0->left);
    EXPECT_EQ(0, s0->top);
    EXPECT_EQ(20, s0->right);
    EXPECT_EQ(20, s0->bottom);
    EXPECT_EQ(0, list->Slots[1]->InUse);
    AddDirtyRect(list.get(), &c);
    EXPECT_EQ(1, list->Slots[1]->InUse);
    EXPECT_EQ(20, list->Slots[1]->left);
    EXPECT_EQ(0, list->Slots[2]->InUse);
    ClearDirtyRects(list.get());
    EXPECT_EQ(0, list->Slots[0]->InUse);
    EXPECT_EQ(0, list->Slots[1]->InUse);
}

TEST(DirtyRects, AFullListMergesIntoItsLastUsableSlotAndKeepsItsTerminator)
{
    std::unique_ptr<DirtyRectList, ListDeleter> list(AllocDirtyRectList());
    // 300 disjoint rectangles: the first 255 take slots, the rest fold into
    // slot 254; slot 255 stays free and ends the list.
    for (int i = 0; i < 300; ++i) {
        const Rect r{i * 10, 0, i * 10 + 5, 5};
        AddDirtyRect(list.get(), &r);
    }
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(1, list->Slots[i]->InUse) << i;
    EXPECT_EQ(0, list->Slots[255]->InUse);
    EXPECT_EQ(2540, list->Slots[254]->left);
    EXPECT_EQ(2995, list->Slots[254]->right);
    EXPECT_EQ(2535, list->Slots[253]->right);
}

}  // namespace
