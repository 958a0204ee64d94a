#include "common/folder_rights.h"

#include "common/cp932.h"

#include <windows.h>
#include <aclapi.h>

#include <cstring>
#include <memory>

// Owner Administrators; a protected list: full control for Administrators
// and SYSTEM, read and execute (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE)
// for Users, each for the folder, its subfolders and its files.
static const wchar_t ProtectedRights[] =
    L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

bool ProtectFolderForAdministrators(const char* folder)
{
    // Looked up at run time: Windows 9x has none of these calls.
    using ConvertFn = BOOL(WINAPI*)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
    using SetFn = DWORD(WINAPI*)(LPWSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL,
                                 PACL);
    HMODULE advapi = LoadLibraryW(L"advapi32.dll");
    if (advapi == nullptr)
        return false;
    const ConvertFn convert = reinterpret_cast<ConvertFn>(reinterpret_cast<void*>(
        GetProcAddress(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorW")));
    const SetFn set = reinterpret_cast<SetFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "SetNamedSecurityInfoW")));
    using GetDaclFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);
    using GetOwnerFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, PSID*, LPBOOL);
    const GetDaclFn getDacl = reinterpret_cast<GetDaclFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "GetSecurityDescriptorDacl")));
    const GetOwnerFn getOwner = reinterpret_cast<GetOwnerFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "GetSecurityDescriptorOwner")));
    bool done = false;
    const size_t chars = strlen(folder) + 1;
    std::unique_ptr<wchar_t[]> path(new (std::nothrow) wchar_t[chars]);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (convert != nullptr && set != nullptr && getDacl != nullptr && getOwner != nullptr && path &&
        Cp932ToWide(folder, reinterpret_cast<char16_t*>(path.get()), chars) &&
        convert(ProtectedRights, 1 /* SDDL_REVISION_1 */, &descriptor, nullptr)) {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        PSID owner = nullptr;
        BOOL ownerDefaulted = FALSE;
        // The new list reaches the files already in the folder too, since
        // theirs are inherited.
        if (getDacl(descriptor, &present, &dacl, &defaulted) && present &&
            getOwner(descriptor, &owner, &ownerDefaulted))
            done = set(path.get(), SE_FILE_OBJECT,
                       OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                           PROTECTED_DACL_SECURITY_INFORMATION,
                       owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
        LocalFree(descriptor);
    }
    FreeLibrary(advapi);
    return done;
}
