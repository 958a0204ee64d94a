#ifdef _WIN32
#include "support/shell_link_reader.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

ShellLinkInfo ReadShellLink(const std::string& file)
{
    ShellLinkInfo info;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
            SUCCEEDED(persist->Load(wide, STGM_READ))) {
            char text[1024];
            WIN32_FIND_DATAA found;
            if (SUCCEEDED(link->GetPath(text, sizeof text, &found, SLGP_RAWPATH)))
                info.Target = text;
            if (SUCCEEDED(link->GetArguments(text, sizeof text)))
                info.Arguments = text;
            if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text)))
                info.WorkFolder = text;
            if (SUCCEEDED(link->GetDescription(text, sizeof text)))
                info.Description = text;
            link->GetShowCmd(&info.ShowCommand);
        }
        if (persist)
            persist->Release();
        link->Release();
    }
    CoUninitialize();
    return info;
}
#endif
