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

struct FakeRunner : IInstallProcesses {
    bool RunMinimisedAndWait(const std::string& commandLine, std::string& error) override {
        run.push_back(commandLine);
        error = failure;
        return failure.empty();
    }
    void StartMinimised(const std::string&) override {}
    std::vector<std::string> run;
    std::string failure;
};

TEST(UnCompressFileTest, BuildsTheSixPieceCommandLineAndRejectsAFolderWithoutTheFinalBackslash) {
    EventLog log;
    WaitWindowState state;
    FakeWaitWindow wait{state, log};
    FakeMessageBox boxes;
    FakeRunner runner;

    EXPECT_TRUE(UnCompressFile("C:\\Q Q\\Tools\\Arj32.exe", "C:\\Q Q\\a.ocx.comps", "C:\\Q Q\\", runner, wait, boxes));
    EXPECT_EQ(runner.run,
              std::vector<std::string>{"\"C:\\Q Q\\Tools\\Arj32.exe\" e \"C:\\Q Q\\a.ocx.comps\" -y \"C:\\Q Q\\ \""});

    wait.ShowForm("x");
    EXPECT_FALSE(UnCompressFile("A.exe", "b.comps", "C:\\Q", runner, wait, boxes));
    EXPECT_EQ(runner.run.size(), 1u);
    EXPECT_FALSE(state.shown);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0],
              (ShownBox{"目标文件应该只包含文件路径，不包含文件名且最后以符号 \\ 结尾\r\n文件解除压缩时发生错误！",
                        "错误", 0x1010}));
}

}  // namespace
}  // namespace launcher
