// Disc images as independent readers of ISO 9660 and Joliet see them:
// xorriso, isoinfo and 7-Zip on Linux.
#include "images/iso_image.h"
#include "shared/host_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::string Output(const std::string& command)
{
    std::string out;
#ifndef _WIN32
    if (FILE* p = popen((command + " 2>/dev/null").c_str(), "r")) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, p)) > 0)
            out.append(chunk, n);
        pclose(p);
    }
#endif
    return out;
}

bool Lists(const std::string& listing, const std::string& name)
{
    return listing.find(name) != std::string::npos;
}

// A 64-character name, and one of 65.
const std::string Long64 = std::string(60, 'n') + ".dat";
const std::string Long65 = std::string(61, 'n') + ".dat";

TEST(IsoImage, NamesLabelsAndSizesAsTheReadersSeeThem)
{
#ifdef _WIN32
    GTEST_SKIP() << "the independent readers are Linux programs";
#endif
    if (Output("for p in xorriso osirrox isoinfo 7z; do command -v $p; done | wc -l") != "4\n")
        GTEST_SKIP() << "xorriso, osirrox, isoinfo or 7z is missing";
    TempDir dir;
    const struct {
        const char* Path;  // below the disc folder
        size_t Size;
        const char* IsoinfoName;  // what isoinfo (without a UTF-8 character set) prints
    } files[] = {
        {"Drubel.exe", 5000, "Drubel.exe"},
        {"AUTORUN.INF", 40, "AUTORUN.INF"},
        {"MixedCase.Txt", 0, "MixedCase.Txt"},
        {u8"データ/説明書.txt", 2048, "___.txt"},
        {u8"データ/音声/ボイス01.ogg", 70000, "___01.ogg"},
        {"data/a.dat", 1, "a.dat"},
        {"data/b.dat", 4097, "b.dat"},
        {"data/deep/er/still/folder.bin", 10, "folder.bin"},
    };
    const std::string disc = dir / "disc";
    HostMakeFolder(disc);
    for (const auto& f : files) {
        const std::string path = disc + "/" + f.Path;
        for (size_t slash = path.find('/', disc.size() + 1); slash != std::string::npos;
             slash = path.find('/', slash + 1))
            HostMakeFolder(path.substr(0, slash));
        WriteBytes(path, PatternBytes(f.Size, static_cast<uint32_t>(f.Size)));
    }
    WriteBytes(disc + "/data/" + Long64, {1, 2, 3});

    IsoPlan plan;
    std::string error;
    ASSERT_TRUE(PlanIsoImage(disc, "ARCADIA_DISC_1_OF_TWO_WITH_32_CH", nullptr, &plan, &error)) << error;
    EXPECT_TRUE(plan.Problems.empty());
    const std::string image = dir / "disc.iso";
    ASSERT_TRUE(WriteIsoImage(plan, image, &error)) << error;
    EXPECT_EQ(static_cast<size_t>(plan.Sectors) * IsoSectorSize, ReadBytes(image).size());

    const std::string find = Output("xorriso -indev '" + image + "' -find");
    const std::string sevenZip = Output("7z l '" + image + "'");
    const std::string isoinfo = Output("isoinfo -J -l -i '" + image + "'");
    for (const auto& f : files) {
        const std::string path = f.Path;
        EXPECT_TRUE(Lists(find, "'./" + path + "'")) << path << "\n" << find;
        EXPECT_TRUE(Lists(sevenZip, path)) << path << "\n" << sevenZip;
        EXPECT_TRUE(Lists(isoinfo, std::string(" ") + f.IsoinfoName + " \n")) << path << "\n" << isoinfo;
    }
    EXPECT_TRUE(Lists(find, Long64)) << find;
    // The label whole in the ISO 9660 volume id, its first 16 characters in Joliet's.
    EXPECT_TRUE(Lists(Output("isoinfo -d -i '" + image + "'"), "Volume id: ARCADIA_DISC_1_OF_TWO_WITH_32_CH\n"));
    const std::vector<uint8_t> bytes = ReadBytes(image);
    std::string joliet;
    for (size_t i = 17 * IsoSectorSize + 40; i < 17 * IsoSectorSize + 72; i += 2)
        joliet += static_cast<char>(bytes[i + 1]);
    EXPECT_EQ("ARCADIA_DISC_1_O", joliet);

    // What the readers extract is the disc folder, byte for byte.
    const std::string compare = "diff -r '" + disc + "' '" + dir.Path + "/x' >/dev/null && echo same";
    Output("7z x -o'" + dir.Path + "/x' '" + image + "'");
    EXPECT_EQ("same\n", Output(compare)) << "7z x";
    RemoveTree(dir / "x");
    Output("osirrox -indev '" + image + "' -extract / '" + dir.Path + "/x'");
    EXPECT_EQ("same\n", Output(compare)) << "osirrox -extract";
}

TEST(IsoImage, WhatCannotGoIntoAnImage)
{
    TempDir dir;
    const std::string disc = dir / "disc";
    HostMakeFolder(disc);
    WriteBytes(disc + "/" + Long65, {1});
    WriteBytes(disc + "/a;b.txt", {1});
    // Sparse, where the file system allows it.
    FILE* f = HostOpen(disc + "/huge.bin", "wb");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(0, fseeko64(f, 0xFFFFFFFFll, SEEK_SET));
    fputc(0, f);
    fclose(f);
    IsoPlan plan;
    std::string error;
    ASSERT_TRUE(PlanIsoImage(disc, "L", nullptr, &plan, &error)) << error;
    ASSERT_EQ(3u, plan.Problems.size());
    // In name order.
    const std::string problems[] = {"a;b.txt': a Joliet name holds none of", "huge.bin' is 4 GiB or larger",
                                    Long65 + "': the name has 65 UTF-16 characters; a Joliet name holds 64"};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NE(std::string::npos, plan.Problems[i].find(problems[i])) << plan.Problems[i];
    HostRemoveFile(disc + "/huge.bin");

    const struct {
        const char* Label;
        const char* Problem;  // empty: a label
    } labels[] = {
        {"ARCADIA_1", ""},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", ""},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", "32 characters at most, this one has 33"},
        {"", "at least one character"},
        {"Arcadia", "only A-Z, 0-9 and '_'"},
        {"DISC 1", "only A-Z, 0-9 and '_'"},
        {u8"ディスク", "only A-Z, 0-9 and '_'"},
    };
    for (const auto& l : labels) {
        const std::string problem = IsoLabelProblem(l.Label);
        EXPECT_EQ(l.Problem[0] == '\0', problem.empty()) << l.Label << ": " << problem;
        EXPECT_NE(std::string::npos, problem.find(l.Problem)) << l.Label << ": " << problem;
    }
    EXPECT_EQ("ARCADIA1", IsoLabelFromKeyFile("ARCADIA1.KEY", 1));
    EXPECT_EQ("DISC_2", IsoLabelFromKeyFile("data\\disc-2.key", 2));
    EXPECT_EQ("DISC3", IsoLabelFromKeyFile(u8"ディスク.key", 3));

    const struct {
        const char* Medium;
        uint32_t Sectors;
        const char* Over;  // empty: it fits
    } sizes[] = {
        {"cd", 360000, ""},
        {"cd", 360001, "1 sectors (0.0 MiB) over the 360000 sectors of a CD (80 min)"},
        {"dvd", 2295104, ""},
        {"dvd", 2295104 + 51200, "51200 sectors (100.0 MiB) over the 2295104 sectors of a DVD-5"},
        {"dvd-dl", 4173825, "over the 4173824 sectors of a DVD-9"},
        {"bd", 12219392, ""},
    };
    for (const auto& s : sizes) {
        IsoPlan sized;
        sized.Sectors = s.Sectors;
        const std::string over = IsoOverflow(sized, *FindIsoMedium(s.Medium));
        EXPECT_EQ(s.Over[0] == '\0', over.empty()) << s.Medium << " " << s.Sectors << ": " << over;
        EXPECT_NE(std::string::npos, over.find(s.Over)) << over;
    }
    EXPECT_EQ(nullptr, FindIsoMedium("floppy"));
}

}  // namespace
