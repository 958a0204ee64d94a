#include "verify/verify_run.h"

#include "common/scaled_share.h"
#include "common/text.h"

const char StatusNotRun[] = "Not Run";
const char StatusChecking[] = "Now Checking...";
const char StatusOk[] = "OK";
const char StatusCannotOpen[] = "NG - Cannot Open";
const char StatusReadFailed[] = "NG - Read Failed";
const char StatusDifferent[] = "NG - Different";

void ResetVerifyState(VerifyState* state)
{
    const VerifyItems* items = state->Items;
    *state = VerifyState{};
    state->Items = items;
    state->CurrentItem = -1;
}

int CollectVerifyItems(VerifyItems* items, void (*add)(void* context, int item, const char* name),
                       void* context)
{
    const uint32_t discs = SetupScript.DISCNUM < MaxDiscs ? SetupScript.DISCNUM : MaxDiscs;
    int count = 0;
    for (uint32_t disc = 0; disc < discs; ++disc) {
        for (int entry = 0; entry < MaxFilesPerDisc; ++entry) {
            const FileEntry& file = SetupScript.DiscFiles[disc][entry];
            // As for the copy: an empty name ends the disc's list.
            if (file.Name == nullptr || file.Name[0] == '\0')
                break;
            if (file.Digest[0] == '\0')
                continue;
            // A file of an option that was not installed was never copied:
            // listing it would call a sound installation damaged and send
            // the player to reinstall. Without an option word (no install
            // record) every file is listed.
            if (SetupScript.InstallOption != 0 && (file.OptionMask & SetupScript.InstallOption) == 0)
                continue;
            CopyText(items->Name[count], file.Name);
            CopyText(items->Digest[count], file.Digest);
            items->Disc[count] = static_cast<uint8_t>(disc);
            items->Size[count] = file.ByteSize;
            add(context, count, file.Name);
            ++count;
        }
    }
    items->Count = count;
    return count;
}

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool DigestMatches(const char* computedHex, const char* expected)
{
    for (int i = 0; i < 32; ++i) {
        if (expected[i] == '\0' || LowerAscii(expected[i]) != computedHex[i])
            return false;
    }
    return expected[32] == '\0';
}

static uint64_t PieceCount(uint64_t fileSize)
{
    return fileSize / VerifyPieceSize + (fileSize % VerifyPieceSize != 0 ? 1 : 0);
}

uint32_t ProgressRange(uint64_t fileSize)
{
    const uint64_t pieces = PieceCount(fileSize);
    return pieces > MaxProgressRange ? MaxProgressRange : static_cast<uint32_t>(pieces);
}

uint32_t ProgressPosition(uint64_t piecesDone, uint64_t fileSize)
{
    const uint64_t pieces = PieceCount(fileSize);
    if (piecesDone >= pieces)
        return ProgressRange(fileSize);
    if (pieces <= MaxProgressRange)
        return static_cast<uint32_t>(piecesDone);
    return static_cast<uint32_t>(ScaledShare(piecesDone, pieces, MaxProgressRange));
}

static void CloseOpenFile(VerifyState* state)
{
    PakClose(state->OpenFile);
    state->OpenFile = nullptr;
}

void AbandonVerifyRun(VerifyState* state)
{
    if (state->OpenFile != nullptr)
        CloseOpenFile(state);
}

static int OpenNextItem(VerifyState* state, const VerifyView& view, const char* installFolder)
{
    ++state->CurrentItem;
    if (state->Items == nullptr || state->CurrentItem >= state->Items->Count ||
        state->CurrentItem >= MaxVerifyItems)
        return 0;
    char path[PathWidth];
    PakFile* file = JoinPath(path, installFolder, state->Items->Name[state->CurrentItem])
                        ? PakOpen(path, nullptr)
                        : nullptr;
    if (file == nullptr) {
        view.ShowStatus(view.Context, state->CurrentItem, StatusCannotOpen);
        ++state->ErrorCount;
        return 1;
    }
    state->OpenFile = file;
    state->FileSize = PakGetSize(file);
    state->BytesDone = 0;
    state->ProgressShown = 0;
    Md5Init(&state->Md5);
    // The bar starts over before the row says so: whoever sees the row
    // checking sees the bar of that file.
    view.StartProgress(view.Context, ProgressRange(state->FileSize));
    view.ShowStatus(view.Context, state->CurrentItem, StatusChecking);
    return 1;
}

static void FinishItem(VerifyState* state, const VerifyView& view)
{
    CloseOpenFile(state);
    uint8_t digest[16];
    Md5Final(&state->Md5, digest);
    char hex[33];
    Md5ToHex(digest, hex);
    const bool sound = DigestMatches(hex, state->Items->Digest[state->CurrentItem]);
    if (!sound)
        ++state->ErrorCount;
    view.ShowStatus(view.Context, state->CurrentItem, sound ? StatusOk : StatusDifferent);
}

static void HashPiece(VerifyState* state, const VerifyView& view, uint8_t* piece)
{
    const uint64_t remaining = state->FileSize - state->BytesDone;
    const bool last = remaining <= VerifyPieceSize;
    const uint32_t length = last ? static_cast<uint32_t>(remaining) : VerifyPieceSize;
    // A short read means the file changed under us: hashing the stale rest
    // of the buffer would give a verdict about bytes that are not there.
    if (!PakReadPart(state->OpenFile, piece, state->BytesDone, length) ||
        state->OpenFile->Delivered != length) {
        CloseOpenFile(state);
        view.ShowStatus(view.Context, state->CurrentItem, StatusReadFailed);
        ++state->ErrorCount;
        return;
    }
    Md5Update(&state->Md5, piece, length);
    state->BytesDone += length;
    const uint64_t piecesDone = PieceCount(state->BytesDone);
    const uint32_t position = ProgressPosition(piecesDone, state->FileSize);
    if (position != state->ProgressShown) {
        state->ProgressShown = position;
        view.ShowProgress(view.Context, position);
    }
    if (last)
        FinishItem(state, view);
}

int VerifyStep(VerifyState* state, const VerifyView& view, const char* installFolder,
               uint8_t* piece)
{
    if (state->OpenFile == nullptr)
        return OpenNextItem(state, view, installFolder);
    HashPiece(state, view, piece);
    return 1;
}
