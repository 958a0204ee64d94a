// BACK ... FINISH: one picture of the install screen per line.
#include "script/script_lines.h"
#include "script/script_parser.h"
#include "script/setup_model.h"

#include <cstdlib>
#include <cstring>

namespace {
typedef int32_t ScreenElement::*ElementField;

struct FieldOrder {
    const ElementField* Fields;
    int Count;
};

const ElementField BackFields[] = {&ScreenElement::X, &ScreenElement::Y, &ScreenElement::Mode};
const ElementField BaseFields[] = {&ScreenElement::X, &ScreenElement::Y, &ScreenElement::DeltaX,
                                   &ScreenElement::DeltaY, &ScreenElement::Mode};
const ElementField WriteFields[] = {&ScreenElement::X, &ScreenElement::Y, &ScreenElement::Start,
                                    &ScreenElement::Mode};
const ElementField ElementFields[] = {&ScreenElement::X, &ScreenElement::Y, &ScreenElement::Start,
                                      &ScreenElement::End, &ScreenElement::Mode};
const ElementField ProgressBarFields[] = {&ScreenElement::X,      &ScreenElement::Y,
                                          &ScreenElement::DeltaX, &ScreenElement::DeltaY,
                                          &ScreenElement::Start,  &ScreenElement::End,
                                          &ScreenElement::Mode};
const ElementField Sprite1Fields[] = {&ScreenElement::CellHeight, &ScreenElement::X,
                                      &ScreenElement::Y,          &ScreenElement::DeltaX,
                                      &ScreenElement::DeltaY,     &ScreenElement::Start,
                                      &ScreenElement::End,        &ScreenElement::FrameInterval,
                                      &ScreenElement::Mode};
const ElementField Sprite2Fields[] = {&ScreenElement::CellHeight,    &ScreenElement::X,
                                      &ScreenElement::Y,             &ScreenElement::DeltaX,
                                      &ScreenElement::DeltaY,        &ScreenElement::Start,
                                      &ScreenElement::End,           &ScreenElement::FrameInterval,
                                      &ScreenElement::StartDelay,    &ScreenElement::FirstFrameTime,
                                      &ScreenElement::Mode};

template <size_t N>
FieldOrder Order(const ElementField (&fields)[N])
{
    return {fields, static_cast<int>(N)};
}

FieldOrder FieldsOf(int32_t kind)
{
    switch (kind) {
    case KindBack:
    case KindFinish: return Order(BackFields);
    case KindBase: return Order(BaseFields);
    case KindWrite: return Order(WriteFields);
    case KindElement: return Order(ElementFields);
    case KindProgressBar: return Order(ProgressBarFields);
    case KindSprite1: return Order(Sprite1Fields);
    case KindSprite2: return Order(Sprite2Fields);
    default: return {nullptr, 0};
    }
}

int32_t KindOf(ScriptKey key)
{
    switch (key) {
    case KeyBack: return KindBack;
    case KeyBase: return KindBase;
    case KeyWrite: return KindWrite;
    case KeyElement: return KindElement;
    case KeyProgressBar: return KindProgressBar;
    case KeySprite1: return KindSprite1;
    case KeySprite2: return KindSprite2;
    case KeyFinish: return KindFinish;
    default: return KindFree;
    }
}
}  // namespace

int ElementFieldCount(int32_t kind) { return FieldsOf(kind).Count; }

LineResult ParseElementLine(ScriptKey key, const char* p)
{
    int slot = 0;
    while (slot < MaxScreenElements && SetupScript.ScreenElements[slot].Kind != KindFree)
        ++slot;
    if (slot == MaxScreenElements) {
        NoteAt(NoteElementTableFull, p);
        return LineDone;
    }
    ScreenElement& e = SetupScript.ScreenElements[slot];
    // A free slot owns no pixels; freeing first keeps that true whatever
    // left the slot free.
    free(e.ImagePixels);
    free(e.UnderPixels);
    memset(&e, 0, sizeof e);
    e.Kind = KindOf(key);
    e.State = 0;
    NoteAt(NoteElementClaimed, p, slot);

    const FieldOrder order = FieldsOf(e.Kind);
    const char* q = SkipBlanks(p);
    if (IsLineEnd(*q)) {
        NoteAt(NoteMissingFields, q, 0);
        return LineDone;
    }
    if (*q == '"') {
        const QuotedText text = ScanQuotedText(q);
        StoreQuotedText(e.ImageFile, TextWidth, text);
        if (text.End != QuoteClosed)
            return LineDone;
        // The values are found by words from the start of the name.
        if (text.After > FindWordEnd(q))
            NoteAt(NoteBlankInsideQuotes, q);
    } else {
        NoteAt(NoteUnquotedText, q);
    }
    for (int i = 0; i < order.Count; ++i) {
        q = SkipBlanks(FindWordEnd(q));
        if (IsLineEnd(*q)) {
            NoteAt(NoteMissingFields, q, i);
            return LineDone;
        }
        const bool last = i == order.Count - 1;
        const char* end;
        bool known;
        const uint32_t value = last ? ReadValue(q, &end, &known) : ReadSignedValue(q, &end, &known);
        if (!known)
            NoteAt(NoteUnknownValue, q);
        else if (end < FindWordEnd(q))
            NoteAt(NoteTrailingBytes, end);
        e.*(order.Fields[i]) = static_cast<int32_t>(value);
    }
    q = FindWordEnd(q);
    if (!RestIsEmpty(q))
        NoteAt(NoteRestIgnored, SkipBlanks(q));
    return LineDone;
}
