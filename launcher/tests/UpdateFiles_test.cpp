#include "launcher/UpdateFiles.h"

#include <gtest/gtest.h>

#include "launcher/InstallSwitch.h"
#include "launcher/ResumeRecord.h"
#include "launcher/Sha256.h"
#include "launcher/StagingLayout.h"

#include <string>
#include <vector>

#include "launcher/tests/support/FakeClock.h"
#include "launcher/tests/support/FakeRunLog.h"
#include "launcher/tests/support/FakeDownload.h"
#include "launcher/tests/support/FakeFileSystem.h"
#include "launcher/tests/support/FakeMessageBox.h"
#include "launcher/tests/support/FakeProcesses.h"
#include "launcher/tests/support/FakeSystemInfo.h"
#include "launcher/tests/support/FakeWindows.h"

namespace launcher {
namespace {

constexpr const char* kFolder = "C:\\Quorvel";
constexpr const char* kBase = "http://127.0.0.1/download";
constexpr const char* kUpdateError = "系统文件升级出现错误。";
constexpr unsigned kWarning = 0x1030;

class UpdateFilesTest : public ::testing::Test {
public:
    EventLog log;
    WaitWindowState waitState;
    FakeWaitWindow wait{waitState, log};
    FakeDownloadView view;
    FakeMessageBox boxes;
    FakeProcesses processes{log};
    FakeFileSystem fileSystem;
    FakeSystemInfo system;
    FakeClock clock;
    FakeUrlOpener urls;
    FakeOutputFiles outputFiles{fileSystem};
    FakeInstallProcesses install;
    FakeSizeFormatter sizes;
    UpdateServices services{view,  wait, boxes,       processes, fileSystem, system,
                            clock, urls, outputFiles, install,   sizes,      kFolder};
    UpdateFileList list;
    StagingLayout staging{kFolder};
    std::string ignored;

    void SetUp() override {
        wait.ShowForm("正在连接远程服务...");
        fileSystem.SetFile(std::string(kFolder) + "\\FileVersion.cfg", "old versions");
        // The archiver turns "<name>.comps" into "<name>" with the archive's content.
        install.onRun = [this](const std::string& commandLine) {
            const auto start = commandLine.find("\" e \"");
            if (start == std::string::npos) return;
            const auto archive = commandLine.substr(start + 5, commandLine.find("\" -y") - start - 5);
            fileSystem.SetFile(archive.substr(0, archive.size() - 6), "unpacked " + *fileSystem.Content(archive));
        };
    }

    // An entry in the launcher folder whose archive the server has, `size` bytes long.
    std::shared_ptr<clsProgramFile> Entry(const std::string& name, std::size_t size, bool reg = false) {
        auto entry = std::make_shared<clsProgramFile>();
        entry->cFileName = name;
        entry->cFilePath = "[CUR_PATH]";
        entry->cDownLoadPath = kBase;
        entry->cIfReg = reg;
        list.push_back(entry);
        urls.Serve(Url(name), std::string(size, 'a'));
        return entry;
    }
    static std::string Url(const std::string& name) { return std::string(kBase) + "/" + name + ".comps"; }
    static std::string Local(const std::string& name) { return std::string(kFolder) + "\\" + name; }

    bool Run() {
        PrepareDownloadView(view, static_cast<int>(list.size()));
        return UpdateFiles(list, services);
    }
    // What the start-up sequence does after a true: the version file, then the end of the switch.
    void Finish() {
        std::string error;
        ASSERT_TRUE(fileSystem.WriteTextFile(Local("FileVersion.cfg"), "new versions", error));
        InstallSwitch(kFolder, Local("FileVersion.cfg"), fileSystem, install).Finish();
    }
    // The installed files: every file outside the staging folder.
    std::map<std::string, std::string> Installed() const {
        std::map<std::string, std::string> installed;
        for (const auto& [path, content] : fileSystem.Files()) {
            if (!path.starts_with(staging.Root())) installed[path] = content;
        }
        return installed;
    }
};

TEST_F(UpdateFilesTest, ThreeFilesAreStagedThenSwitchedAndTheMarkedOneRegistered) {
    Entry("quorvel.exe", 10000);
    Entry("Lumen_Control.ocx", 8192, true);
    Entry("a.dll", 100);
    fileSystem.SetFile(Local("quorvel.exe"), "old");
    fileSystem.SetFile(Local("a.dll.comps"), "stale");

    ASSERT_TRUE(Run());

    EXPECT_EQ(view.all.max, 300);
    // 4096 of 10000 is 40.96 -> 41; during the second file 100 + its percent.
    const std::vector<std::int32_t> overall{0, 41, 82, 100, 150, 200, 300};
    EXPECT_EQ(view.all.values, overall);
    EXPECT_EQ(view.fileTexts, (std::vector<std::string>{"文件升级进度", "正在升级第 1/3 个文件（***rvel.exe)...",
                                                        "正在升级第 2/3 个文件（***trol.ocx)...",
                                                        "正在升级第 3/3 个文件（***a.dll)..."}));
    EXPECT_EQ(install.waited.front(),
              "\"C:\\Quorvel\\Tools\\Arj32.exe\" e \"C:\\Quorvel\\.update\\1\\quorvel.exe.comps\" -y "
              "\"C:\\Quorvel\\.update\\1\\ \"");
    EXPECT_EQ(install.waited.size(), 4u);
    EXPECT_EQ(install.Registrations(), std::vector<std::string>{"regsvr32 /s \"C:\\Quorvel\\Lumen_Control.ocx\""});
    for (const char* name : {"quorvel.exe", "Lumen_Control.ocx", "a.dll"}) {
        EXPECT_TRUE(fileSystem.Content(Local(name))->starts_with("unpacked ")) << name;
    }
    EXPECT_EQ(fileSystem.Content(Local("a.dll.comps")), "stale") << "nothing but the program files is touched";
    EXPECT_EQ(fileSystem.Content(staging.Aside(1)), "old");
    EXPECT_TRUE(fileSystem.Content(staging.Journal()));
    EXPECT_EQ(urls.opened, (std::vector<std::string>{Url("quorvel.exe"), Url("Lumen_Control.ocx"), Url("a.dll")}));
    for (std::uint32_t size : urls.readSizes) EXPECT_EQ(size, 4096u);
    // One yield before each transfer and one per block: 3 + 2 + 1 blocks.
    EXPECT_EQ(view.doEvents, 3 + 6);
    EXPECT_TRUE(boxes.Shown().empty());

    Finish();
    EXPECT_FALSE(fileSystem.FolderExists(staging.Root()));
    EXPECT_EQ(Installed().size(), 5u);  // three programs, the stale archive, the version file
}

TEST_F(UpdateFilesTest, NothingInstalledIsTouchedUntilEveryFileIsStaged) {
    Entry("a.dll", 10);
    Entry("b.dll", 10);
    fileSystem.SetFile(Local("a.dll"), "old a");
    fileSystem.SetFile(Local("b.dll"), "old b");
    const auto before = Installed();
    install.onRun = [this, unpack = install.onRun, before](const std::string& commandLine) {
        EXPECT_EQ(Installed(), before) << commandLine;
        unpack(commandLine);
    };

    ASSERT_TRUE(Run());
    EXPECT_EQ(fileSystem.Content(Local("b.dll")), "unpacked aaaaaaaaaa");
}

TEST_F(UpdateFilesTest, EachFilesFinalValuesAreDrawnBeforeTheArchiverBlocks) {
    Entry("quorvel.exe", 10000);
    Entry("a.dll", 100);
    struct Drawn {
        std::int32_t file, all;
        std::string speed;
        bool operator==(const Drawn&) const = default;
    };
    std::vector<Drawn> drawn;
    const auto unpack = install.onRun;
    install.onRun = [&](const std::string& commandLine) {
        drawn.push_back({view.shownFileValue, view.shownAllValue, view.shownSpeedText});
        unpack(commandLine);
    };

    ASSERT_TRUE(Run());

    EXPECT_EQ(drawn,
              (std::vector<Drawn>{{10000, 100, "已下载 9.8 KB；0 BKB /秒"}, {100, 200, "已下载 100 B；0 BKB /秒"}}));
}

TEST_F(UpdateFilesTest, MoreBytesThanAnnouncedAreWrittenButShownAtTheAnnouncedLength) {
    Entry("big.dat", 0);
    urls.responses[Url("big.dat")] = {"5000", "200", std::string(6000, 'b'), std::nullopt, {}};

    ASSERT_TRUE(Run());

    EXPECT_EQ(view.file.values.back(), 5000);
    EXPECT_EQ(view.all.values.back(), 100);
    EXPECT_EQ(view.speedTexts.back(), "已下载 4.9 KB；0 BKB /秒");
    EXPECT_EQ(install.waited.size(), 1u);
}

TEST_F(UpdateFilesTest, WithoutAUsableLengthTheFileBarIsIndeterminateAndTheOverallBarMovesPerFile) {
    for (const std::optional<std::string>& length : {std::optional<std::string>{}, {"0"}, {"abc"}}) {
        SCOPED_TRACE(length.value_or("(none)"));
        list.clear();
        view = FakeDownloadView{};
        Entry("one.dat", 0);
        Entry("two.dat", 0);
        urls.responses[Url("two.dat")] = {length, "200", std::string(9000, 'c'), std::nullopt, {}};

        ASSERT_TRUE(Run());

        EXPECT_TRUE(view.file.indeterminate);
        EXPECT_EQ(view.all.values, (std::vector<std::int32_t>{0, 100, 100, 100}));
        EXPECT_EQ(view.speedTexts.back(), "已下载 8.8 KB；0 BKB /秒");
        EXPECT_EQ(fileSystem.Content(Local("two.dat")), "unpacked " + std::string(9000, 'c'));
    }
}

TEST_F(UpdateFilesTest, LongListsKeepTheOverallBarInRange) {
    for (int i = 0; i < 400; ++i) Entry("f" + std::to_string(i), 1);

    ASSERT_TRUE(Run());

    EXPECT_EQ(view.all.max, 40000);
    EXPECT_EQ(view.all.values.back(), 40000);
}

TEST_F(UpdateFilesTest, ARunningProgramStopsTheUpdateWithNothingInstalledTouched) {
    Entry("first.ocx", 10);
    Entry("Lumen.DLL", 10);
    fileSystem.SetFile(Local("first.ocx"), "old");
    fileSystem.SetFile(Local("Lumen.DLL"), "in use");
    processes.running = {"Lumen.DLL", "first.ocx"};  // only .exe and .dll names are checked
    const auto before = Installed();

    EXPECT_FALSE(Run());

    EXPECT_EQ(boxes.Shown(),
              (std::vector<ShownBox>{
                  {"系统需要升级，请先关闭正在运行中的Quorvel（及其子程序）后重新启动。", "提示", 0x1040}}));
    EXPECT_FALSE(waitState.shown);
    EXPECT_EQ(Installed(), before);
    EXPECT_FALSE(fileSystem.FolderExists(staging.Root()));
}

TEST_F(UpdateFilesTest, AFolderThisUserMayNotWriteIsNamedBeforeAnythingIsFetched) {
    Entry("a.dll", 10);
    Entry("b.dll", 10)->cFilePath = "[SYS_PATH]";
    const auto before = Installed();
    for (const std::string& denied : {std::string(kFolder), std::string("C:\\WINDOWS\\system32")}) {
        SCOPED_TRACE(denied);
        fileSystem.deniedFolders = {denied};
        boxes = FakeMessageBox{};

        EXPECT_FALSE(Run());

        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].text.find("无权写入文件夹“" + denied + "”，没有更改任何文件"), std::string::npos)
            << boxes.Shown()[0].text;
        EXPECT_TRUE(urls.opened.empty());
        EXPECT_EQ(Installed(), before);
        EXPECT_FALSE(fileSystem.FolderExists(staging.Root()));
    }
}

TEST_F(UpdateFilesTest, CancelDuringATransferStopsAfterTheCurrentBlockAndKeepsWhatArrived) {
    Entry("a.exe", 20000);
    Entry("b.exe", 10);
    fileSystem.SetFile(Local("a.exe"), "old");
    view.onDoEvents = [this](int call) { view.cancel = call == 3; };  // the second block's yield

    EXPECT_FALSE(Run());

    EXPECT_EQ(urls.readSizes.size(), 2u);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(fileSystem.Content(Local("a.exe")), "old");
    EXPECT_EQ(fileSystem.Content(staging.Archive(1, "a.exe"))->size(), 8192u) << "kept to be continued";
    EXPECT_TRUE(fileSystem.Content(staging.ResumeRecord(1, "a.exe")));
    EXPECT_TRUE(install.waited.empty());
    EXPECT_EQ(urls.opened.size(), 1u);
}

TEST_F(UpdateFilesTest, CancelBetweenFilesStopsAtTheNextFilesFirstBlock) {
    Entry("a.exe", 10);
    Entry("b.exe", 10000);
    fileSystem.SetFile(Local("a.exe"), "old");
    view.onDoEvents = [this](int call) { view.cancel = view.cancel || call == 3; };  // the yield before b.exe

    EXPECT_FALSE(Run());
    EXPECT_EQ(urls.readSizes.size(), 3u);  // a.exe's block and end, b.exe's first block
    EXPECT_EQ(install.waited.size(), 1u);
    EXPECT_EQ(fileSystem.Content(Local("a.exe")), "old") << "a staged file is not installed alone";
    EXPECT_FALSE(fileSystem.FolderExists(staging.Root() + "\\1"));
}

TEST_F(UpdateFilesTest, AnArchiveWithTheServicesDigestIsUnpacked) {
    Entry("a.dll", 0)->cSHA256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";  // of "abc"
    urls.Serve(Url("a.dll"), "abc");

    EXPECT_TRUE(Run());
    EXPECT_EQ(fileSystem.Content(Local("a.dll")), "unpacked abc");
}

// A transfer cut at 30 000 of 50 000 bytes, then the next run.
class ResumeTest : public UpdateFilesTest {
protected:
    std::string body;
    void SetUp() override {
        UpdateFilesTest::SetUp();
        body.resize(50000);
        for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('a' + i % 23);
        Entry("a.dll", 0);
        urls.Serve(Url("a.dll"), body);
        urls.responses[Url("a.dll")].failReadAt = 30000;
        urls.responses[Url("a.dll")].headers["ETag"] = "\"50\"";
        EXPECT_FALSE(Run());
        urls.responses[Url("a.dll")].failReadAt.reset();
        boxes = FakeMessageBox{};
        urls.bytesServed = 0;
        urls.opened.clear();
    }
    void Digest(const std::string& hex) { list[0]->cSHA256 = hex; }
};

TEST_F(ResumeTest, TheNextRunAsksOnlyForTheRest) {
    ASSERT_EQ(fileSystem.Content(staging.Archive(1, "a.dll"))->size(), 30000u);

    ASSERT_TRUE(Run());

    EXPECT_EQ(urls.ranged, (std::vector<RangeRequest>{{Url("a.dll"), 30000, "\"50\""}}));
    EXPECT_EQ(urls.bytesServed, 20000u);
    EXPECT_EQ(fileSystem.Content(Local("a.dll")), "unpacked " + body);
    EXPECT_EQ(view.file.values.back(), 50000);
}

TEST_F(ResumeTest, AServerThatIgnoresTheRangeSendsItAllAgain) {
    urls.honoursRanges = false;
    ASSERT_TRUE(Run());
    EXPECT_EQ(urls.ranged.size(), 1u);
    EXPECT_EQ(urls.bytesServed, 50000u);
    EXPECT_EQ(fileSystem.Content(Local("a.dll")), "unpacked " + body);
    EXPECT_TRUE(outputFiles.appended.empty());
}

TEST_F(ResumeTest, WithoutADigestOrAValidatorItStartsAgain) {
    // As if the first answer had carried neither ETag nor Last-Modified.
    fileSystem.SetFile(staging.ResumeRecord(1, "a.dll"), FormatResumeRecord({Url("a.dll"), 50000, "", "", ""}));
    ASSERT_TRUE(Run());
    EXPECT_TRUE(urls.ranged.empty());
    EXPECT_EQ(urls.bytesServed, 50000u);
}

TEST_F(ResumeTest, ADigestThatChangedBetweenRunsStartsAgain) {
    Digest(std::string(64, '0'));
    EXPECT_FALSE(Run());
    EXPECT_TRUE(urls.ranged.empty());
    EXPECT_EQ(urls.bytesServed, 50000u);
}

class ResumeWithDigestTest : public UpdateFilesTest {};

TEST_F(ResumeWithDigestTest, TheWholeFileIsHashedSoAWrongPartIsCaught) {
    const std::string body(20000, 'q');
    // The digest of the server's file: only hashing the kept part too can notice that part is wrong.
    Entry("a.dll", 0)->cSHA256 = "05b92b62480c15330f1fccc57d9f032db6d9c2e10932b6281c16cbacabdef494";
    urls.Serve(Url("a.dll"), body);
    urls.responses[Url("a.dll")].headers["ETag"] = "\"7\"";
    fileSystem.CreateFolder(staging.Root(), ignored);
    fileSystem.CreateFolder(staging.Root() + "\\1", ignored);
    fileSystem.SetFile(staging.Archive(1, "a.dll"), std::string(8192, 'x'));  // not what the server has
    fileSystem.SetFile(staging.ResumeRecord(1, "a.dll"),
                       FormatResumeRecord({Url("a.dll"), 20000, list[0]->cSHA256, "\"7\"", ""}));

    EXPECT_FALSE(Run());

    EXPECT_EQ(urls.ranged, (std::vector<RangeRequest>{{Url("a.dll"), 8192, "\"7\""}}));
    EXPECT_EQ(boxes.Shown().at(0).text, kUpdateError);
    EXPECT_FALSE(fileSystem.Content(staging.Archive(1, "a.dll"))) << "a wrong archive is not kept";
    EXPECT_FALSE(fileSystem.Content(Local("a.dll")));
}

TEST_F(ResumeWithDigestTest, TheKeptPartIsHashedBeforeTheRestIsAppendedToIt) {
    const std::string body(20000, 'k');
    Sha256 digest;
    digest.Update(body.data(), body.size());
    Entry("a.dll", 0)->cSHA256 = digest.HexDigest();
    urls.Serve(Url("a.dll"), body);
    urls.responses[Url("a.dll")].headers["ETag"] = "\"9\"";
    fileSystem.CreateFolder(staging.Root(), ignored);
    fileSystem.CreateFolder(staging.Root() + "\\1", ignored);
    fileSystem.SetFile(staging.Archive(1, "a.dll"), body.substr(0, 8192));
    fileSystem.SetFile(staging.ResumeRecord(1, "a.dll"),
                       FormatResumeRecord({Url("a.dll"), 20000, list[0]->cSHA256, "\"9\"", ""}));

    ASSERT_TRUE(Run()) << (boxes.Shown().empty() ? "" : boxes.Shown().at(0).text);

    EXPECT_EQ(urls.ranged, (std::vector<RangeRequest>{{Url("a.dll"), 8192, "\"9\""}}));
    EXPECT_EQ(urls.bytesServed, 20000u - 8192u);
    EXPECT_EQ(fileSystem.Content(Local("a.dll")), "unpacked " + body);
}

TEST_F(ResumeWithDigestTest, AFileChangedOnTheServerComesBackWhole) {
    Entry("a.dll", 0);
    urls.Serve(Url("a.dll"), std::string(20000, 'n'));
    urls.responses[Url("a.dll")].headers["ETag"] = "\"8\"";
    fileSystem.CreateFolder(staging.Root(), ignored);
    fileSystem.CreateFolder(staging.Root() + "\\1", ignored);
    fileSystem.SetFile(staging.Archive(1, "a.dll"), std::string(8192, 'o'));
    fileSystem.SetFile(staging.ResumeRecord(1, "a.dll"), FormatResumeRecord({Url("a.dll"), 20000, "", "\"7\"", ""}));

    ASSERT_TRUE(Run());

    EXPECT_EQ(urls.ranged, (std::vector<RangeRequest>{{Url("a.dll"), 8192, "\"7\""}}));
    EXPECT_EQ(fileSystem.Content(Local("a.dll")), "unpacked " + std::string(20000, 'n'));
}

TEST_F(UpdateFilesTest, EachTransferAndArchiverRunIsLoggedWithTheDigestsVerdict) {
    FakeRunLog runLog;
    services.log = &runLog;
    Entry("a.dll", 0, true)->cSHA256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";  // "abc"
    urls.Serve(Url("a.dll"), "abc");
    Entry("b.dat", 5000)->cSHA256 = std::string(64, '0');

    EXPECT_FALSE(Run());

    EXPECT_TRUE(runLog.Holds("transfer " + Url("a.dll") + " to " + staging.Archive(1, "a.dll") +
                             ": complete, 3 bytes of 3 announced, "))
        << runLog.Text();
    EXPECT_TRUE(runLog.Holds(" bytes/s, digest matches cSHA256\r\n"));
    EXPECT_TRUE(runLog.Holds("\" e \"" + staging.Archive(1, "a.dll") + "\" -y \"" + staging.EntryFolder(1) +
                             " \" ended, exit code 0"));
    EXPECT_TRUE(runLog.Holds("digest refused: cSHA256 " + std::string(64, '0') + ", received "));
}

struct FailureCase {
    const char* name;
    std::function<void(UpdateFilesTest&)> arrange;
    std::string box;
};

class UpdateFailureTest : public UpdateFilesTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UpdateFailureTest, EndsWithItsBoxAndLeavesTheInstallationAsItWas) {
    Entry("ok.exe", 10);
    Entry("bad.exe", 10000);
    fileSystem.SetFile(Local("ok.exe"), "old ok");
    fileSystem.SetFile(Local("bad.exe"), "old bad");
    GetParam().arrange(*this);
    const auto before = Installed();

    EXPECT_FALSE(Run());

    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, GetParam().box);
    EXPECT_FALSE(waitState.shown) << "the wait window is hidden before the box";
    EXPECT_EQ(Installed(), before);
    // Only an archive that the next run may continue stays.
    for (const auto& [path, content] : fileSystem.Files()) {
        if (path.starts_with(staging.Root())) {
            EXPECT_TRUE(path == staging.Archive(2, "bad.exe") || path == staging.ResumeRecord(2, "bad.exe")) << path;
        }
    }
}

TEST_F(UpdateFilesTest, RegistrationsAndAFailedSwitchAreLogged) {
    FakeRunLog runLog;
    services.log = &runLog;
    Entry("a.ocx", 10, true);
    Entry("b.ocx", 10, true);
    install.exitCode = [this](const std::string& line) {
        return line == "regsvr32 /s \"" + Local("b.ocx") + "\"" ? 3u : 0u;
    };

    EXPECT_FALSE(Run());

    EXPECT_TRUE(runLog.Holds("regsvr32 /s \"" + Local("a.ocx") + "\" ended, exit code 0")) << runLog.Text();
    EXPECT_TRUE(runLog.Holds("regsvr32 /s \"" + Local("b.ocx") + "\" ended, exit code 3"));
    EXPECT_TRUE(runLog.Holds("switch failed and was undone: regsvr32 /s \"" + Local("b.ocx") + "\" 退出代码 3"));
}

TEST_F(UpdateFilesTest, AFailedSwitchPutsBackAndRegistersAgainWhatWasAlreadySwitched) {
    Entry("one.ocx", 10, true);
    Entry("two.ocx", 10, true);
    Entry("three.ocx", 10, true);
    fileSystem.SetFile(Local("one.ocx"), "old one");
    fileSystem.SetFile(Local("three.ocx"), "old three");
    install.exitCode = [this](const std::string& line) {
        // The new three.ocx refuses to register; the old one, put back, registers.
        const bool newThree =
            line == "regsvr32 /s \"" + Local("three.ocx") + "\"" && fileSystem.Content(staging.Aside(3));
        return newThree ? 4u : 0u;
    };
    const auto before = Installed();

    EXPECT_FALSE(Run());

    EXPECT_EQ(Installed(), before) << "two.ocx was new and is gone again";
    const std::vector<std::string> registered{
        "regsvr32 /s \"C:\\Quorvel\\one.ocx\"",     // switched
        "regsvr32 /s \"C:\\Quorvel\\two.ocx\"",     // switched
        "regsvr32 /s \"C:\\Quorvel\\three.ocx\"",   // failed: the switch is undone from here
        "regsvr32 /s \"C:\\Quorvel\\three.ocx\"",   // the old one registered again
        "regsvr32 /u /s \"C:\\Quorvel\\two.ocx\"",  // new: unregistered before it goes
        "regsvr32 /s \"C:\\Quorvel\\one.ocx\"",     // the old one registered again
    };
    EXPECT_EQ(install.Registrations(), registered);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_FALSE(fileSystem.FolderExists(staging.Root()));
    EXPECT_EQ(fileSystem.Content(Local("FileVersion.cfg")), "old versions");
}

const std::string kNetwork = "可能网络不稳定，目前无法下载文件。";

INSTANTIATE_TEST_SUITE_P(
    Faults, UpdateFailureTest,
    ::testing::Values(
        FailureCase{"Unreachable", [](UpdateFilesTest& t) { t.urls.responses.erase(t.Url("bad.exe")); }, kNetwork},
        FailureCase{"Status404", [](UpdateFilesTest& t) { t.urls.responses[t.Url("bad.exe")].status = "404"; },
                    kUpdateError},
        FailureCase{"StatusUnreadable", [](UpdateFilesTest& t) { t.urls.responses[t.Url("bad.exe")].status = ""; },
                    kUpdateError},
        FailureCase{"ReadFails", [](UpdateFilesTest& t) { t.urls.responses[t.Url("bad.exe")].failReadAt = 4096; },
                    kUpdateError},
        FailureCase{"BodyShorterThanAnnounced",
                    [](UpdateFilesTest& t) { t.urls.responses[t.Url("bad.exe")].contentLength = "20000"; },
                    kUpdateError},
        FailureCase{"DigestDiffers", [](UpdateFilesTest& t) { t.list.back()->cSHA256 = std::string(64, '0'); },
                    kUpdateError},
        FailureCase{"WriteFails", [](UpdateFilesTest& t) { t.outputFiles.failWriteAfter = 5000; }, kUpdateError},
        FailureCase{"ArchiveCannotBeCreated",
                    [](UpdateFilesTest& t) {
                        const auto unpack = t.install.onRun;
                        t.install.onRun = [&t, unpack](const std::string& line) {
                            unpack(line);
                            t.outputFiles.createFailure = "拒绝访问。";
                        };
                    },
                    kUpdateError},
        FailureCase{"ArchiverDoesNotStart",
                    [](UpdateFilesTest& t) {
                        const auto unpack = t.install.onRun;
                        t.install.onRun = [&t, unpack](const std::string& line) {
                            unpack(line);
                            t.install.runFailure = "系统找不到指定的文件。";
                        };
                    },
                    "系统找不到指定的文件。\r\n文件解除压缩时发生错误！"},
        FailureCase{"ArchiverReportsAnError",
                    [](UpdateFilesTest& t) {
                        t.install.exitCode = [](const std::string& line) {
                            return line.find("bad.exe") != std::string::npos ? 3u : 0u;
                        };
                    },
                    "解压程序的退出代码为 3。\r\n文件解除压缩时发生错误！"},
        FailureCase{"DamagedArchiveLeavesNoFile",
                    [](UpdateFilesTest& t) {
                        const auto unpack = t.install.onRun;
                        t.install.onRun = [unpack](const std::string& line) {
                            if (line.find("bad.exe") == std::string::npos) unpack(line);
                        };
                    },
                    "解压后没有找到文件 C:\\Quorvel\\.update\\2\\bad.exe。\r\n文件解除压缩时发生错误！"},
        FailureCase{"SecondFileCannotMoveIn",
                    [](UpdateFilesTest& t) {
                        t.fileSystem.failWhen = [&t](const FileCall& call) -> std::optional<std::string> {
                            if (call.operation == "MoveFile" && call.path == t.staging.Unpacked(2, "bad.exe")) {
                                return "另一个程序正在使用此文件，进程无法访问。";
                            }
                            return std::nullopt;
                        };
                    },
                    kUpdateError},
        FailureCase{"SecondRegistrationFails",
                    [](UpdateFilesTest& t) {
                        t.list[0]->cIfReg = true;
                        t.list[1]->cIfReg = true;
                        t.install.exitCode = [&t](const std::string& line) {
                            return line == "regsvr32 /s \"" + t.Local("bad.exe") + "\"" ? 5u : 0u;
                        };
                    },
                    kUpdateError}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace launcher
