// The disc folders against the script: what the copy, the disc check and
// the file check will find there.
#include "check/check_review.h"
#include "common/path_rules.h"
#include "script/setup_model.h"
#include "shared/check_text.h"
#include "shared/disc_files.h"

#include <algorithm>
#include <cinttypes>

namespace {

void ReviewEntry(ReviewContext* c, int disc, const std::string& root, const FileEntry& e,
    const EntryLines& where, DigestCache* digests)
{
    const std::string name = Cp932ToUtf8(e.Name);
    const std::vector<std::string> files = MatchOnDisc(root, name);
    const int line = where.Name;
    if (files.empty()) {
        c->Add(line, SeverityError,
            Format("disc %d (%s) ", disc + 1, root.c_str()) +
                (IsPattern(e.Name) ? "holds no file that matches " : "does not hold ") + Quote(e.Name) +
                ": the copy fails on it");
        return;
    }
    uint64_t total = 0;
    for (const std::string& f : files) {
        uint64_t size = 0;
        if (FileSize(f, &size))
            total += size;
    }
    const uint64_t listed = e.ByteSize;
    if (where.Size != 0 && total != listed)
        c->Add(where.Size, SeverityError,
            Format("the size of %s is %" PRIu64 " bytes on disc %d, but the script says %" PRIu64
                   " (the free-space check and the progress use the script's)",
                Quote(e.Name).c_str(), total, disc + 1, listed));
    if (e.Digest[0] == '\0' || IsPattern(e.Name))
        return;
    std::string digest;
    if (!digests->Get(files[0], &digest))
        c->Add(line, SeverityError, "cannot read " + files[0]);
    else if (digest != e.Digest)
        c->Add(line, SeverityError,
            "the MD5 digest of " + Quote(e.Name) + Format(" on disc %d is ", disc + 1) + digest +
                ", but the FILE line says " + Quote(e.Digest) + ": the file check calls the file damaged");
}

// What the image of the disc folder would be: before a build the folder
// lacks only what the build adds to disc 1, a few hundred kilobytes.
void ReviewImage(ReviewContext* c, int disc, const std::string& root)
{
    IsoPlan plan;
    std::string error;
    if (!PlanIsoImage(root, "", nullptr, &plan, &error)) {
        c->Add(0, SeverityError, Format("disc %d: ", disc + 1) + error);
        return;
    }
    for (const std::string& problem : plan.Problems)
        c->Add(0, SeverityError, Format("disc %d: ", disc + 1) + problem);
    const std::string over = IsoOverflow(plan, *c->Medium);
    if (!over.empty())
        c->Add(0, SeverityError, Format("disc %d (%s) does not fit its medium: ", disc + 1, root.c_str()) + over);
}

}  // namespace

void ReviewDiscFolders(ReviewContext* c, const ModelLines& lines)
{
    if (c->Discs.empty())
        return;
    const SetupScriptRecord& s = SetupScript;
    const int given = static_cast<int>(c->Discs.size());
    const int discs = static_cast<int>(std::min<uint32_t>(s.DISCNUM, MaxDiscs));
    if (given > discs)
        c->Add(lines.Keys[KeyDiscNum], SeverityWarning,
            Format("%d disc folders are given, but DISCNUM is %u", given, s.DISCNUM));
    DigestCache digests;
    for (int d = 0; d < given && d < MaxDiscs; ++d) {
        const std::string& root = c->Discs[d];
        if (!IsFolder(root)) {
            c->Add(0, SeverityError, Format("disc %d: '%s' is no folder", d + 1, root.c_str()));
            continue;
        }
        std::string marker;
        if (s.KEYFILE[d][0] != '\0' && !(FindOnDisc(root, s.KEYFILE[d], &marker) && IsRegularFile(marker)))
            c->Add(lines.Keys[KeyKeyFile], SeverityError,
                Format("disc %d (%s) does not hold its KEYFILE ", d + 1, root.c_str()) + Quote(s.KEYFILE[d]) +
                    ": the launcher never recognises the disc in a drive");
        for (int k = 0; k < EntryCount(d); ++k) {
            const FileEntry& e = s.DiscFiles[d][k];
            if (e.Name[0] == '\0')
                break;  // the copy ends here, and the model review said so
            ReviewEntry(c, d, root, e, lines.Entries[d * MaxFilesPerDisc + k], &digests);
        }
        if (c->Medium != nullptr)
            ReviewImage(c, d, root);
    }
    for (int d = given; d < discs; ++d) {
        if (s.DiscFiles[d][0].Name != nullptr)
            c->Add(0, SeverityNote, Format("disc %d was not given: its files are not checked", d + 1));
    }
    if (s.DXPLACE[0] == '\0')
        return;
    for (const uint32_t disc : s.DXDISC) {
        if (disc < 1 || static_cast<int>(disc) > given)
            continue;
        // The launcher starts it from whichever of these discs it finds first.
        std::string path;
        if (!(FindOnDisc(c->Discs[disc - 1], s.DXPLACE, &path) && IsRegularFile(path)))
            c->Add(lines.Keys[KeyDxPlace], SeverityError,
                "DXPLACE " + Quote(s.DXPLACE) +
                    Format(" is not on disc %u (%s), which DXDISC names", disc, c->Discs[disc - 1].c_str()));
    }
}
