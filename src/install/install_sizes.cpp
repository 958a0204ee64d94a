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
            sum = AddSizes(sum, entry.ByteSize);
    }
    return sum;
}

uint64_t SumFileSizes(int disc, uint32_t mask)
{
    if (disc != AllDiscs)
        return disc >= 0 && disc < MaxDiscs ? SumDisc(disc, mask) : 0;
    // The discs the installation walks: a disc without files in between
    // does not hide the ones after it.
    const uint32_t discs = SetupScript.DISCNUM < MaxDiscs ? SetupScript.DISCNUM : MaxDiscs;
    uint64_t sum = 0;
    for (uint32_t d = 0; d < discs; ++d)
        sum = AddSizes(sum, SumDisc(static_cast<int>(d), mask));
    return sum;
}

int FormatDecimal(uint64_t value, char* buffer)
{
    bool started = false;
    int at = 0;
    for (uint64_t place = 10000000000000000000ull; place != 0; place /= 10) {
        const uint64_t digit = value / place % 10;
        if (digit != 0)
            started = true;
        if (started)
            buffer[at++] = static_cast<char>('0' + digit);
    }
    return 1;
}

uint64_t DisplayMegabytes(uint64_t bytes)
{
    return bytes / 1048576u + 1;
}
