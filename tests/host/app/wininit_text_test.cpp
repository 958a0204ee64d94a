#include "app/wininit_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char Program[] = "C:\\WINDOWS\\TEMP\\Drubel.exe";

std::string Edit(const std::string& text)
{
    std::string out(text.size() + sizeof Program + WininitEntryOverhead, '\0');
    const size_t length = AddWininitEntry(text.data(), text.size(), Program, &out[0], out.size());
    EXPECT_NE(0u, length);
    out.resize(length);
    return out;
}

}  // namespace

TEST(Wininit, ANewFileHoldsTheHeaderAndOneEntryWithoutFinalLineEnd)
{
    char text[300];
    const size_t length = MakeWininitText(Program, text, sizeof text);
    EXPECT_EQ(std::string("[rename]\r\nNUL = C:\\WINDOWS\\TEMP\\Drubel.exe"),
              std::string(text, length));
}

TEST(Wininit, TheEntryOpensAHeaderOfAnyCaseAndTheOtherSectionStays)
{
    const std::string before = "[CombineVxDs]\r\nC:\\x.vxd=1\r\n[ReNaMe]\r\nNUL = C:\\old.exe\r\n";
    EXPECT_EQ("[CombineVxDs]\r\nC:\\x.vxd=1\r\n[ReNaMe]\r\nNUL = C:\\WINDOWS\\TEMP\\Drubel.exe\r\n"
              "\r\nNUL = C:\\old.exe\r\n",
              Edit(before));
}

TEST(Wininit, WithoutAHeaderTheEntryIsAppendedWithoutOne)
{
    EXPECT_EQ("[other]\r\na=b\r\nNUL = C:\\WINDOWS\\TEMP\\Drubel.exe\r\n", Edit("[other]\r\na=b"));
    EXPECT_EQ("\r\nNUL = C:\\WINDOWS\\TEMP\\Drubel.exe\r\n", Edit(""));
    // A cut-off header is no header.
    EXPECT_EQ("[renam\r\nNUL = C:\\WINDOWS\\TEMP\\Drubel.exe\r\n", Edit("[renam"));
}

TEST(Wininit, BytesAfterANulByteAreKept)
{
    const std::string before("[rename]\r\nA\0B", 13);
    const std::string after = Edit(before);
    EXPECT_EQ("[rename]\r\nNUL = C:\\WINDOWS\\TEMP\\Drubel.exe\r\n" + before.substr(8), after);
}

TEST(Wininit, AnOutputBufferTooSmallWritesNothing)
{
    char out[20];
    EXPECT_EQ(0u, AddWininitEntry("[rename]", 8, Program, out, sizeof out));
    EXPECT_EQ(0u, MakeWininitText(Program, out, sizeof out));
}
