#include "image/cpu_features.h"

#include <windows.h>

bool SystemSupportsSse()
{
#if defined(_WIN64)
    return true;
#else
    // Looked up rather than linked: Windows 95 lacks the function, and lacks
    // SSE state saving with it.
    typedef BOOL(WINAPI * IsFeaturePresent)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    IsFeaturePresent isPresent =
        kernel != nullptr ? reinterpret_cast<IsFeaturePresent>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "IsProcessorFeaturePresent")))
                          : nullptr;
    return isPresent != nullptr && isPresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE);
#endif
}
