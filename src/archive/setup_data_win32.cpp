#include "archive/setup_data.h"

#include "common/system_text.h"

void ShowUnreadableData(HWND owner, const char* memberPath, const char* caption)
{
    char text[260];
    FormatUnreadableDataMessage(text, sizeof text, UnreadableDataName(memberPath));
    SysMessageBox(owner, text, caption, MB_OK);
}
