#include "image/surface.h"

#include <algorithm>
#include <cstdlib>

// The last slot is never handed out: it stays free so that the list always
// ends inside its 256 slots.
constexpr int LastUsableSlot = DirtyRectSlots - 2;

DirtyRectList* AllocDirtyRectList()
{
    // One block: the pointer table, then the slots it points at.
    void* block = calloc(1, sizeof(DirtyRectList) + DirtyRectSlots * sizeof(DirtyRect));
    if (block == nullptr)
        return nullptr;
    DirtyRectList* list = static_cast<DirtyRectList*>(block);
    DirtyRect* slots = reinterpret_cast<DirtyRect*>(static_cast<char*>(block) + sizeof(DirtyRectList));
    for (int i = 0; i < DirtyRectSlots; ++i)
        list->Slots[i] = &slots[i];
    return list;
}

void FreeDirtyRectList(DirtyRectList* list)
{
    free(list);
}

void ClearDirtyRects(DirtyRectList* list)
{
    if (list == nullptr)
        return;
    for (int i = 0; i < DirtyRectSlots; ++i)
        list->Slots[i]->InUse = 0;
}

static void GrowToUnion(DirtyRect* slot, const Rect* rect)
{
    slot->left = std::min(slot->left, rect->left);
    slot->top = std::min(slot->top, rect->top);
    slot->right = std::max(slot->right, rect->right);
    slot->bottom = std::max(slot->bottom, rect->bottom);
}

void AddDirtyRect(DirtyRectList* list, const Rect* rect)
{
    if (list == nullptr || rect == nullptr)
        return;
    int i = 0;
    for (; i <= LastUsableSlot && list->Slots[i]->InUse; ++i) {
        DirtyRect* slot = list->Slots[i];
        if (rect->left < slot->right && rect->right > slot->left && rect->top < slot->bottom &&
            rect->bottom > slot->top) {
            GrowToUnion(slot, rect);
            return;
        }
    }
    if (i > LastUsableSlot) {
        // Full: a larger area is copied to the screen, nothing is lost.
        GrowToUnion(list->Slots[LastUsableSlot], rect);
        return;
    }
    DirtyRect* slot = list->Slots[i];
    slot->InUse = 1;
    slot->left = rect->left;
    slot->top = rect->top;
    slot->right = rect->right;
    slot->bottom = rect->bottom;
}
