#include "script/setup_model.h"

#include "common/drive_root.h"
#include "common/text.h"

#include <cstdlib>
#include <cstring>

SetupScriptRecord SetupScript;

bool SourcePath(char* out, size_t size, const char* name)
{
    if (SetupScript.SourceFolder[0] != '\0')
        return JoinPath(out, size, SetupScript.SourceFolder, name);
    // A cut name would open another file.
    if (CopyText(out, size, name))
        return true;
    if (size > 0)
        out[0] = '\0';
    return false;
}

bool LocatedDiscRoot(char* root, size_t size)
{
    if (SetupScript.DiscRoot[0] != '\0') {
        // A cut root would name another folder.
        if (CopyText(root, size, SetupScript.DiscRoot))
            return true;
        if (size > 0)
            root[0] = '\0';
        return false;
    }
    return FormatDriveRoot(SetupScript.DiscDrive, root, size);
}

const char* GetFileListEntry(int disc, int entry)
{
    if (disc < 0 || disc >= MaxDiscs || entry < 0 || entry >= MaxFilesPerDisc)
        return nullptr;
    return SetupScript.DiscFiles[disc][entry].Name;
}

void ReleaseElementImages()
{
    for (ScreenElement& e : SetupScript.ScreenElements) {
        free(e.ImagePixels);
        free(e.UnderPixels);
        e.ImagePixels = nullptr;
        e.UnderPixels = nullptr;
        e.UnderValid = 0;
        e.State = 0;
    }
}

// Every reset clears the whole file table, digests included, and the whole
// element table. Keeping them (as the launcher once did) let a reloaded
// script draw the earlier script's pictures as well as its own, and let a
// file of the new script inherit the digest of the old entry at its index,
// so that the file check called a sound file damaged.
//
// KEYFILE survives every reset but the first, and DISCNUM every reset:
// scripts fetched by a start-up step may rely on the values of the script
// that fetched them.
void ResetSetupScript()
{
    SetupScriptRecord& s = SetupScript;
    for (ExecStep& step : s.EXEC) {
        free(step.ArgumentText);
        step = ExecStep();
    }
    // The parser stores names from the front of a list without gaps (every
    // reader stops at the first null), so the owned blocks end there.
    for (auto& disc : s.DiscFiles) {
        for (FileEntry& entry : disc) {
            if (entry.Name == nullptr)
                break;
            free(entry.Name);
        }
    }
    memset(s.DiscFiles, 0, sizeof s.DiscFiles);
    ReleaseElementImages();
    memset(s.ScreenElements, 0, sizeof s.ScreenElements);
    memset(s.DISCLABEL, 0, sizeof s.DISCLABEL);
    memset(s.DISCNAME, 0, sizeof s.DISCNAME);
    if (!s.ModelReady) {
        memset(s.KEYFILE, 0, sizeof s.KEYFILE);
        s.ModelReady = 1;
    }

    memset(s.OPTIONTITLE, 0, sizeof s.OPTIONTITLE);
    memset(s.MAKEFOLDER, 0, sizeof s.MAKEFOLDER);
    memset(s.SAVEDATA, 0, sizeof s.SAVEDATA);
    memset(s.SHORTCUTLABEL, 0, sizeof s.SHORTCUTLABEL);
    memset(s.SHORTCUTNAME, 0, sizeof s.SHORTCUTNAME);
    memset(s.SHORTCUTLINK, 0, sizeof s.SHORTCUTLINK);
    memset(s.SHORTCUTFOLDER, 0, sizeof s.SHORTCUTFOLDER);
    memset(s.SHORTCUTPARAM, 0, sizeof s.SHORTCUTPARAM);
    memset(s.SAVEFOLDER, 0, sizeof s.SAVEFOLDER);
    memset(s.BRANDFOLDER, 0, sizeof s.BRANDFOLDER);
    memset(s.BRANDNAME, 0, sizeof s.BRANDNAME);
    memset(s.DXPLACE, 0, sizeof s.DXPLACE);
    memset(s.DXMESSAGE, 0, sizeof s.DXMESSAGE);
    memset(s.REGADDRESS, 0, sizeof s.REGADDRESS);
    memset(s.MUSTMAKEFOLDER, 0, sizeof s.MUSTMAKEFOLDER);
    memset(s.EXENAME, 0, sizeof s.EXENAME);
    memset(s.SUBTITLE, 0, sizeof s.SUBTITLE);
    memset(s.APPLITITLE, 0, sizeof s.APPLITITLE);
    memset(s.DXDISC, 0, sizeof s.DXDISC);
}

void ClearSetupScript()
{
    ResetSetupScript();
    memset(&SetupScript, 0, sizeof SetupScript);
    ResetSetupScript();
}
