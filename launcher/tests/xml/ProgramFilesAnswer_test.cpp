#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "launcher/tests/xml/support/PugiXmlDocument.h"
#include "launcher/modWeb.h"

namespace launcher {
namespace {

std::string Answer(const std::string& result, const std::string& list = "") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><quorvel>" + result + list + "</quorvel>";
}
std::string Result(const std::string& errorCode) {
    return "<result><errorCode>" + errorCode + "</errorCode><errorMessage>m</errorMessage></result>";
}
std::string List(const std::string& files) { return "<ProgramFilesList>" + files + "</ProgramFilesList>"; }
std::string File(const std::string& children) { return "<File><cFileName>a.dll</cFileName>" + children + "</File>"; }

bool Read(const std::string& xml, clsProgramFiles& files) {
    return ReadProgramFilesAnswer(*ParseXmlDocument(xml), files);
}

TEST(ProgramFilesAnswer, ReadsEveryFieldInDocumentOrder) {
    const std::string xml = Answer(
        "<result><errorMessage>暂停 &amp; 维护</errorMessage><errorCode>0</errorCode><other/></result>",
        List("<File><cIfPrivate>1</cIfPrivate><cIfReg>1</cIfReg><cDownLoadPath>http://dl/x</cDownLoadPath>"
             "<cFilePath> [CUR_PATH]Tools </cFilePath><cVersion>12</cVersion><cFileName>q v.dll</cFileName></File>"
             "<File><cFileName><![CDATA[b.exe]]></cFileName></File>") +
            "<Elsewhere><File><cFileName>ignored.dll</cFileName></File></Elsewhere>" + List(File("")));
    clsProgramFiles files;
    ASSERT_TRUE(Read(xml, files));
    EXPECT_EQ(files.ErrorCode, 0);
    EXPECT_EQ(files.ErrorMessage, "暂停 & 维护");
    ASSERT_EQ(files.Count(), 3);
    const clsProgramFile& first = *files.Item(1);
    EXPECT_EQ(first.cFileName, "q v.dll");
    EXPECT_EQ(first.cVersion, 12);
    EXPECT_EQ(first.cFilePath, " [CUR_PATH]Tools ");  // not trimmed
    EXPECT_EQ(first.cDownLoadPath, "http://dl/x");
    EXPECT_TRUE(first.cIfReg);
    EXPECT_TRUE(first.cIfPrivate);
    const clsProgramFile& second = *files.Item(2);
    EXPECT_EQ(second.cFileName, "b.exe");
    EXPECT_EQ(second.cVersion, 0);
    EXPECT_EQ(second.cFilePath, "");
    EXPECT_FALSE(second.cIfReg);
    EXPECT_EQ(files.Item(3)->cFileName, "a.dll");
}

TEST(ProgramFilesAnswer, ResultElementAndItsChildrenAreRequired) {
    const std::string cases[] = {
        "",
        "not xml at all",
        "<quorvel><result><errorCode>1</errorCode><errorMessage>m</errorMessage></result>",  // not well-formed
        Answer("<Result><errorCode>1</errorCode><errorMessage>m</errorMessage></Result>"),
        Answer("<result><errorMessage>m</errorMessage></result>"),
        "<other>" + Result("1") + "</other>",
    };
    for (const auto& xml : cases) {
        clsProgramFiles files;
        EXPECT_FALSE(Read(xml, files)) << xml;
        EXPECT_EQ(files.ErrorCode, 0) << xml;
    }
}

TEST(ProgramFilesAnswer, MissingMessageFailsAfterTheCodeIsStored) {
    clsProgramFiles files;
    EXPECT_FALSE(Read(Answer("<result><errorCode>1</errorCode></result>", List(File(""))), files));
    EXPECT_EQ(files.ErrorCode, 1);
    EXPECT_EQ(files.Count(), 0);

    EXPECT_TRUE(Read(Answer("<result><errorCode>1</errorCode><errorMessage/></result>"), files));
    EXPECT_EQ(files.ErrorMessage, "");
}

TEST(ProgramFilesAnswer, ErrorCodeIsASixteenBitNumberRoundedHalfToEven) {
    const std::pair<std::string, std::optional<std::int16_t>> cases[] = {
        {"1", 1},
        {" 2\n", 2},
        {"32767", 32767},
        {"-32768", -32768},
        {"2.5", 2},
        {"3.5", 4},
        {"1e2", 100},
        {"32767.5", std::nullopt},
        {"32768", std::nullopt},
        {"-32769", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"1x", std::nullopt},
    };
    for (const auto& [text, code] : cases) {
        clsProgramFiles files;
        EXPECT_EQ(Read(Answer(Result(text)), files), code.has_value()) << text;
        if (code) {
            EXPECT_EQ(files.ErrorCode, *code) << text;
        }
    }
}

TEST(ProgramFilesAnswer, VersionIsAThirtyTwoBitNumberRoundedHalfToEven) {
    const std::pair<std::string, std::optional<std::int32_t>> cases[] = {
        {"<cVersion>7</cVersion>", 7},
        {"<cVersion>2147483647</cVersion>", 2147483647},
        {"<cVersion>-2147483648</cVersion>", -2147483647 - 1},
        {"<cVersion>2.5</cVersion>", 2},
        {"<cVersion>3.5</cVersion>", 4},
        {"", 0},  // no element: version 0
        {"<cVersion>2147483648</cVersion>", std::nullopt},
        {"<cVersion>2147483647.5</cVersion>", std::nullopt},
        {"<cVersion></cVersion>", std::nullopt},
        {"<cVersion/>", std::nullopt},
        {"<cVersion>v1</cVersion>", std::nullopt},
    };
    for (const auto& [element, version] : cases) {
        clsProgramFiles files;
        EXPECT_EQ(Read(Answer(Result("1"), List(File("") + File(element))), files), version.has_value()) << element;
        ASSERT_EQ(files.Count(), version ? 2 : 1) << element;  // entries before the failure stay
        if (version) {
            EXPECT_EQ(files.Item(2)->cVersion, *version) << element;
        }
    }
}

TEST(ProgramFilesAnswer, FlagsAreTrueOnlyForExactlyOne) {
    const std::pair<std::string, bool> cases[] = {
        {"1", true}, {"true", false}, {"01", false}, {" 1", false}, {"1 ", false}, {"", false}, {"-1", false},
    };
    for (const auto& [text, flag] : cases) {
        clsProgramFiles files;
        ASSERT_TRUE(
            Read(Answer(Result("1"), List(File("<cIfReg>" + text + "</cIfReg><cIfPrivate>" + text + "</cIfPrivate>"))),
                 files));
        EXPECT_EQ(files.Item(1)->cIfReg, flag) << '"' << text << '"';
        EXPECT_EQ(files.Item(1)->cIfPrivate, flag) << '"' << text << '"';
    }
}

TEST(ProgramFilesAnswer, NoListIsAnEmptyList) {
    for (const std::string& list : {std::string(), List("")}) {
        clsProgramFiles files;
        EXPECT_TRUE(Read(Answer(Result("2"), list), files));
        EXPECT_EQ(files.ErrorCode, 2);
        EXPECT_EQ(files.Count(), 0);
    }
}

// A name that could reach outside its folder makes the whole answer unreadable.
TEST(ProgramFilesAnswer, RefusesFileNamesThatLeaveTheFolder) {
    const std::pair<std::string, bool> cases[] = {
        {"<cFileName>a.dll</cFileName>", true},
        {"<cFileName>..a</cFileName>", true},
        {"<cFileName>a..b.dll</cFileName>", true},
        {"", false},
        {"<cFileName></cFileName>", false},
        {"<cFileName>.</cFileName>", false},
        {"<cFileName>..</cFileName>", false},
        {"<cFileName>..\\quorvel.exe</cFileName>", false},
        {"<cFileName>sub/a.dll</cFileName>", false},
        {"<cFileName>C:a.dll</cFileName>", false},
        {"<cFileName>a.dll:stream</cFileName>", false},
        {"<cFileName>\\\\server\\share\\a.dll</cFileName>", false},
    };
    for (const auto& [element, safe] : cases) {
        clsProgramFiles files;
        const std::string xml = Answer(Result("1"), List("<File>" + element + "<cVersion>1</cVersion></File>"));
        EXPECT_EQ(Read(xml, files), safe) << element;
        EXPECT_EQ(files.Count(), safe ? 1 : 0) << element;
    }
}

}  // namespace
}  // namespace launcher
