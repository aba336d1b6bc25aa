#include "testbed/uidriver/JsonLine.h"

#include <gtest/gtest.h>

#include <string>

#include "TestPrograms.h"

namespace {

using testbed::JsonLine;
using testbed::JsonQuoted;

TEST(JsonQuoted, EscapesWhatJsonRequiresAndPassesTheRest) {
    const struct {
        std::string text;
        std::string json;
    } cases[] = {
        {"", R"("")"},
        {"确定", R"("确定")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\a b\\quorvel.exe", R"("C:\\a b\\quorvel.exe")"},
        {"原因如下：\r\n\r\n网络错误", R"("原因如下：\r\n\r\n网络错误")"},
        {"a\tb", R"("a\tb")"},
        {std::string("nul\0x\x01\x1f", 7), R"("nul\u0000x\u0001\u001f")"},
        {"\x7f/", "\"\x7f/\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JsonQuoted(c.text), c.json) << c.json;
    }
}

TEST(JsonLine, KeepsFieldsInOrderWithEveryKindOfValue) {
    const std::string line = JsonLine()
                                 .Text("kind", "box")
                                 .Texts("buttons", {"是(&Y)", "否(&N)"})
                                 .Texts("none", {})
                                 .Numbers("ids", {6, -7})
                                 .Number("x", -30000)
                                 .Boolean("topmost", true)
                                 .Boolean("visible", false)
                                 .Str();
    EXPECT_EQ(line, R"j({"kind":"box","buttons":["是(&Y)","否(&N)"],"none":[],"ids":[6,-7],"x":-30000,)j"
                    R"("topmost":true,"visible":false})");
    EXPECT_EQ(JsonLine().Str(), "{}");
}

using testbed::tests::JsonField;

// The tests read the driver's lines with a small field reader of their own:
// it must see through strings and arrays that hold JSON's own punctuation.
TEST(JsonLine, FieldsReadBackWithTheTestsReader) {
    const std::string line = JsonLine()
                                 .Text("kind", "box")
                                 .Text("text", "a,b:{c}[d] \"e\", \\")
                                 .Texts("buttons", {"x,y", "]"})
                                 .Number("pid", 42)
                                 .Boolean("topmost", false)
                                 .Str();
    EXPECT_EQ(JsonField(line, "kind"), R"("box")");
    EXPECT_EQ(JsonField(line, "text"), R"("a,b:{c}[d] \"e\", \\")");
    EXPECT_EQ(JsonField(line, "buttons"), R"(["x,y","]"])");
    EXPECT_EQ(JsonField(line, "pid"), "42");
    EXPECT_EQ(JsonField(line, "topmost"), "false");
    EXPECT_EQ(JsonField(line, "missing"), "");
    EXPECT_EQ(JsonField(R"({"outer":{"kind":"inner"},"kind":"top"})", "kind"), R"("top")");
}

}  // namespace
