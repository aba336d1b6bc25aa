#include "updservice/PathRules.h"

#include <gtest/gtest.h>

#include <string>

namespace updservice {
namespace {

TEST(CheckInstallFolder, LocalDriveFoldersComeBackWithBackslashesAndNoTrailingOne) {
    const std::pair<const char*, const char*> accepted[] = {
        {"C:\\Program Files (x86)\\Quorvel", "C:\\Program Files (x86)\\Quorvel"},
        {"C:\\Quorvel\\", "C:\\Quorvel"},
        {"C:\\Quorvel\\\\", "C:\\Quorvel"},
        {"d:/Schule/Quorvel/", "d:\\Schule\\Quorvel"},
        {"C:\\学校\\Quorvel Client", "C:\\学校\\Quorvel Client"},
        {"C:\\.hidden\\a.b", "C:\\.hidden\\a.b"},
        {"C:\\CONFIG\\COM10", "C:\\CONFIG\\COM10"},
    };
    for (const auto& [text, folder] : accepted) {
        const PathCheck check = CheckInstallFolder(text);
        ASSERT_TRUE(check.path.has_value()) << text << ": " << check.reason;
        EXPECT_EQ(*check.path, folder);
    }
}

TEST(CheckInstallFolder, RefusesEveryOtherFormWithItsReason) {
    const std::pair<const char*, const char*> refused[] = {
        {"\\\\server\\share\\Quorvel", "UNC"},
        {"//server/share/Quorvel", "UNC"},
        {"\\\\?\\C:\\Quorvel", "UNC"},
        {"\\\\.\\C:\\Quorvel", "UNC"},
        {"\\\\.\\pipe\\qvlUpdateService", "UNC"},
        {"Quorvel", "盘符"},
        {"..\\Quorvel", "盘符"},
        {"\\Quorvel", "盘符"},
        {"C:Quorvel", "盘符"},
        {"C:", "盘符"},
        {"1:\\Quorvel", "盘符"},
        {"", "盘符"},
        {"C:\\", "根目录"},
        {"c:/", "根目录"},
        {"C:\\Quorvel\\..\\Windows", "“..”"},
        {"C:\\Quorvel\\.\\bin", "“.”"},
        {"C:\\..", "“..”"},
        {"C:\\Quorvel\\\\bin", "空的部分"},
        {"C:\\Quorvel\\a:b", "不允许的字符"},
        {"C:\\Quor*vel", "不允许的字符"},
        {"C:\\Quorvel\\a?", "不允许的字符"},
        {"C:\\Quorvel\\a\tb", "不允许的字符"},
        {"C:\\Quorvel\\\"x\"", "不允许的字符"},
        {"C:\\Quorvel.", "以点或空格结尾"},
        {"C:\\Quorvel \\bin", "以点或空格结尾"},
        {"C:\\Quorvel\\NUL", "设备名"},
        {"C:\\Quorvel\\con.txt", "设备名"},
        {"C:\\Quorvel\\lpt1", "设备名"},
    };
    for (const auto& [text, reasonPart] : refused) {
        const PathCheck check = CheckInstallFolder(text);
        EXPECT_FALSE(check.path.has_value()) << text;
        EXPECT_NE(check.reason.find(reasonPart), std::string::npos) << text << ": " << check.reason;
        EXPECT_NE(check.reason.find(text), std::string::npos) << "the reason names the path: " << check.reason;
    }
}

TEST(IsSameOrInside, ComparesWholePartsWithoutLetterCase) {
    struct Case {
        const char* path;
        const char* folder;
        bool inside;
    };
    const Case cases[] = {
        {"C:\\Quorvel", "C:\\Quorvel", true},
        {"C:\\Quorvel\\Tools", "C:\\Quorvel", true},
        {"c:\\QUORVEL\\tools", "C:\\Quorvel", true},
        {"C:\\Quorvel2", "C:\\Quorvel", false},
        {"C:\\Quorvel2\\Tools", "C:\\Quorvel", false},
        {"C:\\Quorve", "C:\\Quorvel", false},
        {"D:\\Quorvel", "C:\\Quorvel", false},
        {"C:\\", "C:\\Quorvel", false},
        {"C:\\Windows", "C:\\", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSameOrInside(c.path, c.folder), c.inside) << c.path << " in " << c.folder;
}

TEST(IsSameFolder, OnlyTheSameLocalFolderInAnySpelling) {
    const struct {
        const char* first;
        const char* second;
        bool same;
    } cases[] = {
        {"C:\\Program Files (x86)\\Quorvel\\", "c:/program files (x86)/QUORVEL", true},
        {"C:\\Quorvel", "C:\\Quorvel", true},
        {"C:\\Quorvel2", "C:\\Quorvel", false},
        {"C:\\Quorvel\\lib", "C:\\Quorvel", false},
        {"C:\\Quorvel", "D:\\Quorvel", false},
        {"C:\\Quorvel\\..\\Quorvel", "C:\\Quorvel", false},
        {"\\\\server\\Quorvel", "\\\\server\\Quorvel", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSameFolder(c.first, c.second), c.same) << c.first << " / " << c.second;
        EXPECT_EQ(IsSameFolder(c.second, c.first), c.same) << c.second << " / " << c.first;
    }
}

TEST(RefuseFileName, OnePlainPartOnly) {
    for (const char* name : {"Lumen_Control.ocx", "quorvel.exe", "升级.dll", ".profile"}) {
        EXPECT_FALSE(RefuseFileName(name).has_value()) << name;
    }
    for (const char* name : {"", ".", "..", "a\\b.dll", "../x.dll", "x.dll:stream", "nul", "x.dll."}) {
        EXPECT_TRUE(RefuseFileName(name).has_value()) << name;
    }
}

}  // namespace
}  // namespace updservice
