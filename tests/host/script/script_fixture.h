// A fresh model and an empty current folder for every parser test.
#pragma once

#include "script/setup_model.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// A literal with its embedded NUL bytes, without the terminator.
template <size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

// Brings the record back to the state of a program start (DISCNUM 0,
// KEYFILE empty, ModelReady 0) and runs the start-up's first reset.
inline void StartModelAfresh()
{
    ClearSetupScript();
}

class ScriptTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir cwd{dir.Path};

    void SetUp() override { StartModelAfresh(); }
    void TearDown() override { StartModelAfresh(); }

    // Writes the text as the loose script and loads it.
    int Load(const std::string& text)
    {
        WriteText("Drubel.ini", text);
        return LoadSetupScript();
    }

    // The Name of entry k of 1-based disc d, "(none)" when it has no block.
    static std::string Name(int disc, int entry)
    {
        const char* name = GetFileListEntry(disc - 1, entry);
        return name != nullptr ? name : "(none)";
    }
};
