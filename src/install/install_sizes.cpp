#include "install/install_sizes.h"

#include "script/setup_model.h"

static uint64_t SumDisc(int disc, uint32_t mask)
{
    uint64_t sum = 0;
    for (int i = 0; i < MaxFilesPerDisc; ++i) {
        const FileEntry& entry = SetupScript.DiscFiles[disc][i];
        if (entry.Name == nullptr || entry.Name[0] == '\0')
            break;
        if (entry.OptionMask & mask)
            sum += entry.ByteSize;
    }
    return sum;
}

static bool DiscHasFiles(int disc)
{
    const char* first = SetupScript.DiscFiles[disc][0].Name;
    return first != nullptr && first[0] != '\0';
}

uint64_t SumFileSizes(int disc, uint32_t mask)
{
    if (disc != AllDiscs)
        return disc >= 0 && disc < MaxDiscs ? SumDisc(disc, mask) : 0;
    uint64_t sum = 0;
    for (int d = 0; d < MaxDiscs && DiscHasFiles(d); ++d)
        sum += SumDisc(d, mask);
    return sum;
}

int FormatDecimal(uint32_t value, char* buffer)
{
    bool started = false;
    int at = 0;
    for (uint32_t place = 1000000000u; place != 0; place /= 10) {
        const uint32_t digit = value / place % 10;
        if (digit != 0)
            started = true;
        if (started)
            buffer[at++] = static_cast<char>('0' + digit);
    }
    return 1;
}

uint32_t DisplayMegabytes(uint64_t bytes)
{
    return static_cast<uint32_t>(bytes / 1048576u + 1);
}
