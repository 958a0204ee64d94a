#include "app/app_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    return RunDrubel(instance, commandLine, showCommand);
}
