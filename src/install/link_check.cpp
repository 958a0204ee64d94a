#include "install/link_check.h"

#include "common/path_rules.h"
#include "common/text.h"
#include "install/install_journal.h"
#include "script/setup_model.h"

namespace {

struct Walk {
    const char* InstallFolder;
    AttributesLookup Lookup;
    void* Context;
    char* Link;
    size_t LinkSize;
};

// True when the name leads to a link. A name that would leave the install
// folder is never written (the installation skips it), so it is not looked at.
bool LeadsToLink(const Walk& walk, const char* name)
{
    if (name[0] != '\0' && !IsContainedRelativePath(name))
        return false;
    char path[PathWidth];
    if (name[0] == '\0')
        CopyText(path, walk.InstallFolder);
    else if (!JoinPath(path, walk.InstallFolder, name))
        return false;
    return FindLinkOnPath(walk.InstallFolder, path, walk.Lookup, walk.Context, walk.Link,
                          walk.LinkSize);
}

}  // namespace

bool FindLinkInInstallation(const char* installFolder, AttributesLookup lookup, void* context,
                            char* link, size_t linkSize)
{
    const Walk walk = {installFolder, lookup, context, link, linkSize};
    if (LeadsToLink(walk, ""))
        return true;
    for (int i = 0; i < MaxMakeFolders && SetupScript.MAKEFOLDER[i][0] != '\0'; ++i)
        if (LeadsToLink(walk, SetupScript.MAKEFOLDER[i]))
            return true;
    for (int disc = 0; disc < MaxDiscs; ++disc) {
        for (int entry = 0; entry < MaxFilesPerDisc; ++entry) {
            const char* name = SetupScript.DiscFiles[disc][entry].Name;
            if (name == nullptr || name[0] == '\0')
                break;
            // A pattern's matches are not known before the copy: its folder
            // is, and the copy checks each match again before it writes.
            char part[PathWidth];
            if (IsPattern(name) ? FolderPartOf(name, part, sizeof part) && LeadsToLink(walk, part)
                                : LeadsToLink(walk, name))
                return true;
        }
    }
    return LeadsToLink(walk, SetupScript.SAVEFOLDER) || LeadsToLink(walk, "Install.ini") ||
           LeadsToLink(walk, JournalFileName);
}
