#include "common/box_answer.h"

int DefaultBoxAnswer(uint32_t type)
{
    // The buttons of each kind, left to right (MB_OK 0 ... MB_RETRYCANCEL 5).
    static const int Buttons[6][3] = {
        {1, 0, 0}, {1, 2, 0}, {3, 4, 5}, {6, 7, 2}, {6, 7, 0}, {4, 2, 0},
    };
    const uint32_t kind = type & 0x0Fu;
    const uint32_t which = (type & 0x0F00u) >> 8;  // MB_DEFBUTTON1 0, 2 0x100, 3 0x200
    if (kind > 5)
        return 1;
    const int* row = Buttons[kind];
    // A default past the box's last button falls back to its first, as the system does.
    return which < 3 && row[which] != 0 ? row[which] : row[0];
}

const char* BoxAnswerName(int answer)
{
    switch (answer) {
    case 1: return "OK";
    case 2: return "キャンセル";
    case 3: return "中止";
    case 4: return "再試行";
    case 5: return "無視";
    case 6: return "はい";
    case 7: return "いいえ";
    }
    return "?";
}
