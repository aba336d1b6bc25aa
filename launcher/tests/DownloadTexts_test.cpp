#include "launcher/DownloadTexts.h"

#include <gtest/gtest.h>

#include "launcher/tests/support/FakeDownload.h"
#include "launcher/tests/support/FakeMessageBox.h"
#include "launcher/tests/support/FakeWindows.h"
#include "launcher/modCompressFile.h"

namespace launcher {
namespace {

TEST(DownloadTextsTest, FileLineShowsAtMostTheLastEightCharacters) {
    EXPECT_EQ(FileLine(2, 3, "a.dll"), "正在升级第 2/3 个文件（***a.dll)...");
    EXPECT_EQ(FileLine(12, 400, "Lumen_Control.ocx"), "正在升级第 12/400 个文件（***trol.ocx)...");
    EXPECT_EQ(FileLine(1, 1, "学生档案管理模块主程序.exe"), "正在升级第 1/1 个文件（***块主程序.exe)...");
}

TEST(DownloadTextsTest, SpeedAbove1024IsTheRoundedLeadingNumber) {
    FakeSizeFormatter sizes;
    const struct {
        std::int32_t speed;
        const char* text;
    } cases[] = {{0, "0 B"}, {1023, "1023 B"}, {1024, "1.0 KB"}, {1025, "1"}, {12595, "12"}, {2560, "2"}, {3584, "4"}};
    for (const auto& c : cases) EXPECT_EQ(FormatSpeed(c.speed, sizes), c.text) << c.speed;
    EXPECT_EQ(SpeedLine(12595, 12595, sizes), "已下载 12.3 KB；12KB /秒");
}

TEST(DownloadTextsTest, PercentRoundsHalvesToEven) {
    EXPECT_EQ(FilePercent(1, 200), 0);  // 0.5
    EXPECT_EQ(FilePercent(3, 200), 2);  // 1.5
    EXPECT_EQ(FilePercent(4096, 10000), 41);
    EXPECT_EQ(FilePercent(10000, 10000), 100);
}

struct ArchiverCase {
    const char* name;
    std::string folder;
    std::string runFailure;
    std::uint32_t exitCode;
    bool leavesFile;
    std::string box;  // empty: unpacked
};

class UnCompressFileTest : public ::testing::TestWithParam<ArchiverCase> {};

TEST_P(UnCompressFileTest, CountsOnlyAnArchiverThatEndedWellAndLeftTheFile) {
    const ArchiverCase& c = GetParam();
    EventLog log;
    WaitWindowState state;
    FakeWaitWindow wait{state, log};
    FakeMessageBox boxes;
    FakeFileSystem files;
    FakeInstallProcesses runner;
    runner.runFailure = c.runFailure;
    runner.exitCode = [&c](const std::string&) { return c.exitCode; };
    runner.onRun = [&](const std::string&) {
        if (c.leavesFile) files.SetFile("C:\\Q Q\\a.ocx", "MZ");
    };
    wait.ShowForm("x");

    const bool unpacked = UnCompressFile("C:\\Q Q\\Tools\\Arj32.exe", "C:\\Q Q\\a.ocx.comps", c.folder,
                                         "C:\\Q Q\\a.ocx", files, runner, wait, boxes);

    EXPECT_EQ(unpacked, c.box.empty());
    if (c.box.empty()) {
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(runner.windows, std::vector<HelperWindow>{HelperWindow::MinimisedNoFocus});
        return;
    }
    EXPECT_FALSE(state.shown);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0], (ShownBox{c.box + "\r\n文件解除压缩时发生错误！", "错误", 0x1010}));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, UnCompressFileTest,
    ::testing::Values(ArchiverCase{"Clean", "C:\\Q Q\\", "", 0, true, ""},
                      ArchiverCase{"Warning", "C:\\Q Q\\", "", 1, true, ""},
                      ArchiverCase{"Error", "C:\\Q Q\\", "", 2, true, "解压程序的退出代码为 2。"},
                      ArchiverCase{"Crashed", "C:\\Q Q\\", "", 0xC0000005u, true, "解压程序的退出代码为 3221225477。"},
                      ArchiverCase{"FileMissing", "C:\\Q Q\\", "", 0, false, "解压后没有找到文件 C:\\Q Q\\a.ocx。"},
                      ArchiverCase{"NotStarted", "C:\\Q Q\\", "系统找不到指定的文件。", 0, true,
                                   "系统找不到指定的文件。"},
                      ArchiverCase{"FolderWithoutBackslash", "C:\\Q", "", 0, true,
                                   "目标文件应该只包含文件路径，不包含文件名且最后以符号 \\ 结尾"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UnCompressFileCommandTest, BuildsTheSixPieceCommandLine) {
    EXPECT_EQ(ArchiverCommandLine("C:\\Q Q\\Tools\\Arj32.exe", "C:\\Q Q\\a.ocx.comps", "C:\\Q Q\\"),
              "\"C:\\Q Q\\Tools\\Arj32.exe\" e \"C:\\Q Q\\a.ocx.comps\" -y \"C:\\Q Q\\ \"");
}

}  // namespace
}  // namespace launcher
