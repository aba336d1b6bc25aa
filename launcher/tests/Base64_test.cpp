#include "launcher/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/PublisherKeys.h"

namespace launcher {
namespace {

std::string Encode(const std::string& bytes) {
    return EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::optional<std::string> Decode(const std::string& text) {
    const auto bytes = DecodeBase64(text);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

TEST(Base64, TheStandardsVectorsBothWays) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [bytes, text] : vectors) {
        EXPECT_EQ(Encode(bytes), text);
        EXPECT_EQ(Decode(text), bytes) << text;
    }
}

TEST(Base64, EveryByteValueAndLengthSurvivesTheRoundTrip) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(255 - i);
        EXPECT_EQ(Decode(Encode(bytes)), bytes) << i;
    }
    EXPECT_EQ(Decode("+/+/"), std::string("\xfb\xff\xbf", 3));
}

TEST(Base64, OnlyTheCanonicalFormIsAccepted) {
    const char* refused[] = {
        "Zg",        // padding left out
        "Zg=",       // length not a multiple of four
        "Zh==",      // unused bits set: would be a second spelling of "f"
        "Zm9=",      // likewise for two bytes
        "Zg==Zg==",  // padding before the end
        "Z===",        "====", "=Zm9", "Zm=v", "Zm9v\n", " Zm9v", "Zm 9v",  // no blanks or line breaks inside or around
        "Zm9-",        "Zm9_",                                              // the URL alphabet is not this one
        "Zm9\xc3\xa9",
    };
    for (const char* text : refused) EXPECT_FALSE(DecodeBase64(text).has_value()) << '"' << text << '"';
}

TEST(Base64, A64ByteValueIsExactly64Bytes) {
    const std::string key(64, '\x5a');
    EXPECT_TRUE(DecodeBase64Of64(Encode(key)).has_value());
    EXPECT_FALSE(DecodeBase64Of64(Encode(key.substr(1))).has_value());
    EXPECT_FALSE(DecodeBase64Of64(Encode(key + "x")).has_value());
    EXPECT_FALSE(DecodeBase64Of64("").has_value());
}

}  // namespace
}  // namespace launcher
