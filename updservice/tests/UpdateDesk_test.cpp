#include "updservice/UpdateDesk.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <string>

#include "launcher/Base64.h"
#include "launcher/tests/support/FakeSignatureVerifier.h"
#include "updservice/RecordWriter.h"

namespace updservice {
namespace {

class FakeMachineKey : public launcher::ISettingsSource, public IInstallDirSource {
public:
    std::optional<std::string> missing;  // the settings source's error, when set
    std::optional<std::string> publisherKeys =
        launcher::EncodeBase64(launcher::TestKey(1).data(), launcher::TestKey(1).size());
    std::optional<std::string> installDir = "C:\\Program Files (x86)\\Quorvel\\";

    bool Load(launcher::LauncherSettings& settings, std::string& error) override {
        if (missing) {
            error = *missing;
            return false;
        }
        settings = {"http://127.0.0.1:8080", "School01", "salt", publisherKeys};
        return true;
    }
    std::optional<std::string> InstallDir() override { return installDir; }
};

class RecordingSink : public IRecordSink {
public:
    void Send(const Record& record) override { records.push_back(record); }
    std::vector<Record> records;
};

// Sends one progress record, then holds the update until released.
class HeldJob : public IUpdateJob {
public:
    ResultRecord Run(const UpdatePermit& permit, IRecordSink& sink, const std::atomic<bool>& cancel) override {
        permitSeen = permit;
        sink.Send(ProgressRecord{0, 2, 1, false, 0, 100, 0, "a.dll", "1"});
        started.set_value();
        std::unique_lock lock(mutex_);
        released_.wait(lock, [&] { return release_; });
        return {cancel ? ResultCode::Cancelled : ResultCode::Done, ""};
    }
    void Release() {
        std::lock_guard lock(mutex_);
        release_ = true;
        released_.notify_all();
    }
    std::promise<void> started;
    UpdatePermit permitSeen;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
};

const std::vector<unsigned char> kRequest = EncodeRecord(RequestRecord{});

ResultRecord ServeOnce(FakeMachineKey& key, IUpdateJob& job, const std::vector<unsigned char>& message = kRequest) {
    UpdateDesk desk(key, key, job);
    RecordingSink sink;
    std::atomic<bool> cancel = false;
    return desk.Serve(message, sink, cancel);
}

TEST(UpdateDesk, RefusesWithoutUsableMachineSettingsAndSaysWhy) {
    HeldJob job;
    job.Release();
    struct Case {
        const char* what;
        void (*change)(FakeMachineKey&);
        const char* reasonPart;
    };
    const Case cases[] = {
        {"no key", [](FakeMachineKey& k) { k.missing = "注册表项 HKLM\\... 不存在"; }, "不存在"},
        {"no PublisherKeys", [](FakeMachineKey& k) { k.publisherKeys.reset(); }, "缺少 PublisherKeys"},
        {"empty PublisherKeys", [](FakeMachineKey& k) { k.publisherKeys = ""; }, "PublisherKeys 不是"},
        {"bad PublisherKeys", [](FakeMachineKey& k) { k.publisherKeys = "abc"; }, "PublisherKeys 不是"},
        {"no InstallDir", [](FakeMachineKey& k) { k.installDir.reset(); }, "缺少 InstallDir"},
        {"empty InstallDir", [](FakeMachineKey& k) { k.installDir = ""; }, "缺少 InstallDir"},
        {"UNC InstallDir", [](FakeMachineKey& k) { k.installDir = "\\\\server\\Quorvel"; }, "UNC"},
        {"relative InstallDir", [](FakeMachineKey& k) { k.installDir = "Quorvel"; }, "InstallDir 不可用"},
        {"traversal", [](FakeMachineKey& k) { k.installDir = "C:\\Quorvel\\..\\Windows"; }, "“..”"},
        {"drive root", [](FakeMachineKey& k) { k.installDir = "C:\\"; }, "根目录"},
    };
    for (const Case& c : cases) {
        FakeMachineKey key;
        c.change(key);
        const ResultRecord result = ServeOnce(key, job);
        EXPECT_EQ(result.code, ResultCode::Refused) << c.what;
        EXPECT_NE(result.reason.find(c.reasonPart), std::string::npos) << c.what << ": " << result.reason;
    }
}

TEST(UpdateDesk, APermittedRequestRunsTheJobWithTheCheckedFolderAndKeys) {
    FakeMachineKey key;
    key.publisherKeys = launcher::EncodeBase64(launcher::TestKey(1).data(), 64) + ", " +
                        launcher::EncodeBase64(launcher::TestKey(2).data(), 64);
    HeldJob job;
    job.Release();
    EXPECT_EQ(ServeOnce(key, job).code, ResultCode::Done);
    EXPECT_EQ(job.permitSeen.installFolder, "C:\\Program Files (x86)\\Quorvel");
    EXPECT_EQ(job.permitSeen.keys, (std::vector<launcher::PublicKeyBytes>{launcher::TestKey(1), launcher::TestKey(2)}));
    EXPECT_EQ(job.permitSeen.settings.customerCode, "School01");
}

TEST(UpdateDesk, AnythingButAWellFormedRequestIsABadRecord) {
    FakeMachineKey key;
    HeldJob job;
    job.Release();
    std::vector<unsigned char> wrongVersion = kRequest;
    wrongVersion[4] = 9;
    const std::vector<unsigned char> messages[] = {
        {}, {'x', 'y'}, wrongVersion, EncodeRecord(CancelRecord{}), EncodeRecord(ResultRecord{ResultCode::Done, ""}),
    };
    for (const auto& message : messages) {
        const ResultRecord result = ServeOnce(key, job, message);
        EXPECT_EQ(result.code, ResultCode::BadRecord);
        EXPECT_FALSE(result.reason.empty());
    }
    EXPECT_NE(ServeOnce(key, job, wrongVersion).reason.find("版本 9"), std::string::npos);
}

TEST(UpdateDesk, ASecondRequestWhileOneRunsIsToldBusyAndTheNextOneAfterwardsRuns) {
    FakeMachineKey key;
    HeldJob job;
    UpdateDesk desk(key, key, job);
    RecordingSink firstSink;
    std::atomic<bool> cancel = false;
    auto first = std::async(std::launch::async, [&] { return desk.Serve(kRequest, firstSink, cancel); });
    ASSERT_EQ(job.started.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);

    RecordingSink secondSink;
    const ResultRecord busy = desk.Serve(kRequest, secondSink, cancel);
    EXPECT_EQ(busy.code, ResultCode::Busy);
    EXPECT_TRUE(secondSink.records.empty());

    cancel = true;
    job.Release();
    ASSERT_EQ(first.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(first.get().code, ResultCode::Cancelled);
    EXPECT_EQ(firstSink.records, (std::vector<Record>{ProgressRecord{0, 2, 1, false, 0, 100, 0, "a.dll", "1"}}));

    job.started = {};
    EXPECT_EQ(desk.Serve(kRequest, secondSink, cancel).code, ResultCode::Cancelled);
}

}  // namespace
}  // namespace updservice
