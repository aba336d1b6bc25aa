#include "launcher/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace launcher {
namespace {

std::string HashOf(const std::string& text, std::size_t piece) {
    Sha256 hash;
    for (std::size_t i = 0; i < text.size(); i += piece) hash.Update(text.data() + i, std::min(piece, text.size() - i));
    return hash.HexDigest();
}

TEST(Sha256Test, KnownDigestsWhateverThePieces) {
    const struct {
        std::string text;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        for (std::size_t piece : {1u, 63u, 4096u}) {
            if (c.text.size() > 100000 && piece == 1) continue;
            EXPECT_EQ(HashOf(c.text, piece), c.digest) << c.text.size() << " in pieces of " << piece;
        }
    }
}

TEST(Sha256Test, DigestTextIs64HexDigitsInEitherCase) {
    const std::string lower(64, 'a');
    EXPECT_EQ(NormalisedSha256Text(std::string(64, 'A')), lower);
    EXPECT_EQ(NormalisedSha256Text(lower), lower);
    EXPECT_EQ(NormalisedSha256Text(std::string(63, 'a')), "");
    EXPECT_EQ(NormalisedSha256Text(std::string(65, 'a')), "");
    EXPECT_EQ(NormalisedSha256Text(std::string(63, 'a') + "g"), "");
    EXPECT_EQ(NormalisedSha256Text(" " + std::string(63, 'a')), "");
}

}  // namespace
}  // namespace launcher
