#include "launcher/modMain.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "launcher/tests/support/FakeClock.h"
#include "launcher/tests/support/FakeDownload.h"
#include "launcher/tests/support/FakeFileSystem.h"
#include "launcher/tests/support/FakeHttpClient.h"
#include "launcher/tests/support/FakeMessageBox.h"
#include "launcher/tests/support/FakeProcesses.h"
#include "launcher/tests/support/FakeRandom.h"
#include "launcher/tests/support/FakeRunLog.h"
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
    settings.values = {"http://127.0.0.1:8080", "School01", "salt.for.tests", std::nullopt, "test settings"};
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

TEST_F(StartupSequenceTest, AnUnreadableAnswerFailsTheRequestAsRefused) {
    http.QueueDocument(std::make_unique<FakeXmlDocument>());  // not XML at all

    EXPECT_EQ(Run(), MainEnd::AnswerRefused);
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

TEST_F(StartupSequenceTest, WithKeysAnUnsignedAnswerFailsTheRequestAsRefused) {
    settings.values.publisherKeys = std::string(86, 'A') + "==";  // a 64-byte key
    FakeSignatureVerifier verifier;
    services.verifier = &verifier;
    const std::string before = VersionFile();
    Answer({File("quorvel.exe", "8")});

    EXPECT_EQ(Run(), MainEnd::AnswerRefused);

    EXPECT_EQ(Boxes(),
              (std::vector<ShownBox>{{"获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。",
                                      "错误", kErrorFlags}}));
    EXPECT_EQ(VersionFile(), before);
    EXPECT_TRUE(windows.downloads.empty());
    EXPECT_TRUE(processes.started.empty());
}

class RunLogTest : public StartupSequenceTest {
protected:
    FakeRunLog runLog;
    void SetUp() override {
        StartupSequenceTest::SetUp();
        services.log = &runLog;
    }
    void ExpectLogged(const std::string& part) const {
        EXPECT_TRUE(runLog.Holds(part)) << part << "\n" << runLog.Text();
    }
};

TEST_F(RunLogTest, AnUpdateIsRecordedFromTheModeToTheEndWithoutTheSaltOrTheRequestSignature) {
    files.SetFile(versionFile, "quorvel.exe=7\r\nb.dll=1\r\n");
    files.SetFile(folder + "\\b.dll", "MZ");
    Answer({File("quorvel.exe", "7"), File("a.dll", "2"), File("b.dll", "3")});

    EXPECT_EQ(Run(), MainEnd::MainClientStarted);

    ExpectLogged("startqvl 3.24 in " + folder + ", mode normal");
    ExpectLogged(
        "settings from test settings: ServiceUrl http://127.0.0.1:8080, CustomerCode School01, SigningSalt "
        "present, PublisherKeys absent");
    ExpectLogged("request GET http://127.0.0.1:8080/api/GetProgramFiles.ashx?cid=School01&rnd=5000000&db=&sign=***");
    ExpectLogged("answer read: errorCode 1, errorMessage \"\", 3 entries, signatures not checked");
    ExpectLogged("entry \"quorvel.exe\" version 7: up to date (recorded version \"7\")");
    ExpectLogged("entry \"a.dll\" version 2: to update (no file " + folder + "\\a.dll)");
    ExpectLogged("entry \"b.dll\" version 3: to update (recorded version \"1\")");
    ExpectLogged("2 of 3 files to update");
    ExpectLogged("version file " + versionFile + " written with 3 versions");
    ExpectLogged("main client started: " + client);
    EXPECT_NE(runLog.lines.back().find("end: main client started, exit status 0"), std::string::npos);
    const std::string sign = http.Urls()[0].substr(http.Urls()[0].find("sign=") + 5);
    EXPECT_FALSE(runLog.Holds(sign));
    EXPECT_FALSE(runLog.Holds("salt.for.tests"));
}

TEST_F(RunLogTest, TheSaltIsMaskedEvenWhereTheServiceEchoesIt) {
    Answer({}, "2", "bad sign for salt.for.tests");

    EXPECT_EQ(Run("update"), MainEnd::ServiceRefused);

    ExpectLogged("mode UPDATE");
    ExpectLogged("update mode: main client file " + client + " deleted");
    ExpectLogged("errorMessage \"bad sign for ***\"");
    EXPECT_FALSE(runLog.Holds("salt.for.tests"));
    EXPECT_NE(runLog.lines.back().find("end: service refused the request, exit status 15"), std::string::npos);
}

TEST_F(RunLogTest, EachRefusedEntryNamesItsCheckAndItsFile) {
    const std::string key = std::string(86, 'A') + "==";
    struct Case {
        FakeXmlElement entry;
        const char* keys;
        const char* logged;
    };
    const Case cases[] = {
        {File("..", "1"), nullptr, "answer refused at entry 1 \"..\": name: "},
        {File("a\\b.dll", "1"), nullptr, "answer refused at entry 1 \"a\\b.dll\": name: "},
        {File("a.dll", "x"), nullptr, "answer refused at entry 1 \"a.dll\": version: "},
        {File("a.dll", "1"), key.c_str(), "answer refused at entry 1 \"a.dll\": digest: no cSHA256"},
    };
    for (const auto& c : cases) {
        FakeRunLog caseLog;
        services.log = &caseLog;
        settings.values.publisherKeys = c.keys ? std::optional<std::string>(c.keys) : std::nullopt;
        Answer({c.entry});
        EXPECT_EQ(Run(), MainEnd::AnswerRefused);
        EXPECT_TRUE(caseLog.Holds(c.logged)) << caseLog.Text();
        EXPECT_TRUE(caseLog.Holds("end: answer unreadable or not signed, exit status 14"));
        EXPECT_FALSE(caseLog.Holds(key)) << "key material in the log";
    }
}

TEST_F(RunLogTest, ASettingsErrorIsRecordedAndEndsWithItsStatus) {
    settings.failure = "设置文件 C:\\Q\\startqvl.ini 的 [Update] 节缺少 SigningSalt。";

    EXPECT_EQ(Run(), MainEnd::SettingsMissing);

    ExpectLogged("settings error: " + settings.failure);
    EXPECT_TRUE(http.Urls().empty());
}

TEST_F(RunLogTest, ACancelledUpdateEndsAsCancelledAndAFailedOneAsNotCompleted) {
    windows.download = [](const UpdateFileList&) { return false; };
    Answer({File("a.dll", "2")});
    windows.cancelled = true;
    EXPECT_EQ(Run(), MainEnd::Cancelled);
    Answer({File("a.dll", "2")});
    windows.cancelled = false;
    EXPECT_EQ(Run(), MainEnd::DownloadNotCompleted);
    ExpectLogged("end: cancelled, exit status 17");
}

class CheckTest : public RunLogTest {
protected:
    MainEnd Check() {
        instance.otherCopyRuns = true;  // a check runs beside a running launcher
        files.SetFile(folder + "\\a.dll", "MZ");
        return Run("check");
    }
    void ExpectUntouched(const std::string& versionBefore) {
        EXPECT_EQ(VersionFile(), versionBefore);
        EXPECT_TRUE(files.FileExists(client));
        EXPECT_TRUE(processes.started.empty());
        EXPECT_TRUE(windows.downloads.empty());
        EXPECT_FALSE(windows.wait.exists);
    }
};

TEST_F(CheckTest, AGoodServiceIsReportedWithTheEntriesThatWouldBeUpdated) {
    settings.values.publisherKeys = std::nullopt;
    const std::string before = VersionFile();
    Answer({File("quorvel.exe", "7"), File("a.dll", "2"), File("b.dll", "1")});

    EXPECT_EQ(Check(), MainEnd::CheckPassed);

    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].title, "提示");
    EXPECT_EQ(Boxes()[0].flags, 0x1040u);
    EXPECT_EQ(Boxes()[0].text,
              "设置：test settings，有效。\r\n发布者公钥：未设置，回答的签名不检查。\r\n"
              "升级服务 http://127.0.0.1:8080：可以连接，回答有效，共 3 个文件。\r\n"
              "需要升级的文件：2 个。\r\n\r\n检查通过。未下载、删除或启动任何文件。");
    ExpectUntouched(before);
    ExpectLogged("mode CHECK");
    ExpectLogged("end: check passed, exit status 0");
}

TEST_F(CheckTest, EachFailureIsReportedInOneErrorBoxWithItsStatus) {
    const std::string before = VersionFile();
    struct Case {
        std::function<void()> arrange;
        MainEnd end;
        const char* said;
    };
    const Case cases[] = {
        {[&] { http.QueueFailure(); }, MainEnd::RequestFailed, "：无法连接或没有回答。"},
        {[&] {
             settings.values.publisherKeys = std::string(86, 'A') + "==";
             Answer({File("a.dll", "2")});
         },
         MainEnd::AnswerRefused, "回答无法读取，或有未经发布者有效签名的项目。"},
        {[&] { Answer({}, "3", "停用"); }, MainEnd::ServiceRefused, "拒绝了请求（错误代码 3）：停用"},
        {[&] { settings.failure = "缺少 ServiceUrl。"; }, MainEnd::SettingsMissing, "设置无效：缺少 ServiceUrl。"},
        {[&] {
             files.FailReads("磁盘错误");
             Answer({});
         },
         MainEnd::VersionFileUnreadable, "版本文件无法读取："},
    };
    for (const auto& c : cases) {
        const std::size_t shownBefore = Boxes().size();
        settings.values.publisherKeys = std::nullopt;
        settings.failure.clear();
        c.arrange();
        EXPECT_EQ(Check(), c.end) << c.said;
        ASSERT_EQ(Boxes().size(), shownBefore + 1) << c.said;
        const ShownBox box = Boxes().back();
        EXPECT_EQ(box.flags, kErrorFlags);
        EXPECT_NE(box.text.find(c.said), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("检查未通过。"), std::string::npos);
        if (c.end != MainEnd::VersionFileUnreadable) ExpectUntouched(before);
    }
}

}  // namespace
}  // namespace launcher

namespace launcher {
namespace {

// The machine's update service as the sequence sees it.
class ScriptedDelegate : public IUpdateDelegate {
public:
    explicit ScriptedDelegate(EventLog& log) : log_(log) {}
    bool Available() override { return available; }
    MainEnd Update(IWaitWindow&, IWindowFactory&, IMessageBox&) override {
        log_.Add("delegate:update");
        if (onUpdate) onUpdate();
        return end;
    }
    bool available = true;
    MainEnd end = MainEnd::Updated;
    std::function<void()> onUpdate;

private:
    EventLog& log_;
};

class DelegationTest : public StartupSequenceTest {
protected:
    ScriptedDelegate service{log};
    void SetUp() override {
        StartupSequenceTest::SetUp();
        services.updateDelegate = &service;
    }
};

TEST_F(DelegationTest, WithTheServiceTheLauncherNeitherAsksNorWritesAndStartsTheClientItself) {
    EXPECT_EQ(Run(), MainEnd::MainClientStarted);

    EXPECT_TRUE(http.Urls().empty());
    for (const auto& call : files.Calls()) {
        EXPECT_TRUE(call.operation == "FileExists" || call.operation == "FolderExists") << call.operation;
    }
    EXPECT_EQ(log.events, (Events{"wait:create", "delegate:update", "wait:show 正在启动系统...", "start:" + client,
                                  "wait:destroy"}));
}

TEST_F(DelegationTest, UpdateModeStopsTheClientBeforeTheServiceUpdates) {
    processes.running = {"quorvel.exe"};
    service.onUpdate = [&] {
        EXPECT_FALSE(files.Content(client).has_value());  // deleted, so that the service fetches it again
        files.SetFile(client, "MZ new");
    };
    EXPECT_EQ(Run("UPDATE"), MainEnd::MainClientStarted);
    const Events expected{"wait:create", "wait:show 正在启动升级程序...", "kill:quorvel.exe", "wait:hide",
                          "delegate:update"};
    EXPECT_EQ(Events(log.events.begin(), log.events.begin() + 5), expected);
}

TEST_F(DelegationTest, AnUpdateThatDidNotEndWellStartsNothing) {
    for (const MainEnd end : {MainEnd::Cancelled, MainEnd::DownloadNotCompleted, MainEnd::ServiceRefused}) {
        service.end = end;
        processes.started.clear();
        EXPECT_EQ(Run(), end);
        EXPECT_TRUE(processes.started.empty());
    }
}

TEST_F(DelegationTest, WithoutTheServiceTheLauncherUpdatesItself) {
    service.available = false;
    Answer({File("quorvel.exe", "7")});
    EXPECT_EQ(Run(), MainEnd::MainClientStarted);
    EXPECT_EQ(http.Urls().size(), 1u);
    for (const auto& event : log.events) EXPECT_NE(event, "delegate:update");
}

class RefuseNamed : public IEntryCheck {
public:
    std::optional<std::string> Refuse(const clsProgramFile& entry) override {
        if (entry.cFileName == "evil.dll") return "程序文件 evil.dll 的目标位置不允许";
        return std::nullopt;
    }
};

class ServiceModeTest : public StartupSequenceTest {};

TEST_F(ServiceModeTest, TheUpdateAloneRunsWithoutTheInstanceTestAndStartsNothing) {
    instance.otherCopyRuns = true;  // a launcher waiting for the service holds the lock
    processes.running = {"quorvel.exe"};
    Answer({File("quorvel.exe", "8")});
    windows.download = [&](const UpdateFileList&) { return true; };

    EXPECT_EQ(UpdateInstallation(services), MainEnd::Updated);

    EXPECT_TRUE(processes.started.empty());
    for (const auto& event : log.events) EXPECT_NE(event, "kill:quorvel.exe");
    EXPECT_EQ(VersionFile(), "quorvel.exe=8\r\n");
}

TEST_F(ServiceModeTest, AnEntryThatMayNotBeWrittenStopsTheUpdateBeforeAnyDownload) {
    RefuseNamed check;
    services.entryCheck = &check;
    Answer({File("quorvel.exe", "8"), File("evil.dll", "1")});

    EXPECT_EQ(UpdateInstallation(services), MainEnd::DownloadNotCompleted);

    EXPECT_TRUE(windows.downloads.empty());
    EXPECT_EQ(Boxes(), (std::vector<ShownBox>{{"程序文件 evil.dll 的目标位置不允许", "错误", kErrorFlags}}));
    EXPECT_EQ(VersionFile(), "# 版本记录\r\nquorvel.exe=7\r\n");
}

}  // namespace
}  // namespace launcher
