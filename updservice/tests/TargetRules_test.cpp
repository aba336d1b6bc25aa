#include "updservice/TargetRules.h"

#include <gtest/gtest.h>

#include "launcher/tests/support/FakeSystemInfo.h"

namespace updservice {
namespace {

launcher::clsProgramFile Entry(std::string path, std::string name = "a.dll") {
    launcher::clsProgramFile entry;
    entry.cFileName = std::move(name);
    entry.cFilePath = std::move(path);
    return entry;
}

const std::string kInstall = "C:\\Program Files (x86)\\Quorvel";

TEST(RefuseTarget, InsideTheInstallationOrTheSystemFolderItself) {
    launcher::FakeSystemInfo system("C:\\windows\\system32");
    const char* allowed[] = {
        "[CUR_PATH]",
        "[CUR_PATH]a.dll",
        "[CUR_PATH]Tools\\",
        "[CUR_PATH]Tools/sub/",
        "c:\\program files (x86)\\QUORVEL\\x.dll",
        "C:\\Program Files (x86)\\Quorvel\\Tools\\Arj32.exe",
        "[SYS_PATH]",
    };
    for (const char* path : allowed) {
        const auto refusal = RefuseTarget(Entry(path), kInstall, system);
        EXPECT_FALSE(refusal.has_value()) << path << ": " << refusal.value_or("");
    }
}

TEST(RefuseTarget, EverythingElseIsRefusedWithTheFolderNamed) {
    launcher::FakeSystemInfo system("C:\\windows\\system32");
    const std::pair<const char*, const char*> refused[] = {
        {"C:\\Program Files (x86)\\Quorvel2\\x.dll", "不在安装文件夹"},
        {"C:\\Program Files (x86)\\x.dll", "不在安装文件夹"},
        {"C:\\windows\\system32\\x.dll", "不在安装文件夹"},  // the system folder only through [SYS_PATH]
        {"[CUR_PATH]..\\x.dll", "“..”"},
        {"[CUR_PATH]Tools\\..\\..\\Evil\\", "“..”"},
        {"[SYS_PATH]drivers\\", "不是系统文件夹本身"},
        {"[SYS_PATH]x.dll", "不是系统文件夹本身"},  // the placeholder keeps the whole path as its folder
        {"[CUR_PATH]/Tools", "空的部分"},
        {"[SYS_PATH]..\\", "“..”"},
        {"\\\\server\\share\\x.dll", "UNC"},
        {"x.dll", "盘符"},
        {"", "盘符"},
        {"Tools\\x.dll", "盘符"},
        {"D:\\Quorvel\\x.dll", "不在安装文件夹"},
    };
    for (const auto& [path, reasonPart] : refused) {
        const auto refusal = RefuseTarget(Entry(path), kInstall, system);
        ASSERT_TRUE(refusal.has_value()) << path;
        EXPECT_NE(refusal->find(reasonPart), std::string::npos) << path << ": " << *refusal;
        EXPECT_NE(refusal->find("a.dll"), std::string::npos) << *refusal;
    }
}

TEST(RefuseTarget, FileNamesWithFolderPartsAreRefusedWhereverTheyGo) {
    launcher::FakeSystemInfo system;
    for (const char* name : {"..\\x.dll", "sub/x.dll", "..", "", "nul"}) {
        EXPECT_TRUE(RefuseTarget(Entry("[CUR_PATH]", name), kInstall, system).has_value()) << name;
    }
}

TEST(RefuseTarget, AnUnusableSystemFolderAllowsNoSystemEntry) {
    launcher::FakeSystemInfo system("");
    EXPECT_TRUE(RefuseTarget(Entry("[SYS_PATH]"), kInstall, system).has_value());
}

}  // namespace
}  // namespace updservice
