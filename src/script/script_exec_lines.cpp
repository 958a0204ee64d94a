// DISCNUM, DXDISC and EXEC: the lines that hold numbers and commands.
#include "common/text.h"
#include "script/script_lines.h"
#include "script/setup_model.h"

#include <cstdlib>

LineResult ParseDiscNumLine(const char* p)
{
    const char* equals = FindEquals(p);
    if (equals == nullptr) {
        NoteAt(NoteMissingEquals, p);
        return LineFailed;
    }
    const char* end;
    bool digits;
    const uint32_t count = ReadNumber(equals + 1, &end, &digits);
    if (count == 0) {
        NoteAt(NoteDiscNumZero, SkipBlanks(equals + 1));
        return LineFailed;
    }
    SetupScript.DISCNUM = count;
    if (!RestIsEmpty(end))
        NoteAt(NoteRestIgnored, SkipBlanks(end));
    return LineDone;
}

LineResult ParseDxDiscLine(const char* p)
{
    const char* equals = FindEquals(p);
    if (equals == nullptr) {
        NoteAt(NoteMissingEquals, p);
        return LineFailed;
    }
    const char* q = SkipBlanks(equals + 1);
    for (int k = 0; !IsLineEnd(*q); ++k) {
        if (k >= MaxDiscs) {
            NoteAt(NoteItemsBeyondCapacity, q, MaxDiscs);
            break;
        }
        const char* end;
        bool digits;
        const uint32_t disc = ReadNumber(q, &end, &digits);
        if (disc == 0) {
            NoteAt(NoteDxDiscZero, q);
            return LineFailed;
        }
        SetupScript.DXDISC[k] = disc;
        const char* wordEnd = FindWordEnd(q);
        if (end < wordEnd)
            NoteAt(NoteTrailingBytes, end);
        q = SkipBlanks(wordEnd);
    }
    return LineDone;
}

// Sets step `index` to a numeric or a quoted argument, releasing a block
// that an earlier EXEC line left there.
static void SetArgument(ExecStep& step, uint32_t number, char* text)
{
    free(step.ArgumentText);
    step.ArgumentText = text;
    step.Argument = number;
}

LineResult ParseExecLine(const char* p)
{
    const char* q = SkipBlanks(p);
    const char* end;
    bool known;
    uint32_t code = ReadValue(q, &end, &known);
    if (code == 0) {
        NoteAt(NoteUnknownCommand, q);
        return LineDone;
    }
    // Every EXEC line writes its steps from step 0.
    for (int k = 0;; ++k) {
        if (k >= MaxExecSteps) {
            NoteAt(NoteItemsBeyondCapacity, q, MaxExecSteps);
            return LineDone;
        }
        ExecStep& step = SetupScript.EXEC[k];
        step.Code = static_cast<int32_t>(code);
        const char* equals = FindEquals(q);
        if (equals == nullptr) {
            NoteAt(NoteMissingEquals, q);
            return LineFailed;
        }
        const char* argument = SkipBlanks(equals + 1);
        if (*argument == '"') {
            char* block = static_cast<char*>(calloc(PathWidth, 1));
            if (block == nullptr) {
                NoteAt(NoteOutOfMemory, argument);
                return LineFailed;
            }
            const QuotedText text = ScanQuotedText(argument);
            StoreQuotedText(block, PathWidth, text);
            SetArgument(step, 0, block);
            NoteAt(NoteExecStepStored, argument, k);
            // The reader stays on the quoted text: nothing after it is a step.
            if (text.End == QuoteClosed && !RestIsEmpty(text.After))
                NoteAt(NoteRestIgnored, SkipBlanks(text.After));
            return LineDone;
        }
        bool digits;
        const uint32_t number = ReadNumber(argument, &end, &digits);
        if (!digits)
            NoteAt(NoteNotANumber, argument);
        SetArgument(step, number, nullptr);
        NoteAt(NoteExecStepStored, argument, k);
        q = SkipBlanks(FindItemEnd(argument));
        if (IsLineEnd(*q))
            return LineDone;
        if (*q == ',')
            q = SkipBlanks(q + 1);
        code = ReadValue(q, &end, &known);
        if (code == 0) {
            if (!RestIsEmpty(q))
                NoteAt(NoteUnknownCommand, q);
            return LineDone;
        }
    }
}
