#include "launcher/modMD5.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(MD5Hex, Rfc1321Suite) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : cases) EXPECT_EQ(launcher::MD5Hex(text), digest) << text;
}

// Lengths around the 56- and 64-byte block edges take the other padding paths.
TEST(MD5Hex, BlockEdges) {
    const std::pair<std::size_t, std::string> cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"}, {56, "3b0c8ac703f828b04c6c197006d17218"},
        {63, "b06521f39153d618550606be297466d5"}, {64, "014842d480b571495a4a0363793f7367"},
        {65, "c743a45e0d2e6a95cb859adae0248435"},
    };
    for (const auto& [length, digest] : cases) EXPECT_EQ(launcher::MD5Hex(std::string(length, 'a')), digest) << length;
}

TEST(MD5Hex, RefusesTextOutsideAscii) {
    EXPECT_EQ(launcher::MD5Hex("salt中文"), std::nullopt);
    EXPECT_EQ(launcher::MD5Hex(std::string("a\x80", 2)), std::nullopt);
    EXPECT_EQ(launcher::MD5Hex(std::string("a\x7f\0", 3)), "25fd0fe26719be34d77d4f055777c7a8");
}

}  // namespace
