#include "common/link_walk.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// A disk on which the named paths are links and everything else is a folder.
uint32_t Attributes(void* context, const char* path)
{
    const auto& links = *static_cast<const std::set<std::string>*>(context);
    return links.count(path) ? LinkAttribute | 0x10 : 0x10;
}

}  // namespace

TEST(LinkWalk, TheFirstLinkFromTheRootDownIsFoundAndOnlyLevelsAboveThePathBarItsDeletion)
{
    // 表 (0x95 0x5C) ends in the byte of a backslash, which is no level's end.
    std::set<std::string> links = {"C:\\Games\\Title\\data", "C:\\Games\\Title\\\x95\x5C",
                                   "C:\\Games\\Title\\x\\y.dat", "C:\\Other"};
    const struct {
        const char* Root;
        const char* Path;
        const char* Link;  // FindLinkOnPath; empty for none
        bool Reached;      // ReachedWithoutLink
    } cases[] = {
        {"C:\\Games\\Title", "C:\\Games\\Title\\game.exe", "", true},
        {"C:\\Games\\Title", "C:\\Games\\Title\\data\\bgm.dat", "C:\\Games\\Title\\data", false},
        {"C:\\Games\\Title\\", "C:\\Games\\Title\\data", "C:\\Games\\Title\\data", true},
        {"C:\\Games\\Title", "C:\\Games\\Title\\data\\", "C:\\Games\\Title\\data", true},
        {"C:\\Games\\Title", "C:\\Games\\Title\\\x95\x5C\\a.txt", "C:\\Games\\Title\\\x95\x5C", false},
        {"C:\\Games\\Title", "C:\\Games\\Title\\x\\y.dat", "C:\\Games\\Title\\x\\y.dat", true},
        {"C:\\Games\\Title\\data", "C:\\Games\\Title\\data\\bgm.dat", "C:\\Games\\Title\\data", false},
        {"C:\\Games\\Title\\data", "C:\\Games\\Title\\data", "C:\\Games\\Title\\data", true},
        // Links above the root are the player's own business.
        {"C:\\Other\\Game", "C:\\Other\\Game\\a.dat", "", true},
        // A path outside the root is as good as one through a link.
        {"C:\\Games\\Title", "C:\\Games\\Titles\\a.dat", "C:\\Games\\Titles\\a.dat", false},
        {"C:\\Games\\Title", "D:\\a.dat", "D:\\a.dat", false},
    };
    for (const auto& c : cases) {
        char link[260] = "unchanged";
        EXPECT_EQ(c.Link[0] != '\0', FindLinkOnPath(c.Root, c.Path, Attributes, &links, link,
                                                    sizeof link))
            << c.Path;
        EXPECT_EQ(std::string(c.Link), link) << c.Path;
        EXPECT_EQ(c.Reached, ReachedWithoutLink(c.Root, c.Path, Attributes, &links)) << c.Path;
    }
}

TEST(LinkWalk, APathBelongsToTheOutermostRootThatHoldsIt)
{
    const char* const roots[] = {"C:\\Games\\Title", nullptr, "C:\\Local\\Brand\\Title",
                                 "C:\\Local\\Brand", ""};
    EXPECT_STREQ("C:\\Local\\Brand", OutermostRootOf("C:\\Local\\Brand\\Title\\save", roots, 5));
    EXPECT_STREQ("C:\\Local\\Brand", OutermostRootOf("C:\\Local\\Brand", roots, 5));
    EXPECT_STREQ("C:\\Games\\Title", OutermostRootOf("c:\\games\\title\\a.dat", roots, 5));
    EXPECT_EQ(nullptr, OutermostRootOf("C:\\Games", roots, 5));
    EXPECT_EQ(nullptr, OutermostRootOf("C:\\Local\\BrandX", roots, 5));
}
