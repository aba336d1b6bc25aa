#include "launcher/InstallSwitch.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "launcher/tests/support/FakeDownload.h"
#include "launcher/tests/support/FakeFileSystem.h"

namespace launcher {
namespace {

constexpr const char* kFolder = "C:\\Quorvel";
const std::string kVersionFile = std::string(kFolder) + "\\FileVersion.cfg";
const std::string kSystem = "C:\\Windows\\System32";

// Thrown by the fake file system where the launcher is killed.
struct Killed {};

// Three staged files: a registered library replacing an old one, a new file in
// the system folder, a program replacing an old one.
class InstallSwitchTest : public ::testing::Test {
protected:
    FakeFileSystem files;
    FakeInstallProcesses processes;
    StagingLayout staging{kFolder};
    std::vector<SwitchStep> steps{{1, std::string(kFolder) + "\\Lumen.ocx", true, false},
                                  {2, kSystem + "\\qvl.dll", true, false},
                                  {3, std::string(kFolder) + "\\quorvel.exe", false, false}};

    void SetUp() override {
        files.SetFile(kVersionFile, "old versions");
        files.SetFile(std::string(kFolder) + "\\Lumen.ocx", "old ocx");
        files.SetFile(std::string(kFolder) + "\\quorvel.exe", "old exe");
        files.CreateFolder(staging.Root(), ignored_);
        for (const auto& step : steps) {
            files.SetFile(staging.Unpacked(step.nPosition, FileNameOf(step.strTarget)),
                          "new " + FileNameOf(step.strTarget));
        }
    }

    InstallSwitch Switch() { return InstallSwitch(kFolder, kVersionFile, files, processes); }

    std::map<std::string, std::string> Installed() const {
        std::map<std::string, std::string> installed;
        for (const auto& [path, content] : files.Files()) {
            // A version file cut off while written beside the real one is litter, not the installation.
            if (!path.starts_with(staging.Root()) && !path.ends_with(".tmp")) installed[path] = content;
        }
        return installed;
    }
    static std::map<std::string, std::string> Old() {
        return {{kVersionFile, "old versions"},
                {std::string(kFolder) + "\\Lumen.ocx", "old ocx"},
                {std::string(kFolder) + "\\quorvel.exe", "old exe"}};
    }
    static std::map<std::string, std::string> New() {
        return {{kVersionFile, "new versions"},
                {std::string(kFolder) + "\\Lumen.ocx", "new Lumen.ocx"},
                {kSystem + "\\qvl.dll", "new qvl.dll"},
                {std::string(kFolder) + "\\quorvel.exe", "new quorvel.exe"}};
    }

    // The whole update as the start-up sequence runs it: switch, version file, finish.
    void RunWholeUpdate() {
        std::string error;
        if (!Switch().Apply(steps, error)) return;
        const std::string written = kVersionFile + ".tmp";
        if (!files.WriteTextFile(written, "new versions", error) || !files.ReplaceFile(kVersionFile, written, error)) {
            Switch().Undo(error);
            return;
        }
        Switch().Finish();
    }

    std::string ignored_;
};

TEST_F(InstallSwitchTest, AppliedAndFinishedLeavesTheNewFilesAndNoStagingFolder) {
    RunWholeUpdate();

    EXPECT_EQ(Installed(), New());
    EXPECT_FALSE(files.FolderExists(staging.Root()));
    EXPECT_EQ(processes.Registrations(), (std::vector<std::string>{"regsvr32 /s \"C:\\Quorvel\\Lumen.ocx\"",
                                                                   "regsvr32 /s \"C:\\Windows\\System32\\qvl.dll\""}));
}

TEST_F(InstallSwitchTest, TheJournalIsWrittenBeforeTheFirstInstalledFileMoves) {
    std::vector<std::string> order;
    files.failWhen = [&](const FileCall& call) -> std::optional<std::string> {
        if (call.operation == "ReplaceFile" && call.path == staging.Journal()) order.push_back("journal");
        if (call.operation == "MoveFile") order.push_back("move " + call.path);
        if (call.operation == "CopyFile" && call.path == kVersionFile) order.push_back("save versions");
        return std::nullopt;
    };
    std::string error;
    ASSERT_TRUE(Switch().Apply(steps, error)) << error;
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], "save versions");
    EXPECT_EQ(order[1], "journal");
    EXPECT_EQ(order[2], "move C:\\Quorvel\\Lumen.ocx");
}

// Every call that changes something is a point where the launcher may be
// killed; the next start must find the old installation or the new one, never a mix.
TEST_F(InstallSwitchTest, KilledAtAnyPointTheNextStartRepairsToOldOrNew) {
    int changes = 0;
    files.failWhen = [&](const FileCall&) -> std::optional<std::string> {
        ++changes;
        return std::nullopt;
    };
    RunWholeUpdate();
    const int total = changes;
    ASSERT_GT(total, 8);

    for (int killAt = 1; killAt <= total; ++killAt) {
        SCOPED_TRACE("killed at change " + std::to_string(killAt));
        files = FakeFileSystem{};
        processes = FakeInstallProcesses{};
        SetUp();
        int seen = 0;
        files.failWhen = [&](const FileCall&) -> std::optional<std::string> {
            if (++seen == killAt) throw Killed{};
            return std::nullopt;
        };
        EXPECT_THROW(RunWholeUpdate(), Killed);
        files.failWhen = nullptr;

        std::string error;
        ASSERT_TRUE(Switch().Recover(error)) << error;
        const auto installed = Installed();
        EXPECT_TRUE(installed == Old() || installed == New()) << "a mix of versions";
        EXPECT_FALSE(files.FolderExists(staging.Root()) && files.Content(staging.Journal()));
        // A second start finds nothing more to do.
        const auto after = files.Files();
        ASSERT_TRUE(Switch().Recover(error));
        EXPECT_EQ(files.Files(), after);
    }
}

TEST_F(InstallSwitchTest, AFailureAtAnyMoveOrRegistrationPutsEverythingBack) {
    int changes = 0;
    files.failWhen = [&](const FileCall& call) -> std::optional<std::string> {
        changes += call.operation == "MoveFile";
        return std::nullopt;
    };
    std::string error;
    ASSERT_TRUE(Switch().Apply(steps, error));
    const int moves = changes;

    for (int failAt = 1; failAt <= moves; ++failAt) {
        SCOPED_TRACE("move " + std::to_string(failAt) + " fails");
        files = FakeFileSystem{};
        processes = FakeInstallProcesses{};
        SetUp();
        int seen = 0;
        files.failWhen = [&](const FileCall& call) -> std::optional<std::string> {
            if (call.operation == "MoveFile" && ++seen == failAt) return "拒绝访问。";
            return std::nullopt;
        };
        EXPECT_FALSE(Switch().Apply(steps, error));
        EXPECT_EQ(error, "拒绝访问。");
        EXPECT_EQ(Installed(), Old());
        EXPECT_FALSE(files.FolderExists(staging.Root()));
    }
}

TEST_F(InstallSwitchTest, AnUndoThatCannotPutAFileBackKeepsTheJournalForTheNextStart) {
    processes.exitCode = [](const std::string& line) { return line.find("qvl.dll") != std::string::npos ? 5u : 0u; };
    bool locked = true;
    files.failWhen = [&](const FileCall& call) -> std::optional<std::string> {
        if (locked && call.operation == "MoveFile" && call.path == staging.Aside(1))
            return "另一个程序正在使用此文件。";
        return std::nullopt;
    };
    std::string error;
    EXPECT_FALSE(Switch().Apply(steps, error));
    EXPECT_TRUE(files.Content(staging.Journal()));
    EXPECT_EQ(files.Content(staging.Aside(1)), "old ocx");

    locked = false;
    ASSERT_TRUE(Switch().Recover(error)) << error;
    EXPECT_EQ(Installed(), Old());
}

TEST_F(InstallSwitchTest, ADamagedJournalIsLeftAloneAndReported) {
    files.SetFile(staging.Journal(), "quorvel-switch-1\r\n1\t1\t1\t");
    files.SetFile(staging.Aside(1), "old ocx");
    std::string error;
    EXPECT_FALSE(Switch().Recover(error));
    EXPECT_NE(error.find("journal"), std::string::npos);
    EXPECT_EQ(files.Content(staging.Aside(1)), "old ocx");
}

TEST_F(InstallSwitchTest, StagingWithoutAJournalIsLeftForTheTransfersToContinue) {
    files.SetFile(staging.Archive(1, "Lumen.ocx"), "partial");
    std::string error;
    EXPECT_TRUE(Switch().Recover(error));
    EXPECT_EQ(files.Content(staging.Archive(1, "Lumen.ocx")), "partial");
    EXPECT_EQ(Installed(), Old());
}

struct JournalCase {
    const char* name;
    std::string text;
    bool valid;
};

class JournalTextTest : public ::testing::TestWithParam<JournalCase> {};

TEST_P(JournalTextTest, OnlyAWholeJournalIsRead) {
    EXPECT_EQ(ParseJournal(GetParam().text).has_value(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JournalTextTest,
    ::testing::Values(JournalCase{"Empty", "", false}, JournalCase{"HeaderOnly", "quorvel-switch-1\r\n", false},
                      JournalCase{"NoSteps", "quorvel-switch-1\r\nend\r\n", true},
                      JournalCase{"OneStep", "quorvel-switch-1\r\n1\t0\t1\tC:\\Q Q\\a.dll\r\nend\r\n", true},
                      JournalCase{"LfOnly", "quorvel-switch-1\n2\t1\t0\tC:\\a.dll\nend\n", true},
                      JournalCase{"CutInAStep", "quorvel-switch-1\r\n1\t0\t1\tC:\\a", false},
                      JournalCase{"ZeroPosition", "quorvel-switch-1\r\n0\t0\t1\tC:\\a.dll\r\nend\r\n", false},
                      JournalCase{"BadFlag", "quorvel-switch-1\r\n1\t2\t1\tC:\\a.dll\r\nend\r\n", false},
                      JournalCase{"NoTarget", "quorvel-switch-1\r\n1\t0\t1\t\r\nend\r\n", false},
                      JournalCase{"TooManyFields", "quorvel-switch-1\r\n1\t0\t1\tC:\\a\tx\r\nend\r\n", false},
                      JournalCase{"AfterTheEnd", "quorvel-switch-1\r\nend\r\nmore\r\n", false},
                      JournalCase{"OtherHeader", "quorvel-switch-2\r\nend\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JournalText, KeepsEveryStepAsWritten) {
    const std::vector<SwitchStep> steps{{1, "C:\\程序 目录\\a.dll", true, false}, {12, "D:\\b.exe", false, true}};
    EXPECT_EQ(ParseJournal(FormatJournal(steps)), steps);
}

}  // namespace
}  // namespace launcher
