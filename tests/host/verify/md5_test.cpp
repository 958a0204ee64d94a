#include "verify/md5.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string HexOf(const void* data, size_t size)
{
    Md5Context c;
    Md5Init(&c);
    Md5Update(&c, data, size);
    uint8_t digest[16];
    Md5Final(&c, digest);
    char text[33];
    Md5ToHex(digest, text);
    return text;
}

std::string HexOf(const std::string& s) { return HexOf(s.data(), s.size()); }

TEST(Md5, Rfc1321TestSuite)
{
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", HexOf(""));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", HexOf("a"));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", HexOf("abc"));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", HexOf("message digest"));
    EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", HexOf("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
              HexOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              HexOf("1234567890123456789012345678901234567890"
                    "1234567890123456789012345678901234567890"));
}

// Reference digests of 'a' repeated n times around the padding edges
// (55/56 bytes decide whether the length fits in the last block).
TEST(Md5, LengthsAroundTheBlockEdges)
{
    const struct {
        size_t Length;
        const char* Hex;
    } cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},
        {56, "3b0c8ac703f828b04c6c197006d17218"},
        {57, "652b906d60af96844ebd21b674f35e93"},
        {63, "b06521f39153d618550606be297466d5"},
        {64, "014842d480b571495a4a0363793f7367"},
        {65, "c743a45e0d2e6a95cb859adae0248435"},
        {119, "8a7bd0732ed6a28ce75f6dabc90e1613"},
        {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
        {128, "e510683b3f5ffe4093d021808bc6ff70"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Hex, HexOf(std::string(c.Length, 'a'))) << "length " << c.Length;
}

TEST(Md5, ManyOddUpdatesEqualOneUpdate)
{
    const std::vector<uint8_t> data = PatternBytes(100000, 11);
    const std::string whole = HexOf(data.data(), data.size());
    for (size_t step : {1u, 3u, 63u, 64u, 65u, 127u, 4097u, 8192u}) {
        Md5Context c;
        Md5Init(&c);
        size_t done = 0;
        size_t piece = step;
        while (done < data.size()) {
            const size_t n = std::min(piece, data.size() - done);
            Md5Update(&c, data.data() + done, n);
            done += n;
            piece = piece % 97 + step;  // vary the sizes
        }
        Md5Update(&c, data.data(), 0);
        uint8_t digest[16];
        Md5Final(&c, digest);
        char text[33];
        Md5ToHex(digest, text);
        EXPECT_EQ(whole, text) << "step " << step;
    }
}

}  // namespace
