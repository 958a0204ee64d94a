#include "archive/setup_data.h"

void ShowUnreadableData(HWND owner, const char* member, const char* caption)
{
    char text[260];
    FormatUnreadableDataMessage(text, sizeof text, UnreadableDataName(member));
    MessageBoxA(owner, text, caption, MB_OK);
}
