#include "launcher/PublisherKeys.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/Base64.h"
#include "launcher/tests/support/FakeSignatureVerifier.h"

namespace launcher {
namespace {

std::string Text(const PublicKeyBytes& key) { return EncodeBase64(key.data(), key.size()); }

TEST(ParsePublisherKeys, OneOrMoreKeysInTheirOrder) {
    const auto a = TestKey(1), b = TestKey(2), c = TestKey(3);
    EXPECT_EQ(ParsePublisherKeys(Text(a)), (std::vector<PublicKeyBytes>{a}));
    EXPECT_EQ(ParsePublisherKeys(Text(a) + "," + Text(b)), (std::vector<PublicKeyBytes>{a, b}));
    // Blanks and tabs around each key, as people write lists.
    EXPECT_EQ(ParsePublisherKeys(" " + Text(c) + " ,\t" + Text(a) + "\t"), (std::vector<PublicKeyBytes>{c, a}));
}

TEST(ParsePublisherKeys, AnyItemThatIsNotA64ByteKeyRefusesTheWholeValue) {
    const std::string good = Text(TestKey(7));
    const std::string shortKey = EncodeBase64(TestKey(7).data(), 63);
    const std::string compressed = EncodeBase64(std::vector<unsigned char>(65, 4).data(), 65);
    const std::string refused[] = {
        "",
        " ",
        ",",
        good + ",",
        "," + good,
        good + ",," + good,
        good + "," + shortKey,
        compressed,
        good + ";" + good,  // a semicolon is no separator
        good.substr(0, 40) + " " + good.substr(40),
        "not base64 at all",
    };
    for (const auto& text : refused) EXPECT_FALSE(ParsePublisherKeys(text).has_value()) << '"' << text << '"';
}

}  // namespace
}  // namespace launcher
