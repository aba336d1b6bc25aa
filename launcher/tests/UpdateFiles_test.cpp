#include "launcher/UpdateFiles.h"

#include <gtest/gtest.h>

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

    void SetUp() override {
        wait.ShowForm("正在连接远程服务...");
        // The archiver turns "<name>.comps" into "<name>".
        install.onRun = [this](const std::string& commandLine) {
            const auto start = commandLine.find("\" e \"") + 5;
            const auto archive = commandLine.substr(start, commandLine.find("\" -y") - start);
            fileSystem.SetFile(archive.substr(0, archive.size() - 6), "unpacked");
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
};

TEST_F(UpdateFilesTest, ThreeFilesAreFetchedUnpackedAndTheMarkedOneRegistered) {
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
              "\"C:\\Quorvel\\Tools\\Arj32.exe\" e \"C:\\Quorvel\\quorvel.exe.comps\" -y \"C:\\Quorvel\\ \"");
    EXPECT_EQ(install.waited.size(), 3u);
    EXPECT_EQ(install.started, std::vector<std::string>{"regsvr32 /s \"C:\\Quorvel\\Lumen_Control.ocx\""});
    for (const char* name : {"quorvel.exe", "Lumen_Control.ocx", "a.dll"}) {
        EXPECT_EQ(fileSystem.Content(Local(name)), "unpacked") << name;
        EXPECT_FALSE(fileSystem.Content(Local(name) + ".comps")) << name;
    }
    EXPECT_EQ(urls.opened, (std::vector<std::string>{Url("quorvel.exe"), Url("Lumen_Control.ocx"), Url("a.dll")}));
    for (std::uint32_t size : urls.readSizes) EXPECT_EQ(size, 4096u);
    // One yield before each transfer and one per block: 3 + 2 + 1 blocks.
    EXPECT_EQ(view.doEvents, 3 + 6);
    EXPECT_TRUE(boxes.Shown().empty());
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
    urls.responses[Url("big.dat")] = {"5000", "200", std::string(6000, 'b'), std::nullopt};

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
        urls.responses[Url("two.dat")] = {length, "200", std::string(9000, 'c'), std::nullopt};

        ASSERT_TRUE(Run());

        EXPECT_TRUE(view.file.indeterminate);
        EXPECT_EQ(view.all.values, (std::vector<std::int32_t>{0, 100, 100, 100}));
        EXPECT_EQ(view.speedTexts.back(), "已下载 8.8 KB；0 BKB /秒");
        EXPECT_EQ(fileSystem.Content(Local("two.dat")), "unpacked");
    }
}

TEST_F(UpdateFilesTest, LongListsKeepTheOverallBarInRange) {
    for (int i = 0; i < 400; ++i) Entry("f" + std::to_string(i), 1);

    ASSERT_TRUE(Run());

    EXPECT_EQ(view.all.max, 40000);
    EXPECT_EQ(view.all.values.back(), 40000);
}

TEST_F(UpdateFilesTest, ARunningProgramStopsTheUpdateBeforeItsFileIsTouched) {
    Entry("first.ocx", 10);
    Entry("Lumen.DLL", 10);
    fileSystem.SetFile(Local("Lumen.DLL"), "in use");
    processes.running = {"Lumen.DLL", "first.ocx"};  // only .exe and .dll names are checked

    EXPECT_FALSE(Run());

    EXPECT_EQ(boxes.Shown(),
              (std::vector<ShownBox>{
                  {"系统需要升级，请先关闭正在运行中的Quorvel（及其子程序）后重新启动。", "提示", 0x1040}}));
    EXPECT_FALSE(waitState.shown);
    EXPECT_EQ(fileSystem.Content(Local("first.ocx")), "unpacked");
    EXPECT_EQ(fileSystem.Content(Local("Lumen.DLL")), "in use");
}

TEST_F(UpdateFilesTest, CancelDuringATransferStopsAfterTheCurrentBlock) {
    Entry("a.exe", 20000);
    Entry("b.exe", 10);
    view.onDoEvents = [this](int call) { view.cancel = call == 3; };  // the second block's yield

    EXPECT_FALSE(Run());

    EXPECT_EQ(urls.readSizes.size(), 2u);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_FALSE(fileSystem.Content(Local("a.exe.comps")));
    EXPECT_TRUE(install.waited.empty());
    EXPECT_EQ(urls.opened.size(), 1u);
}

TEST_F(UpdateFilesTest, CancelBetweenFilesStopsAtTheNextFilesFirstBlock) {
    Entry("a.exe", 10);
    Entry("b.exe", 10000);
    view.onDoEvents = [this](int call) { view.cancel = view.cancel || call == 3; };  // the yield before b.exe

    EXPECT_FALSE(Run());
    EXPECT_EQ(urls.readSizes.size(), 3u);  // a.exe's block and end, b.exe's first block
    EXPECT_EQ(install.waited.size(), 1u);
    EXPECT_FALSE(fileSystem.Content(Local("b.exe.comps")));
}

TEST_F(UpdateFilesTest, AnArchiveWithTheServicesDigestIsUnpacked) {
    Entry("a.dll", 0)->cSHA256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";  // of "abc"
    urls.Serve(Url("a.dll"), "abc");

    EXPECT_TRUE(Run());
    EXPECT_EQ(fileSystem.Content(Local("a.dll")), "unpacked");
}

TEST_F(UpdateFilesTest, EachTransferAndArchiverRunIsLoggedWithTheDigestsVerdict) {
    FakeRunLog runLog;
    services.log = &runLog;
    Entry("a.dll", 0, true)->cSHA256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";  // "abc"
    urls.Serve(Url("a.dll"), "abc");
    Entry("b.dat", 5000)->cSHA256 = std::string(64, '0');

    EXPECT_FALSE(Run());

    EXPECT_TRUE(runLog.Holds("transfer " + Url("a.dll") + " to " + Local("a.dll.comps") +
                             ": complete, 3 bytes of 3 announced, "))
        << runLog.Text();
    EXPECT_TRUE(runLog.Holds(" bytes/s, digest matches cSHA256\r\n"));
    EXPECT_TRUE(
        runLog.Holds("\" e \"" + Local("a.dll.comps") + "\" -y \"" + kFolder + "\\ \" ended, exit code unknown"));
    EXPECT_TRUE(runLog.Holds("regsvr32 /s \"" + Local("a.dll") + "\" started"));
    EXPECT_TRUE(runLog.Holds("digest refused: cSHA256 " + std::string(64, '0') + ", received "));
}

struct FailureCase {
    const char* name;
    std::function<void(UpdateFilesTest&)> arrange;
    std::string box;
};

class UpdateFailureTest : public UpdateFilesTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UpdateFailureTest, EndsWithItsBoxAndLeavesNoArchive) {
    Entry("ok.exe", 10);
    Entry("bad.exe", 10000);
    GetParam().arrange(*this);

    EXPECT_FALSE(Run());

    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, GetParam().box);
    EXPECT_FALSE(waitState.shown) << "the wait window is hidden before the box";
    EXPECT_FALSE(fileSystem.Content(Local("bad.exe.comps")));
    EXPECT_EQ(fileSystem.Content(Local("ok.exe")), "unpacked");
    EXPECT_TRUE(install.started.empty());
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
                        t.install.onRun = [&t](const std::string&) {
                            t.fileSystem.SetFile(t.Local("ok.exe"), "unpacked");
                            t.outputFiles.createFailure = "拒绝访问。";
                        };
                    },
                    kUpdateError},
        FailureCase{"ProgramFileCannotBeDeleted",
                    [](UpdateFilesTest& t) {
                        t.fileSystem.SetFile(t.Local("bad.exe"), "locked");
                        t.install.onRun = [&t](const std::string&) {
                            t.fileSystem.SetFile(t.Local("ok.exe"), "unpacked");
                            t.fileSystem.FailDeletes("拒绝访问。");
                        };
                    },
                    kUpdateError},
        FailureCase{"ArchiverDoesNotStart",
                    [](UpdateFilesTest& t) {
                        t.install.onRun = [&t](const std::string&) {
                            t.fileSystem.SetFile(t.Local("ok.exe"), "unpacked");
                            t.install.runFailure = "系统找不到指定的文件。";
                        };
                    },
                    "系统找不到指定的文件。\r\n文件解除压缩时发生错误！"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace launcher
