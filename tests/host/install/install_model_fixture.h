// A fresh setup model with file lists for the installation's own tests.
#pragma once

#include "common/text.h"
#include "script/setup_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Frees every list entry and clears the whole record.
inline void ClearInstallModel()
{
    ClearSetupScript();
}

// Lists a file on a disc (0-based), in the 260-byte block the model owns.
inline void ListFile(int disc, int index, const char* name, uint64_t size, uint32_t mask)
{
    FileEntry& entry = SetupScript.DiscFiles[disc][index];
    free(entry.Name);
    entry.Name = static_cast<char*>(calloc(PathWidth, 1));
    CopyText(entry.Name, PathWidth, name);
    entry.ByteSize = size;
    entry.OptionMask = mask;
}

class InstallModelTest : public testing::Test {
protected:
    void SetUp() override { ClearInstallModel(); }
    void TearDown() override { ClearInstallModel(); }
};
