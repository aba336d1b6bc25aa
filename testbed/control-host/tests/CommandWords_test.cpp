#include "testbed/control-host/CommandWords.h"

#include <gtest/gtest.h>

#include "testbed/control-host/PercentText.h"

namespace control_host {
namespace {

TEST(SplitWords, SeparatesOnAnyRunOfBlanks) {
    const struct {
        const char* line;
        std::vector<std::string> words;
    } cases[] = {
        {"get t Text", {"get", "t", "Text"}},
        {"  set\tt  MaxNumber r8:100 \r", {"set", "t", "MaxNumber", "r8:100"}},
        {"", {}},
        {" \t ", {}},
        {"events", {"events"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitWords(c.line), c.words) << c.line;
    }
}

TEST(PercentText, RoundTripsBlanksChineseAndTheEmptyText) {
    const char* const texts[] = {"", "-", "a b", "宋体", "100%", "a-b_c.d~", "\r\n\t", "Z:\\tmp\\x y.bag"};
    for (const char* text : texts) {
        const std::string word = PercentEncode(text);
        EXPECT_EQ(word.find_first_of(" \t\r\n"), std::string::npos) << text;
        const auto back = PercentDecode(word);
        ASSERT_TRUE(back) << word;
        EXPECT_EQ(*back, text);
    }
    EXPECT_EQ(PercentEncode(""), "-");
    EXPECT_EQ(*PercentDecode("%e5%AE%8b%E4%BD%93"), "宋体");  // either letter case
}

TEST(PercentText, RefusesBrokenEscapes) {
    for (const char* word : {"%", "%4", "a%zz", "%G0", "ab%"}) {
        EXPECT_FALSE(PercentDecode(word)) << word;
    }
}

TEST(TypedValue, ParsesEachType) {
    struct Case {
        const char* word;
        VARTYPE type;
        double number;  // compared for numeric types
    };
    const Case cases[] = {
        {"i2:5", VT_I2, 5},
        {"i2:-32768", VT_I2, -32768},
        {"i4:-1", VT_I4, -1},
        {"i4:0x7fffffff", VT_I4, 2147483647.0},
        {"i4:+12", VT_I4, 12},
        {"r8:100", VT_R8, 100},
        {"r8:-0.25", VT_R8, -0.25},
        {"r4:9.5", VT_R4, 9.5},
        {"color:2147483653", VT_UI4, 2147483653.0},
        {"color:0x80000008", VT_UI4, 2147483656.0},
    };
    for (const Case& c : cases) {
        qv::win::Variant value;
        ASSERT_TRUE(ParseTypedValue(c.word, value)) << c.word;
        EXPECT_EQ(value.Type(), c.type) << c.word;
        qv::win::Variant real;
        ASSERT_HRESULT_SUCCEEDED(VariantChangeType(real.Address(), const_cast<VARIANT*>(&value.Get()), 0, VT_R8));
        EXPECT_DOUBLE_EQ(real.Get().dblVal, c.number) << c.word;
    }
}

TEST(TypedValue, BooleansAreAutomationBooleans) {
    qv::win::Variant value;
    ASSERT_TRUE(ParseTypedValue("bool:1", value));
    EXPECT_EQ(value.Type(), VT_BOOL);
    EXPECT_EQ(value.Get().boolVal, VARIANT_TRUE);
    ASSERT_TRUE(ParseTypedValue("bool:0", value));
    EXPECT_EQ(value.Get().boolVal, VARIANT_FALSE);
}

TEST(TypedValue, TextsArePercentDecoded) {
    const struct {
        const char* word;
        const char* text;
    } cases[] = {{"str:a%20b", "a b"}, {"str:-", ""}, {"str:%E4%B8%AD", "中"}, {"str:%2D", "-"}};
    for (const auto& c : cases) {
        qv::win::Variant value;
        ASSERT_TRUE(ParseTypedValue(c.word, value)) << c.word;
        ASSERT_EQ(value.Type(), VT_BSTR);
        std::string text;
        ASSERT_HRESULT_SUCCEEDED(value.ToText(text));
        EXPECT_EQ(text, c.text) << c.word;
    }
}

TEST(TypedValue, RefusesBadWordsAndLeavesTheValue) {
    const char* const words[] = {"i2:32768", "i2:-32769", "i4:2147483648",    "i4:",    "i4:1x", "i4:1.5", "bool:2",
                                 "bool:",    "color:-1",  "color:4294967296", "r8:abc", "r4:",   "str:%4", "long:1",
                                 "5",        ""};
    for (const char* word : words) {
        qv::win::Variant value = qv::win::Variant::FromLong(77);
        EXPECT_FALSE(ParseTypedValue(word, value)) << word;
        EXPECT_EQ(value.Type(), VT_I4) << word;
        EXPECT_EQ(value.Get().lVal, 77) << word;
    }
}

}  // namespace
}  // namespace control_host
