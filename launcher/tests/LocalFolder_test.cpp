#include "launcher/LocalFolder.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/tests/support/FakeSystemInfo.h"

namespace launcher {
namespace {

TEST(LocalFolder, ResolvesPlaceholdersAndCutsAfterTheLastSeparator) {
    struct Case {
        std::string launcherFolder;
        std::string filePath;
        std::string folder;
    };
    const Case cases[] = {
        {"C:\\Quorvel", "[CUR_PATH]", "C:\\Quorvel\\"},
        {"C:\\Quorvel", "[CUR_PATH]Tools", "C:\\Quorvel\\Tools\\"},
        {"C:\\", "[CUR_PATH]Tools", "C:\\\\Tools\\"},  // launcher at a drive root: doubled separator
        {"C:\\Quorvel", "[CUR_PATH]a\\[CUR_PATH]", "C:\\Quorvel\\a\\C:\\Quorvel\\"},
        {"C:\\Quorvel", "[CUR_PATH][SYS_PATH]", "C:\\Quorvel\\[SYS_PATH]\\"},
        {"C:\\Quorvel", "[SYS_PATH]", "C:\\WINDOWS\\system32\\"},
        {"C:\\Quorvel", "[SYS_PATH]drivers", "C:\\WINDOWS\\system32\\drivers\\"},
        {"C:\\Quorvel", "[cur_path]x", "\\"},  // placeholders match case-sensitively
        {"C:\\Quorvel", "D:\\School\\Bin", "D:\\School\\"},
        {"C:\\Quorvel", "D:\\School\\Bin\\", "D:\\School\\Bin\\"},
        {"C:\\Quorvel", "D:School", "\\"},
        {"C:\\Quorvel", "", "\\"},
        {"C:\\学校", "[CUR_PATH]程序", "C:\\学校\\程序\\"},
    };
    for (const Case& c : cases) {
        FakeSystemInfo system;
        clsProgramFile file;
        file.cFilePath = c.filePath;
        EXPECT_EQ(LocalFolder(file, c.launcherFolder, system), c.folder) << c.filePath;
        const bool asksSystem =
            c.filePath.find("[SYS_PATH]") != std::string::npos && c.filePath.find("[CUR_PATH]") == std::string::npos;
        EXPECT_EQ(system.Calls(), asksSystem ? 1 : 0) << c.filePath;
    }
}

TEST(LocalFolder, LocalFileAppendsTheName) {
    FakeSystemInfo system;
    clsProgramFile file;
    file.cFilePath = "[CUR_PATH]";
    file.cFileName = "quorvel.exe";
    EXPECT_EQ(LocalFile(file, "C:\\Quorvel", system), "C:\\Quorvel\\quorvel.exe");
}

}  // namespace
}  // namespace launcher
