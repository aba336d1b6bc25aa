#include "launcher/modMain.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "launcher/tests/support/FakeClock.h"
#include "launcher/tests/support/FakeDownload.h"
#include "launcher/tests/support/FakeFileSystem.h"
#include "launcher/tests/support/FakeHttpClient.h"
#include "launcher/tests/support/FakeMessageBox.h"
#include "launcher/tests/support/FakeProcesses.h"
#include "launcher/tests/support/FakeRandom.h"
#include "launcher/tests/support/FakeSignatureVerifier.h"
#include "launcher/tests/support/FakeSystemInfo.h"
#include "launcher/tests/support/FakeWindows.h"
#include "launcher/tests/support/FakeXml.h"

namespace launcher {
namespace {

using Events = std::vector<std::string>;

TEST(ParseCommandLine, OnlyTheWholeTextInAnyCaseSelectsAMode) {
    const struct {
        const char* arguments;
        LaunchMode mode;
    } cases[] = {
        {"DEBUG", LaunchMode::Debug},    {"debug", LaunchMode::Debug},    {"DeBuG", LaunchMode::Debug},
        {"UPDATE", LaunchMode::Update},  {"update", LaunchMode::Update},  {"", LaunchMode::Normal},
        {"-DEBUG", LaunchMode::Normal},  {"DEBUG x", LaunchMode::Normal}, {" UPDATE", LaunchMode::Normal},
        {"UPDATE ", LaunchMode::Normal}, {"/update", LaunchMode::Normal}, {"DEBUGUPDATE", LaunchMode::Normal},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCommandLine(c.arguments), c.mode) << '"' << c.arguments << '"';
}

// Every box must find the wait window out of sight; the box is logged with the other events.
class BoxSpy : public IMessageBox {
public:
    BoxSpy(FakeMessageBox& inner, const WaitWindowState& wait, EventLog& log) : inner_(inner), wait_(wait), log_(log) {}
    int Show(const std::string& text, const std::string& title, unsigned flags) override {
        EXPECT_FALSE(wait_.shown) << "box shown over the wait window: " << text;
        log_.Add("box:" + text);
        return inner_.Show(text, title, flags);
    }

private:
    FakeMessageBox& inner_;
    const WaitWindowState& wait_;
    EventLog& log_;
};

class StartupSequenceTest : public ::testing::Test {
protected:
    const std::string folder = "C:\\Program Files\\Quorvel";
    const std::string versionFile = folder + "\\FileVersion.cfg";
    const std::string client = folder + "\\quorvel.exe";

    EventLog log;
    FakeMessageBox boxes;
    FakeWindowFactory windows{log};
    BoxSpy boxSpy{boxes, windows.wait, log};
    FakeFileSystem files;
    FakeProcesses processes{log};
    FakeClock clock;
    FakeRandom random{{0.5f}};
    FakeHttpClient http;
    FakeSystemInfo system;
    FakeSingleInstance instance;
    FakeSettings settings;
    FakeInstallProcesses install;
    LauncherServices services{boxSpy, files,    processes, clock,   random,  http,
                              system, instance, settings,  windows, install, folder};

    void SetUp() override {
        files.SetFile(versionFile, "# 版本记录\r\nquorvel.exe=7\r\n");
        files.SetFile(client, "MZ");
    }

    static FakeXmlElement File(const std::string& name, const std::string& version) {
        return El("File", {El("cFileName", name), El("cVersion", version), El("cFilePath", "[CUR_PATH]"),
                           El("cDownLoadPath", "http://127.0.0.1/files"), El("cIfReg", "0")});
    }

    void Answer(std::vector<FakeXmlElement> list, const std::string& code = "1", const std::string& message = "") {
        auto result = El("result", {El("errorCode", code), El("errorMessage", message)});
        http.QueueDocument(
            std::make_unique<FakeXmlDocument>(El("quorvel", {result, El("ProgramFilesList", std::move(list))})));
    }

    MainEnd Run(const std::string& commandLine = "") { return Main(commandLine, services); }

    std::vector<ShownBox> Boxes() const { return boxes.Shown(); }
    std::string VersionFile() const { return files.Content(versionFile).value_or("<missing>"); }
};

constexpr unsigned kErrorFlags = 0x1010;

TEST_F(StartupSequenceTest, NothingToUpdateStartsTheMainClientAfterRecordingEveryVersion) {
    Answer({File("quorvel.exe", "7")});

    EXPECT_EQ(Run(), MainEnd::MainClientStarted);

    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(processes.started, (Events{client}));
    EXPECT_TRUE(windows.downloads.empty());
    EXPECT_EQ(VersionFile(), "quorvel.exe=7\r\n");  // the comment line is gone after a rewrite
    EXPECT_EQ(log.events, (Events{"wait:create", "wait:show 正在连接远程服务...", "wait:hide",
                                  "wait:show 正在启动系统...", "start:" + client, "wait:destroy"}));
}

TEST_F(StartupSequenceTest, TheRequestIsSignedWithTheSettingsAndAnEmptyDatabaseName) {
    settings.values = {"http://127.0.0.1:8080", "School01", "salt.for.tests", std::nullopt};
    Answer({});

    Run();

    ASSERT_EQ(http.Urls().size(), 1u);
    const std::string& url = http.Urls()[0];
    const std::string expectedStart =
        "http://127.0.0.1:8080/api/GetProgramFiles.ashx?cid=School01&rnd=5000000&db=&sign=";
    EXPECT_EQ(url.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(url.size(), expectedStart.size() + 32);
}

TEST_F(StartupSequenceTest, DebugModeShowsTheVersionFirstAndPassesDebugUnquoted) {
    Answer({});

    EXPECT_EQ(Run("Debug"), MainEnd::MainClientStarted);

    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes()[0], (ShownBox{"启动程序版本：3.24", "", 0x1000}));
    EXPECT_EQ(log.events.front(), "box:启动程序版本：3.24");  // before the wait window exists
    EXPECT_EQ(processes.started, (Events{"C:\\Program Files\\Quorvel\\quorvel.exe debug"}));
}

TEST_F(StartupSequenceTest, UpdateModeStopsAndDeletesTheMainClientThenDownloadsItAgain) {
    processes.running = {"quorvel.exe"};
    Answer({File("quorvel.exe", "7")});
    windows.download = [&](const UpdateFileList&) {
        files.SetFile(client, "MZ new");
        return true;
    };

    EXPECT_EQ(Run("UPDATE"), MainEnd::MainClientStarted);

    EXPECT_EQ(clock.Sleeps(), (std::vector<std::uint32_t>{500, 500}));
    const Events expectedStart{"wait:create", "wait:show 正在启动升级程序...", "kill:quorvel.exe", "wait:hide"};
    EXPECT_EQ(Events(log.events.begin(), log.events.begin() + 4), expectedStart);
    ASSERT_EQ(windows.downloads.size(), 1u);  // missing on disk, whatever the version file says
    EXPECT_EQ(windows.downloads[0][0]->cFileName, "quorvel.exe");
    EXPECT_EQ(processes.started, (Events{client}));
}

TEST_F(StartupSequenceTest, UpdateModeWithoutAMainClientFileGoesOnWithoutDeleting) {
    files = FakeFileSystem();
    files.SetFile(versionFile, "");
    Answer({});

    EXPECT_EQ(Run("update"), MainEnd::MainClientMissing);

    for (const auto& call : files.Calls()) EXPECT_NE(call.operation, "DeleteFile");
    EXPECT_EQ(http.Urls().size(), 1u);
}

TEST_F(StartupSequenceTest, AFailedDeletionInUpdateModeIsIgnored) {
    files.FailDeletes("拒绝访问。");
    Answer({});

    EXPECT_EQ(Run("UPDATE"), MainEnd::MainClientStarted);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(StartupSequenceTest, ASecondCopyOnlySaysSoAndTouchesNothing) {
    instance.otherCopyRuns = true;

    EXPECT_EQ(Run("UPDATE"), MainEnd::AlreadyRunning);

    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{"系统已经运行。", "提示", 0x1030}}));
    EXPECT_EQ(log.events, (Events{"box:系统已经运行。"}));  // no wait window, no kill, no start
    EXPECT_TRUE(files.Calls().empty());
    EXPECT_TRUE(http.Urls().empty());
}

TEST_F(StartupSequenceTest, AMissingVersionFileEndsBeforeAnyRequest) {
    files = FakeFileSystem();
    files.SetFile(client, "MZ");

    EXPECT_EQ(Run(), MainEnd::VersionFileUnreadable);

    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("错误原因：找不到" + versionFile + "文件"), std::string::npos);
    EXPECT_EQ(Boxes()[0].flags, kErrorFlags);
    EXPECT_TRUE(http.Urls().empty());
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(StartupSequenceTest, MissingSettingsEndBeforeAnyRequestWithTheirMessage) {
    settings.failure = "配置文件 startqvl.ini 缺少 [Update] 节中的 ServiceUrl。";

    EXPECT_EQ(Run(), MainEnd::SettingsMissing);

    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{settings.failure, "错误", kErrorFlags}}));
    EXPECT_TRUE(http.Urls().empty());
}

TEST_F(StartupSequenceTest, AFailedRequestShowsTheNetworkErrorAndLeavesTheVersionFile) {
    const std::string before = VersionFile();
    http.QueueFailure();

    EXPECT_EQ(Run(), MainEnd::RequestFailed);

    const std::string text = "获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。";
    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{text, "错误", kErrorFlags}}));
    EXPECT_EQ(VersionFile(), before);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_FALSE(windows.wait.exists);
}

TEST_F(StartupSequenceTest, AnUnreadableAnswerCountsAsAFailedRequest) {
    http.QueueDocument(std::make_unique<FakeXmlDocument>());  // not XML at all

    EXPECT_EQ(Run(), MainEnd::RequestFailed);
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(StartupSequenceTest, ARefusalShowsTheServicesMessageAndStartsNothing) {
    const std::string before = VersionFile();
    Answer({File("quorvel.exe", "9")}, "2", "客户编号无效。");

    EXPECT_EQ(Run(), MainEnd::ServiceRefused);

    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{"客户编号无效。", "错误", kErrorFlags}}));
    EXPECT_EQ(VersionFile(), before);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_TRUE(windows.downloads.empty());
}

TEST_F(StartupSequenceTest, ARefusalWithoutAMessageStillSaysWhatHappened) {
    Answer({}, "0", "");

    EXPECT_EQ(Run(), MainEnd::ServiceRefused);

    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("0"), std::string::npos);
    EXPECT_FALSE(Boxes()[0].text.empty());
}

TEST_F(StartupSequenceTest, OnlyOutOfDateFilesGoToTheDownloadWindowAsTheAnswersOwnEntries) {
    files.SetFile(versionFile, "quorvel.exe=7\r\nLumen_Control.ocx=2\r\n");
    files.SetFile(folder + "\\Lumen_Control.ocx", "ocx");
    Answer({File("quorvel.exe", "7"), File("Lumen_Control.ocx", "3"), File("new.dll", "1")});

    EXPECT_EQ(Run(), MainEnd::MainClientStarted);

    ASSERT_EQ(windows.downloads.size(), 1u);
    const auto& list = windows.downloads[0];
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->cFileName, "Lumen_Control.ocx");
    EXPECT_EQ(list[1]->cFileName, "new.dll");
    EXPECT_EQ(std::find(log.events.begin(), log.events.end(), "download:2") - log.events.begin(),
              std::find(log.events.begin(), log.events.end(), "wait:hide") - log.events.begin() + 1);
}

TEST_F(StartupSequenceTest, ACancelledDownloadLeavesTheVersionFileExactlyAsRead) {
    const std::string before = "# 注释\r\nquorvel.exe=3\r\n";
    files.SetFile(versionFile, before);
    Answer({File("quorvel.exe", "7")});
    windows.download = [](const UpdateFileList&) { return false; };

    EXPECT_EQ(Run(), MainEnd::DownloadNotCompleted);

    EXPECT_EQ(VersionFile(), before);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_TRUE(Boxes().empty());  // the download window has said why
}

TEST_F(StartupSequenceTest, EveryListedEntryIsWrittenInTheAnswersOrderAfterTheUnlistedOnes) {
    files.SetFile(versionFile, "a.ocx=1\r\nold.dll=5\r\nB.DLL=7\r\nquorvel.exe=7\r\n");
    files.SetFile(folder + "\\b.dll", "dll");
    files.SetFile(folder + "\\a.ocx", "ocx");
    Answer({File("b.dll", "7"), File("a.ocx", "3"), File("quorvel.exe", "-2")});

    EXPECT_EQ(Run(), MainEnd::MainClientStarted);

    EXPECT_EQ(VersionFile(), "old.dll=5\r\nb.dll=7\r\na.ocx=3\r\nquorvel.exe=-2\r\n");
}

TEST_F(StartupSequenceTest, AnEmptyListSkipsTheDownloadWindowButStillRewritesTheFile) {
    files.SetFile(versionFile, "# 注释\r\n\r\nno equals sign\r\nx.dll=1\r\n");
    Answer({});

    EXPECT_EQ(Run(), MainEnd::MainClientStarted);

    EXPECT_TRUE(windows.downloads.empty());
    EXPECT_EQ(VersionFile(), "x.dll=1\r\n");
}

TEST_F(StartupSequenceTest, AVersionFileThatCannotBeWrittenEndsWithoutStarting) {
    const std::string before = VersionFile();
    files.FailReplaces("磁盘已满。");
    Answer({File("quorvel.exe", "7")});

    EXPECT_EQ(Run(), MainEnd::VersionFileNotWritten);

    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("错误原因：磁盘已满。"), std::string::npos);
    EXPECT_EQ(VersionFile(), before);
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(StartupSequenceTest, AMissingMainClientAtLaunchIsReported) {
    files = FakeFileSystem();
    files.SetFile(versionFile, "");
    Answer({});

    EXPECT_EQ(Run(), MainEnd::MainClientMissing);

    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{"系统主程序文件丢失。", "错误", kErrorFlags}}));
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(VersionFile(), "");  // the versions were recorded before the launch step
}

TEST_F(StartupSequenceTest, AMainClientThatCannotBeStartedIsReported) {
    processes.startFailure = "不是有效的 Win32 应用程序。";
    Answer({});

    EXPECT_EQ(Run(), MainEnd::MainClientNotStarted);

    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{processes.startFailure, "错误", kErrorFlags}}));
}

class ThrowingHttp : public IHttpClient {
public:
    bool HttpGetXml(const std::string&, std::unique_ptr<IXmlDocument>&) override {
        throw std::runtime_error("内存不足");
    }
};

TEST_F(StartupSequenceTest, AnUnforeseenFailureIsReportedAndEndsTheSequence) {
    ThrowingHttp throwing;
    LauncherServices failing{boxSpy, files,    processes, clock,   random,  throwing,
                             system, instance, settings,  windows, install, folder};

    EXPECT_EQ(Main("", failing), MainEnd::UnexpectedFailure);

    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{"内存不足", "错误", kErrorFlags}}));
    EXPECT_FALSE(windows.wait.exists);
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(StartupSequenceTest, PublisherKeysThatAreNoKeysEndBeforeAnyRequest) {
    settings.values.publisherKeys = "AAAA";
    Answer({File("quorvel.exe", "7")});

    EXPECT_EQ(Run(), MainEnd::SettingsMissing);

    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("PublisherKeys"), std::string::npos);
    EXPECT_EQ(Boxes()[0].flags, kErrorFlags);
    EXPECT_TRUE(http.Urls().empty());
}

TEST_F(StartupSequenceTest, WithKeysAnUnsignedAnswerIsAFailedRequest) {
    settings.values.publisherKeys = std::string(86, 'A') + "==";  // a 64-byte key
    FakeSignatureVerifier verifier;
    services.verifier = &verifier;
    const std::string before = VersionFile();
    Answer({File("quorvel.exe", "8")});

    EXPECT_EQ(Run(), MainEnd::RequestFailed);

    EXPECT_EQ(Boxes(),
              (std::vector<ShownBox>{{"获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。",
                                      "错误", kErrorFlags}}));
    EXPECT_EQ(VersionFile(), before);
    EXPECT_TRUE(windows.downloads.empty());
    EXPECT_TRUE(processes.started.empty());
}

}  // namespace
}  // namespace launcher
