#include "updservice/DelegatedUpdate.h"

#include <gtest/gtest.h>

#include <deque>

#include "launcher/tests/support/FakeClock.h"
#include "launcher/tests/support/FakeDownload.h"
#include "launcher/tests/support/FakeMessageBox.h"
#include "launcher/tests/support/FakeWindows.h"

namespace updservice {
namespace {

using launcher::MainEnd;
using launcher::ProgressBar;
using launcher::ShownBox;

// The service's side as a script: each Receive hands over the next record,
// or lets the asked time pass on the clock when the script has run out.
class ScriptedLink : public IServiceLink {
public:
    explicit ScriptedLink(launcher::FakeClock& clock) : clock_(clock) {}
    bool Open() override { return open; }
    bool Send(const Record& record) override {
        sent.push_back(record);
        return sendWorks;
    }
    Incoming Receive(std::uint32_t milliseconds) override {
        ++receives;
        if (onReceive) onReceive(receives);
        if (script.empty()) {
            clock_.Advance(milliseconds);
            return {LinkStatus::TimedOut, std::nullopt, {}};
        }
        Incoming next = std::move(script.front());
        script.pop_front();
        return next;
    }
    void Then(Record record) { script.push_back({LinkStatus::Ok, std::move(record), {}}); }

    bool open = true;
    bool sendWorks = true;
    std::deque<Incoming> script;
    std::vector<Record> sent;
    int receives = 0;
    std::function<void(int)> onReceive;

private:
    launcher::FakeClock& clock_;
};

ProgressRecord Progress(std::int32_t value, std::int32_t length, std::int32_t overall, const std::string& line) {
    return {0, length, value, length == 0, 0, 300, overall, line, "已下载 " + std::to_string(value)};
}

class DelegatedUpdateTest : public ::testing::Test {
protected:
    launcher::EventLog events;
    launcher::FakeClock clock;
    ScriptedLink link{clock};
    launcher::FakeWindowFactory windows{events};
    launcher::FakeMessageBox boxes;
    launcher::FakeDownloadView view;
    DelegatedUpdate update{link, clock, nullptr, 60000};
    std::unique_ptr<launcher::IWaitWindow> wait = windows.CreateWaitWindow();

    void SetUp() override {
        windows.work = [this](launcher::IDownloadWork& work) { return work.Run(view); };
    }
    MainEnd Run() { return update.Update(*wait, windows, boxes); }
};

TEST_F(DelegatedUpdateTest, TheServiceRecordsAreShownAsTheLauncherShowsItsOwnUpdate) {
    link.Then(WaitTextRecord{"正在连接远程服务..."});
    link.Then(WaitTextRecord{"仍在连接..."});
    link.Then(WaitTextRecord{""});
    link.Then(Progress(0, 0, 0, "文件升级进度"));
    link.Then(Progress(4096, 8192, 0, "正在升级第 1/3 个文件（***ntrol.ocx)..."));
    link.Then(Progress(8192, 8192, 100, "正在升级第 1/3 个文件（***ntrol.ocx)..."));
    link.Then(DownloadEndRecord{});
    link.Then(ResultRecord{ResultCode::Done, "", 0});

    EXPECT_EQ(Run(), MainEnd::Updated);

    EXPECT_EQ(link.sent, (std::vector<Record>{RequestRecord{}}));
    EXPECT_EQ(events.events,
              (std::vector<std::string>{"wait:create", "wait:show 正在连接远程服务...", "wait:hide", "download:work"}));
    EXPECT_EQ(windows.wait.prompt, "仍在连接...");
    EXPECT_EQ(view.all.max, 300);
    EXPECT_EQ(view.all.values.back(), 100);
    EXPECT_EQ(view.file.max, 8192);
    EXPECT_FALSE(view.file.indeterminate);
    EXPECT_EQ(view.file.values.back(), 8192);
    EXPECT_EQ(view.fileTexts, (std::vector<std::string>{"文件升级进度", "正在升级第 1/3 个文件（***ntrol.ocx)..."}));
    EXPECT_EQ(view.speedTexts.back(), "已下载 8192");
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(DelegatedUpdateTest, AnUnknownLengthMovesTheFileBarWithoutAValue) {
    link.Then(Progress(100, 0, 0, "x"));
    link.Then(DownloadEndRecord{});
    link.Then(ResultRecord{ResultCode::Done, "", 0});
    EXPECT_EQ(Run(), MainEnd::Updated);
    EXPECT_TRUE(view.file.indeterminate);
}

TEST_F(DelegatedUpdateTest, BoxesDuringAndAfterTheDownloadAreShownAndTheFailureKeepsItsExitStatus) {
    link.Then(Progress(0, 100, 0, "a"));
    link.Then(BoxRecord{"可能网络不稳定，目前无法下载文件。", "提示", 0x1030});
    link.Then(DownloadEndRecord{});
    link.Then(ResultRecord{ResultCode::Failed, "可能网络不稳定，目前无法下载文件。", 16});

    EXPECT_EQ(Run(), MainEnd::DownloadNotCompleted);
    EXPECT_EQ(boxes.Shown(), (std::vector<ShownBox>{{"可能网络不稳定，目前无法下载文件。", "提示", 0x1030}}));
}

TEST_F(DelegatedUpdateTest, EveryFailureStatusComesBackAsTheSameEnd) {
    const struct {
        std::uint32_t status;
        MainEnd end;
    } cases[] = {
        {11, MainEnd::VersionFileUnreadable}, {13, MainEnd::RequestFailed},         {14, MainEnd::AnswerRefused},
        {15, MainEnd::ServiceRefused},        {18, MainEnd::VersionFileNotWritten}, {0, MainEnd::DownloadNotCompleted},
        {99, MainEnd::DownloadNotCompleted},
    };
    for (const auto& c : cases) {
        ScriptedLink scripted(clock);
        DelegatedUpdate delegated(scripted, clock, nullptr, 60000);
        scripted.Then(ResultRecord{ResultCode::Failed, "x", c.status});
        EXPECT_EQ(delegated.Update(*wait, windows, boxes), c.end) << c.status;
    }
}

TEST_F(DelegatedUpdateTest, CancelInTheWindowIsSentOnceAndTheServiceDecidesTheEnd) {
    link.Then(Progress(0, 100, 0, "a"));
    link.onReceive = [this](int receive) {
        if (receive == 3) view.cancel = true;
        if (receive == 6) {
            link.Then(Progress(50, 100, 0, "a"));
            link.Then(DownloadEndRecord{});
            link.Then(ResultRecord{ResultCode::Cancelled, "", 17});
        }
    };

    EXPECT_EQ(Run(), MainEnd::Cancelled);
    EXPECT_EQ(link.sent, (std::vector<Record>{RequestRecord{}, CancelRecord{}}));
}

TEST_F(DelegatedUpdateTest, RefusalsAndABusyServiceAreToldInABox) {
    link.Then(ResultRecord{ResultCode::Refused, "注册表项中没有有效的 PublisherKeys"});
    EXPECT_EQ(Run(), MainEnd::SettingsMissing);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("注册表项中没有有效的 PublisherKeys"), std::string::npos);

    link.Then(ResultRecord{ResultCode::Busy, "另一个更新正在进行，请稍后再试。"});
    EXPECT_EQ(Run(), MainEnd::DownloadNotCompleted);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].text, "另一个更新正在进行，请稍后再试。");
}

TEST_F(DelegatedUpdateTest, ABrokenOrSilentServiceEndsTheUpdateWithABox) {
    const struct {
        const char* name;
        std::function<void(ScriptedLink&)> script;
    } cases[] = {
        {"silent", [](ScriptedLink&) {}},
        {"closed",
         [](ScriptedLink& l) {
             l.script.push_back({LinkStatus::Closed, std::nullopt, {}});
         }},
        {"closed mid-download",
         [](ScriptedLink& l) {
             l.Then(Progress(0, 100, 0, "a"));
             l.script.push_back({LinkStatus::Closed, std::nullopt, {}});
         }},
        {"silent mid-download", [](ScriptedLink& l) { l.Then(Progress(0, 100, 0, "a")); }},
        {"bad record",
         [](ScriptedLink& l) {
             l.script.push_back({LinkStatus::BadRecord, std::nullopt, "坏记录"});
         }},
        {"client record", [](ScriptedLink& l) { l.Then(RequestRecord{}); }},
        {"request not sent", [](ScriptedLink& l) { l.sendWorks = false; }},
    };
    for (const auto& c : cases) {
        launcher::FakeMessageBox shown;
        ScriptedLink scripted(clock);
        c.script(scripted);
        DelegatedUpdate delegated(scripted, clock, nullptr, 60000);
        EXPECT_EQ(delegated.Update(*wait, windows, shown), MainEnd::DownloadNotCompleted) << c.name;
        ASSERT_EQ(shown.Shown().size(), 1u) << c.name;
        EXPECT_EQ(shown.Shown()[0].text.rfind("与更新服务的连接中断：", 0), 0u) << c.name;
        EXPECT_LE(scripted.receives, 60000 / 100 + 3) << c.name;
        EXPECT_FALSE(windows.wait.shown) << c.name;
    }
}

}  // namespace
}  // namespace updservice
