#include "monitor/clsCheckCommunicate.h"

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/AppError.h"

namespace monitor {
namespace {

struct FakeSdk : ITerminalSdk {
    std::map<int, bool> created;
    std::map<int, bool> connectAnswer;  // missing: true
    std::map<int, bool> probeAnswer;    // missing: true
    std::map<int, bool> throws;         // SDK raises an error instead of answering
    std::vector<std::string> calls;

    void Create(int i) override {
        if (created[i]) {
            throw qv::AppError(360, "对象已经加载");
        }
        created[i] = true;
    }
    bool Connect(int i, const std::string& address, long port) override {
        calls.push_back("connect " + std::to_string(i) + " [" + address + "] " + std::to_string(port));
        if (throws[i]) {
            throw std::runtime_error("SDK failure");
        }
        return connectAnswer.count(i) ? connectAnswer[i] : true;
    }
    void Disconnect(int i) override { calls.push_back("disconnect " + std::to_string(i)); }
    bool Probe(int i) override {
        calls.push_back("probe " + std::to_string(i));
        if (throws[i]) {
            throw std::runtime_error("SDK failure");
        }
        return probeAnswer.count(i) ? probeAnswer[i] : true;
    }
};

struct FakeTimer : IPollTimer {
    bool enabled = true;  // the object must switch it off
    void SetEnabled(bool on) override { enabled = on; }
};

struct FakePump : IMessagePump {
    std::function<void()> queued;  // what the pending messages do
    int runs = 0;
    void ProcessPendingMessages() override {
        ++runs;
        if (queued) {
            std::exchange(queued, nullptr)();
        }
    }
};

struct FakeEvents : IMonitorEvents {
    std::vector<std::string> raised;
    void OnDisconnect(long n) override { raised.push_back("OnDisconnect " + std::to_string(n)); }
    void OnConnectRestore(long n) override { raised.push_back("OnConnectRestore " + std::to_string(n)); }
};

class Monitor : public ::testing::Test {
protected:
    FakeSdk sdk;
    FakeTimer timer;
    FakePump pump;
    FakeEvents events;
    clsCheckCommunicate monitor{sdk, timer, pump, events};

    long ErrorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const qv::AppError& error) {
            return error.Number();
        }
        return 0;
    }
};

TEST_F(Monitor, StartsWithTheTimerOffAndSetCZKEMsContactsNobody) {
    EXPECT_FALSE(timer.enabled);
    monitor.SetCZKEMs("10.0.0.1,10.0.0.2", "4370,4371");
    EXPECT_TRUE(sdk.calls.empty());
    ASSERT_EQ(monitor.TerminalCount(), 2);
    EXPECT_FALSE(monitor.IsConnected(1));
    EXPECT_TRUE(monitor.NeedsCheck(2));
}

// Every row of the per-terminal transition table, from both starting states.
struct Transition {
    const char* cause;
    bool connectedBefore;
    std::function<void(Monitor&, FakeSdk&, FakePump&, clsCheckCommunicate&)> act;
    bool connectedAfter;
    std::vector<std::string> events;
};

TEST_F(Monitor, EveryRowOfTheTransitionTable) {
    using Act = std::function<void(Monitor&, FakeSdk&, FakePump&, clsCheckCommunicate&)>;
    const Act startOk = [](Monitor&, FakeSdk& s, FakePump&, clsCheckCommunicate& m) {
        s.connectAnswer[1] = true;
        m.StartCheck();
    };
    const Act startFails = [](Monitor&, FakeSdk& s, FakePump&, clsCheckCommunicate& m) {
        s.connectAnswer[1] = false;
        m.StartCheck();
    };
    const Act pollConnects = [](Monitor&, FakeSdk& s, FakePump&, clsCheckCommunicate& m) {
        s.connectAnswer[1] = true;
        m.m_oTimer_Timer();
    };
    const Act pollConnectFails = [](Monitor&, FakeSdk& s, FakePump&, clsCheckCommunicate& m) {
        s.connectAnswer[1] = false;
        m.m_oTimer_Timer();
    };
    const Act statusTrue = [](Monitor&, FakeSdk&, FakePump&, clsCheckCommunicate& m) { m.SetMachineStatus(1, true); };
    const Act statusFalse = [](Monitor&, FakeSdk&, FakePump&, clsCheckCommunicate& m) { m.SetMachineStatus(1, false); };
    const Act probeFails = [](Monitor&, FakeSdk& s, FakePump&, clsCheckCommunicate& m) {
        s.probeAnswer[1] = false;
        m.m_oTimer_Timer();
    };
    const Act probeFailsNotified = [](Monitor&, FakeSdk& s, FakePump& p, clsCheckCommunicate& m) {
        s.probeAnswer[1] = false;
        p.queued = [&m] { m.OnTerminalNotification(1); };
        m.m_oTimer_Timer();
    };
    const Act probeOk = [](Monitor&, FakeSdk& s, FakePump&, clsCheckCommunicate& m) {
        s.probeAnswer[1] = true;
        m.m_oTimer_Timer();
    };
    const Act probeThrows = [](Monitor&, FakeSdk& s, FakePump&, clsCheckCommunicate& m) {
        s.throws[1] = true;
        m.m_oTimer_Timer();
    };
    const Act connectThrowsInPoll = probeThrows;

    const std::vector<Transition> rows = {
        {"StartCheck connects", false, startOk, true, {}},
        {"StartCheck connects", true, startOk, true, {}},
        {"StartCheck fails", true, startFails, false, {}},
        {"StartCheck fails", false, startFails, false, {}},
        {"poll connects", false, pollConnects, true, {"OnConnectRestore 1"}},
        {"poll connect fails", false, pollConnectFails, false, {}},
        {"SetMachineStatus true", false, statusTrue, true, {}},
        {"SetMachineStatus true", true, statusTrue, true, {}},
        {"SetMachineStatus false", true, statusFalse, false, {}},
        {"SetMachineStatus false", false, statusFalse, false, {}},
        {"probe fails, no notification", true, probeFails, false, {"OnDisconnect 1"}},
        {"probe fails, notification in the pump", true, probeFailsNotified, true, {}},
        {"probe answers", true, probeOk, true, {}},
        {"probe raises an error: counts as false", true, probeThrows, false, {"OnDisconnect 1"}},
        {"connect raises an error in a poll: counts as false", false, connectThrowsInPoll, false, {}},
    };
    for (const Transition& row : rows) {
        SCOPED_TRACE(std::string(row.cause) + (row.connectedBefore ? " from connected" : " from disconnected"));
        FakeSdk s;
        FakeTimer t;
        FakePump p;
        FakeEvents e;
        clsCheckCommunicate m(s, t, p, e);
        m.SetCZKEMs("10.0.0.1", "4370");
        m.SetMachineStatus(1, row.connectedBefore);
        row.act(*this, s, p, m);
        EXPECT_EQ(m.IsConnected(1), row.connectedAfter);
        EXPECT_EQ(e.raised, row.events);
        EXPECT_TRUE(m.NeedsCheck(1));
    }
}

TEST_F(Monitor, PollWalksEveryTerminalInOrderWithTheRightCalls) {
    monitor.SetCZKEMs("a, b ,", "1,2,3,99");
    sdk.connectAnswer = {{1, true}, {2, false}, {3, true}};
    monitor.StartCheck();
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(sdk.calls, (std::vector<std::string>{"connect 1 [a] 1", "connect 2 [ b ] 2", "connect 3 [] 3"}));
    EXPECT_TRUE(events.raised.empty());

    sdk.calls.clear();
    sdk.probeAnswer[3] = false;
    sdk.connectAnswer[2] = true;
    monitor.m_oTimer_Timer();
    EXPECT_EQ(sdk.calls, (std::vector<std::string>{"probe 1", "connect 2 [ b ] 2", "probe 3"}));
    EXPECT_EQ(events.raised, (std::vector<std::string>{"OnConnectRestore 2", "OnDisconnect 3"}));
    EXPECT_EQ(pump.runs, 1);  // only after the failed probe

    // A terminal that stays down raises nothing further.
    events.raised.clear();
    sdk.connectAnswer[3] = false;
    monitor.m_oTimer_Timer();
    monitor.m_oTimer_Timer();
    EXPECT_TRUE(events.raised.empty());
}

TEST_F(Monitor, ANotifiedTerminalIsSkippedByTheNextPollOnly) {
    monitor.SetCZKEMs("a,b", "1,2");
    sdk.connectAnswer = {{1, true}, {2, false}};
    monitor.StartCheck();
    monitor.OnTerminalNotification(1);
    monitor.OnTerminalNotification(2);
    sdk.calls.clear();
    sdk.connectAnswer[2] = true;
    monitor.m_oTimer_Timer();
    EXPECT_TRUE(sdk.calls.empty());
    EXPECT_TRUE(events.raised.empty());
    EXPECT_TRUE(monitor.NeedsCheck(1) && monitor.NeedsCheck(2));
    monitor.m_oTimer_Timer();
    EXPECT_EQ(sdk.calls, (std::vector<std::string>{"probe 1", "connect 2 [b] 2"}));
    EXPECT_EQ(events.raised, (std::vector<std::string>{"OnConnectRestore 2"}));
}

TEST_F(Monitor, EndCheckKeepsConnectionsAndStartCheckAgainRaisesNothing) {
    monitor.SetCZKEMs("a,b", "1,2");
    sdk.connectAnswer = {{1, true}, {2, false}};
    monitor.StartCheck();
    monitor.EndCheck();
    EXPECT_FALSE(timer.enabled);
    sdk.connectAnswer[2] = true;
    monitor.StartCheck();
    EXPECT_TRUE(timer.enabled);
    EXPECT_TRUE(monitor.IsConnected(2));
    EXPECT_TRUE(events.raised.empty());
    EXPECT_EQ(std::count(sdk.calls.begin(), sdk.calls.end(), "disconnect 1"), 0);
}

TEST_F(Monitor, ClientCallsDuringThePumpChangeTheFlagsTheRestOfThePollSees) {
    monitor.SetCZKEMs("a,b", "1,2");
    monitor.StartCheck();
    sdk.probeAnswer[1] = false;
    pump.queued = [this] { monitor.SetMachineStatus(2, false); };
    sdk.connectAnswer[2] = true;
    monitor.m_oTimer_Timer();
    EXPECT_EQ(events.raised, (std::vector<std::string>{"OnDisconnect 1", "OnConnectRestore 2"}));
}

struct FailureCase {
    const char* name;
    const char* ips;
    const char* ports;
    long error;
    std::vector<std::string> connectsBeforeFailing;
};

TEST_F(Monitor, StartCheckFailuresLeaveTheTimerOff) {
    const FailureCase cases[] = {
        {"no SetCZKEMs", nullptr, nullptr, 9, {}},
        {"empty address text", "", "1", 9, {}},
        {"fewer ports than addresses", "a,b,c", "1,2", 9, {"connect 1 [a] 1", "connect 2 [b] 2"}},
        {"port not a number", "a,b", "1,x", 13, {"connect 1 [a] 1"}},
        {"port beyond 32 bits", "a", "4294967296", 6, {}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSdk s;
        FakeTimer t;
        FakePump p;
        FakeEvents e;
        clsCheckCommunicate m(s, t, p, e);
        if (c.ips) {
            m.SetCZKEMs(c.ips, c.ports);
        }
        EXPECT_EQ(ErrorOf([&] { m.StartCheck(); }), c.error);
        EXPECT_FALSE(t.enabled);
        EXPECT_EQ(s.calls, c.connectsBeforeFailing);
    }
}

TEST_F(Monitor, SetMachineStatusOutsideThePositionsFailsAndRecordsNothing) {
    monitor.SetCZKEMs("a,b", "1,x");
    for (int index : {0, 3, -1}) {
        EXPECT_EQ(ErrorOf([&] { monitor.SetMachineStatus(index, true); }), 9);
    }
    EXPECT_EQ(ErrorOf([&] { monitor.SetMachineStatus(2, true); }), 13);
    EXPECT_FALSE(monitor.IsConnected(2));
    EXPECT_TRUE(sdk.calls.empty());
    EXPECT_TRUE(events.raised.empty());
}

TEST_F(Monitor, ASecondSetCZKEMsReplacesTheListsThenFails) {
    monitor.SetCZKEMs("a,b", "1,2");
    EXPECT_EQ(ErrorOf([&] { monitor.SetCZKEMs("c", "7"); }), 360);
    EXPECT_EQ(monitor.TerminalCount(), 2);
    // The flags keep two positions while the lists hold one: StartCheck runs out.
    EXPECT_EQ(ErrorOf([&] { monitor.StartCheck(); }), 9);
    EXPECT_EQ(sdk.calls, (std::vector<std::string>{"connect 1 [c] 7"}));
}

TEST_F(Monitor, PollBeforeSetCZKEMsIsSubscriptOutOfRange) {
    EXPECT_EQ(ErrorOf([&] { monitor.m_oTimer_Timer(); }), 9);
}

}  // namespace
}  // namespace monitor
