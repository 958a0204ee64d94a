// A stand-in for a DirectX setup program: it writes the path it was started
// as into the file DRUBEL_E2E_MARK names, and ends.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char mark[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("DRUBEL_E2E_MARK", mark, sizeof mark))
        return 1;
    // The command line is the path the launcher started, nothing more.
    const char* commandLine = GetCommandLineA();
    FILE* f = fopen(mark, "wb");
    if (!f)
        return 1;
    fwrite(commandLine, 1, strlen(commandLine), f);
    fclose(f);
    return 0;
}
