#include "launcher/clsDealConfigFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "launcher/tests/support/FakeFileSystem.h"
#include "launcher/tests/support/FakeMessageBox.h"

namespace launcher {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

const std::string kPath = "C:\\Quorvel\\FileVersion.cfg";
const std::string kTemp = kPath + ".tmp";
const std::string kDuplicateKey = "此键已经与该集合的一个元素相关联";

ShownBox ErrorBox(const std::string& reason) {
    return {"发生错误，重试若仍有问题，请与系统提供商联系。\r错误原因：" + reason, "错误", 0x1010};
}

std::string Repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
}

class ConfigFileTest : public testing::Test {
protected:
    bool Read(const std::string& content) {
        files.SetFile(kPath, content);
        return config.ReadConfigFile(kPath);
    }
    // What the held entries look like once written.
    std::string Written() {
        EXPECT_TRUE(config.ReWriteFile(kPath));
        return files.Content(kPath).value_or("<none>");
    }

    FakeFileSystem files;
    FakeMessageBox boxes;
    clsDealConfigFile config{files, boxes};
};

TEST_F(ConfigFileTest, KeepsOnlyEntryLinesInFileOrder) {
    struct Case {
        const char* content;
        const char* written;
    };
    const Case cases[] = {
        {"# a=1\r\n\r\nno equals sign\r\nb.dll=3\r\n", "b.dll=3\r\n"},
        {"   # a=1\r\n   \r\n", ""},
        {"\t# a=1\r\n", "\t# a=1\r\n"},  // a tab before "#" makes an entry
        {"a=1\rb=2\nc=3\r\nd=4", "a=1\r\nb=2\r\nc=3\r\nd=4\r\n"},
        {"a=1\r\r\nb=2\n\n", "a=1\r\nb=2\r\n"},
        {" a = 1 \r\n", " a = 1 \r\n"},
        {"=5\r\n", "=5\r\n"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.content)));
        clsDealConfigFile fresh(files, boxes);
        files.SetFile(kPath, c.content);
        EXPECT_TRUE(fresh.ReadConfigFile(kPath));
        EXPECT_TRUE(fresh.ReWriteFile(kPath));
        EXPECT_EQ(files.Content(kPath), c.written);
    }
    EXPECT_THAT(boxes.Shown(), IsEmpty());
}

TEST_F(ConfigFileTest, LooksUpValuesIgnoringLetterCase) {
    ASSERT_TRUE(Read("Main.exe=12\r\nspaced = 3\r\nurl=a=b\r\n=no key\r\n"));
    const std::pair<const char*, const char*> lookups[] = {
        {"MAIN.EXE", "12"}, {"main.exe", "12"}, {"spaced", ""}, {"spaced ", " 3"},
        {"url", "a=b"},     {"", "no key"},     {"absent", ""},
    };
    for (const auto& [key, value] : lookups) {
        EXPECT_EQ(config.GetConfigValue(key), value) << key;
    }
}

TEST_F(ConfigFileTest, FailedReadKeepsEarlierEntries) {
    struct Case {
        std::string content;
        std::string reason;
        std::string kept;
    };
    const Case cases[] = {
        {"A=1\r\nb=2\r\na=3\r\nc=4\r\n", kDuplicateKey, "A=1\r\nb=2\r\n"},
        {"A=1\r\n" + std::string(32767, 'k') + "=2\r\nc=3\r\n", "溢出", "A=1\r\n"},
    };
    for (const Case& c : cases) {
        FakeMessageBox box;
        clsDealConfigFile fresh(files, box);
        files.SetFile(kPath, c.content);
        EXPECT_FALSE(fresh.ReadConfigFile(kPath));
        EXPECT_THAT(box.Shown(), ElementsAre(ErrorBox(c.reason)));
        EXPECT_TRUE(fresh.ReWriteFile(kPath));
        EXPECT_EQ(files.Content(kPath), c.kept);
    }
}

TEST_F(ConfigFileTest, EqualsSignMustLieWithinUtf16Limit) {
    struct Case {
        std::string beforeEquals;
        bool overflows;
    };
    const std::string emoji = "\xF0\x9F\x98\x80";
    const Case cases[] = {
        {std::string(32766, 'k'), false},       {std::string(32767, 'k'), true},
        {Repeat("中", 32766), false},           {Repeat("中", 32767), true},
        {Repeat(emoji, 16383), false},          {Repeat(emoji, 16384), true},
        {"#" + std::string(40000, 'k'), false},  // comments are never measured
    };
    for (const Case& c : cases) {
        clsDealConfigFile fresh(files, boxes);
        files.SetFile(kPath, c.beforeEquals + "=1");
        EXPECT_EQ(fresh.ReadConfigFile(kPath), !c.overflows) << c.beforeEquals.size() << " bytes";
    }
    EXPECT_EQ(boxes.Shown(), std::vector<ShownBox>(3, ErrorBox("溢出")));
}

TEST_F(ConfigFileTest, ReportsFilesThatCannotBeRead) {
    EXPECT_FALSE(config.ReadConfigFile(kPath));
    files.SetFile(kPath, "a=1");
    files.HideFile(kPath);
    EXPECT_FALSE(config.ReadConfigFile(kPath));
    FakeFileSystem failing;
    failing.SetFile(kPath, "a=1");
    failing.FailReads("拒绝访问。");
    EXPECT_FALSE(clsDealConfigFile(failing, boxes).ReadConfigFile(kPath));

    const ShownBox missing = ErrorBox("找不到" + kPath + "文件");
    EXPECT_THAT(boxes.Shown(), ElementsAre(missing, missing, ErrorBox("拒绝访问。")));
}

TEST_F(ConfigFileTest, SecondFileAddsUnderTheSameKeyRule) {
    ASSERT_TRUE(Read("a=1\r\n"));
    EXPECT_TRUE(Read("b=2\r\n"));
    EXPECT_FALSE(Read("c=3\r\nA=4\r\n"));
    EXPECT_EQ(Written(), "a=1\r\nb=2\r\nc=3\r\n");
}

TEST_F(ConfigFileTest, SetMovesTheEntryToTheEndInTheCallersSpelling) {
    ASSERT_TRUE(Read("a=1\r\nB = 2\r\nc=3\r\n"));
    config.SetConfigValue("b ", "5");
    config.SetConfigValue("new.ocx", "7");
    config.SetConfigValue("A", "9");
    EXPECT_EQ(config.GetConfigValue("B "), "5");
    EXPECT_EQ(Written(), "c=3\r\nb =5\r\nnew.ocx=7\r\nA=9\r\n");
}

TEST_F(ConfigFileTest, RewriteSwapsInACompleteTemporaryFile) {
    ASSERT_TRUE(Read("# old\r\na=1\r\n"));
    config.SetConfigValue("a", "2");
    ASSERT_TRUE(config.ReWriteFile(kPath));
    EXPECT_THAT(files.Files(), ElementsAre(std::pair(kPath, std::string("a=2\r\n"))));
    const auto& calls = files.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], (FileCall{"WriteTextFile", kTemp, ""}));
    EXPECT_EQ(calls.back(), (FileCall{"ReplaceFile", kPath, kTemp}));
}

TEST_F(ConfigFileTest, FailedRewriteLeavesTheOldFileUntouched) {
    const std::string old = "# versions\r\na=1\nb=2\r\n";
    struct Case {
        void (*makeFail)(FakeFileSystem&);
        const char* reason;
        bool tempRemains;
    };
    const Case cases[] = {
        {[](FakeFileSystem& fs) { fs.FailWritesAfter(4, "磁盘已满。"); }, "磁盘已满。", false},
        {[](FakeFileSystem& fs) { fs.FailReplaces("拒绝访问。"); }, "拒绝访问。", false},
        // A failing clean-up is not reported in place of the real failure.
        {[](FakeFileSystem& fs) {
             fs.FailWritesAfter(4, "磁盘已满。");
             fs.FailDeletes("拒绝访问。");
         },
         "磁盘已满。", true},
    };
    for (const Case& c : cases) {
        FakeFileSystem fs;
        FakeMessageBox box;
        clsDealConfigFile fresh(fs, box);
        fs.SetFile(kPath, old);
        ASSERT_TRUE(fresh.ReadConfigFile(kPath));
        fresh.SetConfigValue("a", "100");
        c.makeFail(fs);

        EXPECT_FALSE(fresh.ReWriteFile(kPath));
        EXPECT_EQ(fs.Content(kPath), old);
        EXPECT_EQ(fs.Content(kTemp).has_value(), c.tempRemains);
        EXPECT_EQ(fs.Calls().back(), (FileCall{"DeleteFile", kTemp, ""}));
        EXPECT_THAT(box.Shown(), ElementsAre(ErrorBox(c.reason)));
    }
}

// A version file that already holds every version is not written again, so
// that a start with nothing to update works where the user may not write.
TEST(ConfigFileUnchanged, IsNotRewrittenButAnyChangeIsAndAnotherFileAlwaysIs) {
    struct Case {
        const char* name;
        const char* content;
        std::function<void(clsDealConfigFile&)> change;
        std::string target;
        bool written;
    };
    const Case cases[] = {
        {"same values", "a=1\r\nb=2\r\n",
         [](clsDealConfigFile& c) { c.SetConfigValue("a", "1"), c.SetConfigValue("b", "2"); }, kPath, false},
        {"a new version", "a=1\r\nb=2\r\n",
         [](clsDealConfigFile& c) { c.SetConfigValue("a", "2"), c.SetConfigValue("b", "2"); }, kPath, true},
        {"order changed", "a=1\r\nb=2\r\n",
         [](clsDealConfigFile& c) { c.SetConfigValue("b", "2"), c.SetConfigValue("a", "1"); }, kPath, true},
        {"comment dropped", "# v\r\na=1\r\n", [](clsDealConfigFile& c) { c.SetConfigValue("a", "1"); }, kPath, true},
        {"lone LF line ends", "a=1\n", [](clsDealConfigFile& c) { c.SetConfigValue("a", "1"); }, kPath, true},
        {"another file", "a=1\r\n", [](clsDealConfigFile& c) { c.SetConfigValue("a", "1"); }, kPath + ".copy", true},
    };
    for (const Case& c : cases) {
        FakeFileSystem fs;
        FakeMessageBox box;
        clsDealConfigFile config(fs, box);
        fs.SetFile(kPath, c.content);
        ASSERT_TRUE(config.ReadConfigFile(kPath)) << c.name;
        c.change(config);
        fs.FailReplaces("拒绝访问。");  // as for a standard user in the program files folder
        EXPECT_EQ(config.ReWriteFile(c.target), !c.written) << c.name;
        EXPECT_EQ(box.Shown().empty(), !c.written) << c.name;
    }
}

TEST(ConfigFileUnchanged, AfterAWriteTheSameContentIsNotWrittenTwice) {
    FakeFileSystem fs;
    FakeMessageBox box;
    clsDealConfigFile config(fs, box);
    fs.SetFile(kPath, "a=1\r\n");
    ASSERT_TRUE(config.ReadConfigFile(kPath));
    config.SetConfigValue("a", "2");
    ASSERT_TRUE(config.ReWriteFile(kPath));
    const std::size_t calls = fs.Calls().size();
    ASSERT_TRUE(config.ReWriteFile(kPath));
    EXPECT_EQ(fs.Calls().size(), calls);
    EXPECT_EQ(fs.Content(kPath), "a=2\r\n");
}

}  // namespace
}  // namespace launcher
