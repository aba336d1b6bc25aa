#include "InstallFolderRule.h"

#include <gtest/gtest.h>

namespace packaging {
namespace {

const ProtectedFolders kSchoolPc{{"C:\\Program Files", "C:\\Program Files (x86)", "C:\\Program Files\\Common Files",
                                  "C:\\ProgramData", "C:\\Users\\Public", "C:\\Users\\Default"},
                                 {"C:\\Windows"}};

TEST(InstallFolderRule, NormalisesSeparatorsDotsAndTrailingSeparators) {
    EXPECT_EQ(NormaliseAbsoluteFolder("C:\\Program Files\\Quorvel\\"), "C:\\Program Files\\Quorvel");
    EXPECT_EQ(NormaliseAbsoluteFolder("C:\\Program Files\\Quorvel\\."), "C:\\Program Files\\Quorvel");
    EXPECT_EQ(NormaliseAbsoluteFolder("d:/school//Quorvel/./"), "d:\\school\\Quorvel");
    EXPECT_EQ(NormaliseAbsoluteFolder("\\\\server\\apps\\Quorvel\\"), "\\\\server\\apps\\Quorvel");
    EXPECT_EQ(NormaliseAbsoluteFolder("C:\\"), "C:\\");
    EXPECT_EQ(NormaliseAbsoluteFolder("C:\\."), "C:\\");
    for (const char* bad : {"", ".", "\\", "Quorvel", "C:", "C:Quorvel", "\\Quorvel", "C:\\a\\..\\..",
                            "C:\\Quorvel\\..", "\\\\?\\C:\\Quorvel", "\\\\server"}) {
        EXPECT_EQ(NormaliseAbsoluteFolder(bad), std::nullopt) << bad;
    }
}

TEST(InstallFolderRule, AnInstallationFolderAnywhereButInTheSystemsOwnMayGo) {
    for (const char* folder : {"C:\\Program Files\\Quorvel\\", "C:\\Program Files (x86)\\Quorvel\\.", "D:\\Quorvel",
                               "\\\\server\\apps\\Quorvel", "C:\\Users\\Public\\Quorvel", "C:\\Windowsville\\Quorvel",
                               "C:\\Program Files (x86)\\Common Files\\Quorvel"}) {
        EXPECT_EQ(JudgeInstallFolder(folder, kSchoolPc), FolderVerdict::Removable) << folder;
    }
}

TEST(InstallFolderRule, ABrokenFolderNeverReachesADiskOrTheSystemsFolders) {
    const struct {
        const char* folder;
        FolderVerdict verdict;
    } cases[] = {
        {"", FolderVerdict::NotAbsolute},
        {"Quorvel\\", FolderVerdict::NotAbsolute},
        {"C:\\Program Files\\Quorvel\\..\\", FolderVerdict::NotAbsolute},
        {"C:\\", FolderVerdict::Root},
        {"c:/", FolderVerdict::Root},
        {"E:\\.\\", FolderVerdict::Root},
        {"\\\\server\\apps\\", FolderVerdict::Root},
        {"C:\\Program Files\\", FolderVerdict::ProtectedFolder},
        {"c:\\PROGRAM FILES (X86)", FolderVerdict::ProtectedFolder},
        {"C:\\ProgramData\\.", FolderVerdict::ProtectedFolder},
        {"C:\\Windows\\", FolderVerdict::ProtectedFolder},
        {"C:\\Users", FolderVerdict::HoldsProtectedFolder},
        {"C:\\Windows\\System32\\", FolderVerdict::InsideSystemFolder},
        {"C:\\windows\\Temp\\Quorvel", FolderVerdict::InsideSystemFolder},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(JudgeInstallFolder(each.folder, kSchoolPc), each.verdict) << each.folder;
    }
}

TEST(InstallFolderRule, AProtectedListItCannotReadProtectsNothingButTheRestStill) {
    const ProtectedFolders folders{{"", "relative", "C:\\Program Files"}, {}};
    EXPECT_EQ(JudgeInstallFolder("C:\\Program Files", folders), FolderVerdict::ProtectedFolder);
    EXPECT_EQ(JudgeInstallFolder("C:\\Quorvel", folders), FolderVerdict::Removable);
}

}  // namespace
}  // namespace packaging
