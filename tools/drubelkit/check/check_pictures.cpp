// The pictures of a script: there, EPA, and laid out so that the install
// screen can draw them.
#include "archive/pak.h"
#include "check/check_review.h"
#include "image/epa.h"
#include "script/setup_model.h"
#include "shared/check_text.h"
#include "shared/cli.h"
#include "shared/disc_files.h"
#include "shared/host_files.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

namespace {

enum PictureState { PictureMissing, PictureNotEpa, PictureEpa };

struct Picture {
    PictureState State = PictureMissing;
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::string Kind;  // what a file that is not EPA looks like
};

bool ReadMember(const std::string& archive, const char* name, std::vector<uint8_t>* bytes)
{
    PakFile* file = PakOpenMember(HostProgramPath(archive).c_str(), name);
    if (file == nullptr)
        return false;
    bytes->assign(static_cast<size_t>(PakGetSize(file)), 0);
    const bool ok = bytes->empty() || (PakRead(file, bytes->data()) != 0 && PakWaitRead(file) != 0);
    PakClose(file);
    return ok;
}

// As the launcher finds it: the loose file first, then the archive member.
Picture LookAt(const ReviewContext& c, const char* name)
{
    Picture p;
    std::vector<uint8_t> bytes;
    std::string loose;
    bool found = false;
    if (!c.PictureFolder.empty() && FindOnDisc(c.PictureFolder, name, &loose) && IsRegularFile(loose))
        found = ReadWholeFile(loose, &bytes);
    if (!found && !c.ArchivePath.empty())
        found = ReadMember(c.ArchivePath, name, &bytes);
    if (!found)
        return p;
    EpaInfo info;
    if (ParseEpaHeader(bytes.data(), bytes.size(), &info) == EpaOk) {
        p.State = PictureEpa;
        p.Width = info.Width;
        p.Height = info.Height;
        return p;
    }
    p.State = PictureNotEpa;
    if (bytes.size() >= 4 && memcmp(bytes.data(), "\x89PNG", 4) == 0)
        p.Kind = "a PNG file";
    else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        p.Kind = "a bitmap file";
    else
        p.Kind = "no picture the launcher knows";
    return p;
}

const char* KindName(int32_t kind)
{
    static const char* const names[] = {"", "BACK", "BASE", "WRITE", "ELEMENT", "PROGRESSBAR", "SPRITE1",
                                        "SPRITE2", "FINISH"};
    return kind >= 1 && kind <= 8 ? names[kind] : "?";
}

bool IsSprite(int32_t kind) { return kind == KindSprite1 || kind == KindSprite2; }

struct Box {
    int64_t Left, Top, Right, Bottom;
};

bool Overlap(const Box& a, const Box& b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Everywhere a sprite is drawn on its way; a sprite that lives for ever
// travels without end in the direction it moves.
Box SpriteTravel(const ScreenElement& e, uint32_t width)
{
    const int64_t x = e.X, y = e.Y, dx = e.DeltaX, dy = e.DeltaY;
    const bool endless = e.Kind == KindSprite2 && e.End == SPRITE_INFINITE;
    const int64_t far = INT64_MAX / 4;
    Box b {std::min(x, x + dx), std::min(y, y + dy), std::max(x, x + dx) + width,
           std::max(y, y + dy) + e.CellHeight};
    if (endless) {
        if (dx < 0)
            b.Left = -far;
        if (dx > 0)
            b.Right = far;
        if (dy < 0)
            b.Top = -far;
        if (dy > 0)
            b.Bottom = far;
    }
    return b;
}

void ReviewCells(ReviewContext* c, int line, const ScreenElement& e, const Picture* p)
{
    const std::string what = std::string(KindName(e.Kind)) + " " + Quote(e.ImageFile);
    if (e.CellHeight <= 0) {
        c->Add(line, SeverityError,
            Format("the cell height of %s is %d: a sprite's frames are stacked in its picture, each "
                   "CellHeight rows tall, so the height must be above 0",
                what.c_str(), e.CellHeight));
        return;
    }
    if (p == nullptr || p->State != PictureEpa)
        return;
    const uint32_t cell = static_cast<uint32_t>(e.CellHeight);
    if (cell > p->Height)
        c->Add(line, SeverityError,
            Format("the cell height %u of %s is taller than its picture (%u rows)", cell, what.c_str(),
                p->Height));
    else if (p->Height % cell != 0)
        c->Add(line, SeverityError,
            Format("the cell height %u of %s does not divide its picture's %u rows: the frames are whole "
                   "bands of CellHeight rows, stacked",
                cell, what.c_str(), p->Height));
}

}  // namespace

void ReviewPictures(ReviewContext* c, const ModelLines& lines)
{
    std::map<std::string, Picture> seen;
    auto look = [c, &seen](const char* name) -> const Picture& {
        auto found = seen.find(name);
        if (found == seen.end())
            found = seen.emplace(name, LookAt(*c, name)).first;
        return found->second;
    };
    const bool anySource = !c->ArchivePath.empty() || !c->PictureFolder.empty();

    int count = 0;
    while (count < MaxScreenElements && SetupScript.ScreenElements[count].Kind != KindFree)
        ++count;
    std::vector<const Picture*> pictures(static_cast<size_t>(count), nullptr);
    bool anyFound = false;
    for (int i = 0; i < count && anySource; ++i) {
        const char* name = SetupScript.ScreenElements[i].ImageFile;
        if (name[0] != '\0') {
            pictures[i] = &look(name);
            anyFound = anyFound || pictures[i]->State != PictureMissing;
        }
    }
    for (const char* name : {"TITLE.EPA", "LOGO.EPA"})
        anyFound = anyFound || (anySource && look(name).State != PictureMissing);
    // A script checked on its own, with no picture anywhere near it.
    const bool checked = anySource && (anyFound || !c->ArchivePath.empty());
    if (!checked)
        c->Add(0, SeverityNote,
            "no Instdata.pak and no picture beside the script: the pictures are not checked (give --pak)");

    const std::string where = !c->ArchivePath.empty() ? "the archive " + c->ArchivePath
                                                      : "the folder " + c->PictureFolder;
    for (int i = 0; i < count; ++i) {
        const ScreenElement& e = SetupScript.ScreenElements[i];
        const Picture* p = checked ? pictures[i] : nullptr;
        if (p != nullptr && p->State == PictureMissing)
            c->Add(lines.Elements[i], SeverityError,
                std::string("the ") + KindName(e.Kind) + " picture " + Quote(e.ImageFile) + " is not in " +
                    where + ": the install screen leaves it out");
        else if (p != nullptr && p->State == PictureNotEpa)
            c->Add(lines.Elements[i], SeverityError,
                std::string("the ") + KindName(e.Kind) + " picture " + Quote(e.ImageFile) + " is " + p->Kind +
                    ", not an EPA picture (encode it with 'drubelkit epa encode')");
        if (IsSprite(e.Kind))
            ReviewCells(c, lines.Elements[i], e, p);
    }
    // The launcher and the options dialog end the program, without a word,
    // when their pictures are missing.
    for (const char* name : {"TITLE.EPA", "LOGO.EPA"}) {
        if (!checked)
            break;
        const Picture& p = look(name);
        const char* effect = name[0] == 'T' ? "the launcher ends at once, without a word"
                                            : "the install options dialog ends the program, without a word";
        if (p.State == PictureMissing)
            c->Add(0, SeverityError, where + " holds no " + Quote(name) + ": " + effect);
        else if (p.State == PictureNotEpa)
            c->Add(0, SeverityError,
                Quote(name) + " is " + p.Kind + ", not an EPA picture (encode it with 'drubelkit epa encode')");
    }

    // The renderer redraws only the sprites after a changed element, so a
    // moving sprite puts back what was under it before a later picture came.
    for (int i = 0; i < count; ++i) {
        const ScreenElement& sprite = SetupScript.ScreenElements[i];
        if (!IsSprite(sprite.Kind) || pictures[i] == nullptr || pictures[i]->State != PictureEpa ||
            sprite.CellHeight <= 0)
            continue;
        const Box travel = SpriteTravel(sprite, pictures[i]->Width);
        for (int j = i + 1; j < count; ++j) {
            const ScreenElement& e = SetupScript.ScreenElements[j];
            const bool drawnInView = e.Kind == KindWrite || e.Kind == KindElement ||
                                     e.Kind == KindProgressBar || e.Kind == KindFinish;
            if (!drawnInView || pictures[j] == nullptr || pictures[j]->State != PictureEpa)
                continue;
            const Box area {e.X, e.Y, static_cast<int64_t>(e.X) + pictures[j]->Width,
                            static_cast<int64_t>(e.Y) + pictures[j]->Height};
            if (Overlap(travel, area))
                c->Add(lines.Elements[j], SeverityWarning,
                    std::string("the ") + KindName(e.Kind) + " picture " + Quote(e.ImageFile) +
                        Format(" lies where the %s of line %d moves, on an earlier line: the sprite puts back "
                               "what was under it before this picture came and leaves holes in it (write "
                               "sprite lines after the pictures they cross)",
                            KindName(sprite.Kind), lines.Elements[i]));
        }
    }
}
