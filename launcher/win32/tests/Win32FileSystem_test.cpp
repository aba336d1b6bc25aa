#include "launcher/win32/Win32FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>
#include <algorithm>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace {

namespace fs = std::filesystem;
using launcher::win::Win32FileSystem;

// Real files in a folder of their own under the temporary folder.
class Win32FileSystemTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("qv-fs-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        for (const auto& entry : fs::directory_iterator(folder_)) {
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(folder_);
    }

    fs::path Native(const std::string& name) const { return folder_ / qv::win::Widen(name); }
    std::string Path(const std::string& name) const { return qv::win::Narrow(Native(name).wstring()); }

    void PutBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(Native(name), std::ios::binary) << bytes;
    }
    std::string Bytes(const std::string& name) const {
        std::ifstream in(Native(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Wine turns file names into the Unix locale's encoding; when LC_ALL names
    // a Linux locale that is not installed, that is ASCII and Chinese names
    // cannot be stored. Windows always can.
    bool WineLacksChineseFileNames() const {
        if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
            return false;
        }
        const qv::win::UniqueHandle probe(CreateFileW((folder_ / L"\x540D").c_str(), GENERIC_WRITE, 0, nullptr,
                                                      CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return !probe;
    }

    Win32FileSystem files_;
    fs::path folder_;
};

TEST_F(Win32FileSystemTest, TextIsAnsiOnDisk) {
    std::string error;
    ASSERT_TRUE(files_.WriteTextFile(Path("FileVersion.cfg"), "错误=5\r\n提示=12\r\n", error)) << error;
    EXPECT_EQ(Bytes("FileVersion.cfg"), "\xB4\xED\xCE\xF3=5\r\n\xCC\xE1\xCA\xBE=12\r\n");

    PutBytes("old.cfg", "\xC7\xEB\xC8\xB7\xC8\xCF=1\r\n");
    std::string text;
    ASSERT_TRUE(files_.ReadTextFile(Path("old.cfg"), text, error)) << error;
    EXPECT_EQ(text, "请确认=1\r\n");
}

TEST_F(Win32FileSystemTest, ChineseFileNamesRoundTrip) {
    if (WineLacksChineseFileNames()) {
        GTEST_SKIP() << "Wine needs an installed UTF-8 Linux locale for LC_ALL to store Chinese file names";
    }
    const std::string name = "版本文件.cfg";
    std::string error;
    ASSERT_TRUE(files_.WriteTextFile(Path(name), "错误=5\r\n", error)) << error;
    EXPECT_TRUE(fs::exists(Native(name)));
    EXPECT_EQ(Bytes(name), "\xB4\xED\xCE\xF3=5\r\n");
    EXPECT_TRUE(files_.FileExists(Path(name)));

    std::string text;
    ASSERT_TRUE(files_.ReadTextFile(Path(name), text, error)) << error;
    EXPECT_EQ(text, "错误=5\r\n");

    ASSERT_TRUE(files_.WriteTextFile(Path("新.tmp"), "提示=1", error)) << error;
    ASSERT_TRUE(files_.ReplaceFile(Path(name), Path("新.tmp"), error)) << error;
    EXPECT_EQ(Bytes(name), "\xCC\xE1\xCA\xBE=1");
    EXPECT_FALSE(fs::exists(Native("新.tmp")));

    ASSERT_TRUE(files_.DeleteFile(Path(name), error)) << error;
    EXPECT_FALSE(fs::exists(Native(name)));
}

TEST_F(Win32FileSystemTest, WritingCutsALongerFileAndEmptyTextLeavesAnEmptyFile) {
    std::string error;
    PutBytes("a.cfg", "a much longer old content\r\n");
    ASSERT_TRUE(files_.WriteTextFile(Path("a.cfg"), "x=1", error)) << error;
    EXPECT_EQ(Bytes("a.cfg"), "x=1");
    ASSERT_TRUE(files_.WriteTextFile(Path("a.cfg"), "", error)) << error;
    EXPECT_TRUE(files_.FileExists(Path("a.cfg")));
    EXPECT_EQ(Bytes("a.cfg"), "");
}

TEST_F(Win32FileSystemTest, OnlyVisibleNormalFilesExist) {
    struct Case {
        const char* name;
        DWORD attributes;
        bool exists;
    };
    const Case cases[] = {
        {"normal.dll", FILE_ATTRIBUTE_NORMAL, true},
        {"readonly.dll", FILE_ATTRIBUTE_READONLY, true},
        {"archive.dll", FILE_ATTRIBUTE_ARCHIVE, true},
        {"hidden.dll", FILE_ATTRIBUTE_HIDDEN, false},
        {"system.dll", FILE_ATTRIBUTE_SYSTEM, false},
        {"both.dll", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
    };
    for (const Case& c : cases) {
        PutBytes(c.name, "MZ");
        ASSERT_TRUE(SetFileAttributesW(Native(c.name).c_str(), c.attributes)) << c.name;
        const DWORD asked = c.attributes & ~DWORD{FILE_ATTRIBUTE_NORMAL};  // NORMAL reads back as ARCHIVE
        ASSERT_EQ(GetFileAttributesW(Native(c.name).c_str()) & asked, asked) << c.name;
        EXPECT_EQ(files_.FileExists(Path(c.name)), c.exists) << c.name;
    }
    fs::create_directory(Native("Tools"));
    EXPECT_FALSE(files_.FileExists(Path("Tools")));
    EXPECT_FALSE(files_.FileExists(Path("missing.dll")));
    EXPECT_FALSE(files_.FileExists(""));
}

TEST_F(Win32FileSystemTest, ReplacePutsTheReplacementInPlace) {
    std::string error;
    PutBytes("FileVersion.cfg", "old");
    PutBytes("FileVersion.tmp", "new");
    ASSERT_TRUE(files_.ReplaceFile(Path("FileVersion.cfg"), Path("FileVersion.tmp"), error)) << error;
    EXPECT_EQ(Bytes("FileVersion.cfg"), "new");
    EXPECT_FALSE(fs::exists(Native("FileVersion.tmp")));

    PutBytes("update.tmp", "first");
    ASSERT_TRUE(files_.ReplaceFile(Path("absent.cfg"), Path("update.tmp"), error)) << error;
    EXPECT_EQ(Bytes("absent.cfg"), "first");
    EXPECT_FALSE(fs::exists(Native("update.tmp")));
}

TEST_F(Win32FileSystemTest, DeleteRemovesTheFile) {
    std::string error;
    PutBytes("quorvel.exe", "MZ");
    ASSERT_TRUE(files_.DeleteFile(Path("quorvel.exe"), error)) << error;
    EXPECT_FALSE(fs::exists(Native("quorvel.exe")));
    EXPECT_EQ(error, "");
}

TEST_F(Win32FileSystemTest, StagingFoldersAreMadeListedAndRemovedWithEverythingInThem) {
    std::string error;
    ASSERT_TRUE(files_.CreateFolder(Path(".update"), error)) << error;
    ASSERT_TRUE(files_.CreateFolder(Path(".update"), error)) << "one that exists is fine";
    ASSERT_TRUE(files_.CreateFolder(Path(".update\\1"), error)) << error;
    PutBytes(".update\\1\\a.dll", "12345");
    PutBytes(".update\\journal", "j");
    SetFileAttributesW(Native(".update\\journal").c_str(), FILE_ATTRIBUTE_READONLY);

    auto names = files_.ListFolder(Path(".update"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"1", "journal"}));
    EXPECT_EQ(files_.FileSize(Path(".update\\1\\a.dll")), 5);
    EXPECT_EQ(files_.FileSize(Path(".update\\1")), -1) << "a folder has no size";
    EXPECT_EQ(files_.FileSize(Path("missing")), -1);
    EXPECT_TRUE(files_.FolderExists(Path(".update\\1")));

    ASSERT_TRUE(files_.RemoveFolderTree(Path(".update"), error)) << error;
    EXPECT_FALSE(fs::exists(Native(".update")));
    EXPECT_TRUE(files_.RemoveFolderTree(Path(".update"), error)) << "nothing left to remove";
}

TEST_F(Win32FileSystemTest, MovesReplaceCopiesKeepAndBytesAreReadWhole) {
    std::string error;
    PutBytes("new.dll", "new");
    PutBytes("old.dll", "old");
    ASSERT_TRUE(files_.CopyFile(Path("old.dll"), Path("aside.dll"), error)) << error;
    ASSERT_TRUE(files_.MoveFile(Path("new.dll"), Path("old.dll"), error)) << error;
    EXPECT_EQ(Bytes("old.dll"), "new");
    EXPECT_EQ(Bytes("aside.dll"), "old");
    EXPECT_FALSE(fs::exists(Native("new.dll")));
    EXPECT_FALSE(files_.MoveFile(Path("new.dll"), Path("x.dll"), error));

    std::string big(200000, 'b');
    PutBytes("big", big);
    std::string read;
    ASSERT_TRUE(files_.ReadFileBytes(
        Path("big"), [&](const char* data, std::size_t size) { read.append(data, size); }, error));
    EXPECT_EQ(read, big);
}

TEST_F(Win32FileSystemTest, AFileHeldOpenForAMomentIsWaitedForAndOneHeldLongerFails) {
    PutBytes("held.dll", "old");
    PutBytes("new.dll", "new");
    auto hold = [&](DWORD milliseconds) {
        qv::win::UniqueHandle file(CreateFileW(Native("held.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file);
        return std::thread([file = std::move(file), milliseconds]() mutable {
            Sleep(milliseconds);
            file.Reset();
        });
    };
    std::string error;
    std::thread briefly = hold(800);
    EXPECT_TRUE(files_.MoveFile(Path("held.dll"), Path("aside.dll"), error)) << error;
    briefly.join();

    PutBytes("held.dll", "old");
    std::thread long_ = hold(8000);
    EXPECT_FALSE(files_.MoveFile(Path("new.dll"), Path("held.dll"), error));
    // Windows answers a target held open with "access denied", a source with "sharing violation".
    EXPECT_TRUE(error == qv::win::LastErrorText(ERROR_SHARING_VIOLATION) ||
                error == qv::win::LastErrorText(ERROR_ACCESS_DENIED))
        << error;
    long_.join();
    EXPECT_EQ(Bytes("held.dll"), "old");
}

TEST_F(Win32FileSystemTest, AWritableFolderIsSaidSoAndKeepsNoProbe) {
    EXPECT_TRUE(files_.CanWriteFolder(qv::win::Narrow(folder_.wstring())));
    EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(Win32FileSystemTest, FailuresCarryTheSystemsDescription) {
    const std::string notFound = qv::win::LastErrorText(ERROR_FILE_NOT_FOUND);
    const std::string pathNotFound = qv::win::LastErrorText(ERROR_PATH_NOT_FOUND);
    std::string error;
    std::string text = "unchanged";

    EXPECT_FALSE(files_.DeleteFile(Path("missing.exe"), error));
    EXPECT_EQ(error, notFound);

    error.clear();
    EXPECT_FALSE(files_.ReadTextFile(Path("missing.cfg"), text, error));
    EXPECT_EQ(error, notFound);
    EXPECT_EQ(text, "unchanged");

    error.clear();
    EXPECT_FALSE(files_.WriteTextFile(Path("no such folder\\a.cfg"), "x=1", error));
    EXPECT_EQ(error, pathNotFound);

    error.clear();
    EXPECT_FALSE(files_.ReplaceFile(Path("a.cfg"), Path("missing.tmp"), error));
    EXPECT_EQ(error, notFound);
}

}  // namespace
