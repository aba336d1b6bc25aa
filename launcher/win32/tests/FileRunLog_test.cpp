#include "launcher/win32/FileRunLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/win32/WindowsApi.h"

namespace {

namespace fs = std::filesystem;
using launcher::win::FileRunLog;

class FileRunLogTest : public testing::Test {
protected:
    void SetUp() override {
        parent_ = fs::temp_directory_path() / ("qv-runlog-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(parent_);
        fs::create_directories(parent_);
        folder_ = parent_ / L"Quorvel";
    }
    void TearDown() override { fs::remove_all(parent_); }

    std::string Read(const wchar_t* name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static int Lines(const std::string& text) {
        int lines = 0;
        for (const char c : text) lines += c == '\n';
        return lines;
    }

    fs::path parent_;
    fs::path folder_;
};

TEST_F(FileRunLogTest, MakesItsFolderAndAppendsUtf8LinesWithTimeAndProcessId) {
    {
        FileRunLog log(folder_.wstring());
        log.Write("设置 from file");
    }
    FileRunLog again(folder_.wstring());
    again.Conceal("salt.x");
    again.Write("second run salt.x\r\nforged line");

    const std::string text = Read(L"startqvl.log");
    ASSERT_EQ(Lines(text), 2) << text;
    const std::string pid = "[" + std::to_string(GetCurrentProcessId()) + "] ";
    EXPECT_NE(text.find(pid + "设置 from file\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(pid + "second run ***\\r\\nforged line\r\n"), std::string::npos) << text;
    EXPECT_EQ(text[4], '-');
    EXPECT_EQ(text.find("salt.x"), std::string::npos);
}

TEST_F(FileRunLogTest, BeyondTheLimitTheFileBecomesTheOlderOneAndTwoFilesAtMostRemain) {
    const std::string event(60, 'e');
    FileRunLog log(folder_.wstring(), 1000);
    for (int i = 0; i < 40; ++i) log.Write(event + std::to_string(i));

    const std::string current = Read(L"startqvl.log");
    const std::string older = Read(L"startqvl.1.log");
    EXPECT_LE(current.size(), 1000u);
    EXPECT_LE(older.size(), 1000u);
    EXPECT_GT(older.size(), 900u);
    const int first = 40 - Lines(current);  // the current file's first line
    EXPECT_NE(current.find(event + std::to_string(first) + "\r\n"), std::string::npos) << current;
    EXPECT_NE(current.find(event + "39\r\n"), std::string::npos);
    EXPECT_NE(older.find(event + std::to_string(first - 1) + "\r\n"), std::string::npos) << older;
    EXPECT_EQ(older.find(event + "0\r\n"), std::string::npos);  // the oldest lines are gone
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) files += entry.is_regular_file();
    EXPECT_EQ(files, 2);
}

TEST_F(FileRunLogTest, SeveralEventsAtOnceLandInOrderAndMoveTheFullFileAsideWhole) {
    FileRunLog log(folder_.wstring(), 1000);
    log.Conceal("salt.x");
    log.Write(std::string(700, 'a'));
    log.WriteAll({"first salt.x", "second\r\nforged", std::string(300, 'b')});

    const std::string current = Read(L"startqvl.log");
    const std::string older = Read(L"startqvl.1.log");
    // The batch would have crossed the limit, so it starts the new file whole.
    EXPECT_EQ(Lines(older), 1);
    EXPECT_EQ(Lines(current), 3);
    const auto first = current.find("] first ***\r\n");
    const auto second = current.find("] second\\r\\nforged\r\n");
    ASSERT_NE(first, std::string::npos) << current;
    ASSERT_NE(second, std::string::npos) << current;
    EXPECT_LT(first, second);
    EXPECT_NE(current.find(std::string(300, 'b') + "\r\n"), std::string::npos);
}

TEST_F(FileRunLogTest, AFolderThatCannotBeMadeOrAFileThatCannotBeOpenedWritesNothingAndFailsNothing) {
    std::ofstream(folder_) << "a file where the folder belongs";
    FileRunLog blocked(folder_.wstring());
    blocked.Write("lost");
    EXPECT_TRUE(fs::is_regular_file(folder_));

    fs::remove(folder_);
    fs::create_directories(folder_ / L"startqvl.log");
    FileRunLog taken(folder_.wstring());
    for (int i = 0; i < 3; ++i) taken.Write("lost");
    EXPECT_TRUE(fs::is_directory(folder_ / L"startqvl.log"));

    FileRunLog nowhere(L"");
    nowhere.Write("lost");
}

}  // namespace
