// The simulator over real loopback sockets, served on a thread of the test.
#include "testbed/terminal-sim/SimulatorServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace terminal_sim {
namespace {

class Client {
public:
    explicit Client(int port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(fd_); }
    bool Connected() const { return connected_; }

    void Send(const std::string& line) { ::send(fd_, (line + "\n").data(), line.size() + 1, MSG_NOSIGNAL); }

    // The next line, "<closed>" when the peer closed, or "<none>" after `waitMs`.
    std::string Receive(int waitMs = 20000) {
        while (true) {
            if (auto line = lines_.Next()) return *line;
            pollfd watched{fd_, POLLIN, 0};
            if (::poll(&watched, 1, waitMs) <= 0) return "<none>";
            char buffer[512];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) return "<closed>";
            lines_.Add(std::string_view(buffer, static_cast<std::size_t>(n)));
        }
    }

    std::string Ask(const std::string& line) {
        Send(line);
        return Receive();
    }

private:
    int fd_;
    bool connected_ = false;
    LineSplitter lines_;
};

class SimulatorServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Open());
        runner_ = std::thread([this] { server_.Run(std::chrono::steady_clock::now() + std::chrono::seconds(120)); });
        control_ = std::make_unique<Client>(server_.ControlPort());
        ASSERT_TRUE(control_->Connected());
    }
    void TearDown() override {
        if (control_) control_->Ask("QUIT");
        if (runner_.joinable()) runner_.join();
    }
    int Port(int terminal) const { return server_.Ports().at(terminal - 1); }

    SimulatorServer server_{3, 1};
    std::thread runner_;
    std::unique_ptr<Client> control_;
};

TEST_F(SimulatorServerTest, EachTerminalAnswersOnItsOwnPort) {
    ASSERT_EQ(server_.Ports().size(), 3u);
    for (int terminal = 1; terminal <= 3; ++terminal) {
        Client client(Port(terminal));
        ASSERT_TRUE(client.Connected());
        EXPECT_EQ(client.Ask("HELLO"), "OK " + std::to_string(terminal));
        EXPECT_EQ(client.Ask("PROBE 1"), "OK TERMINAL " + std::to_string(terminal) + " MACHINE 1");
    }
    EXPECT_EQ(control_->Ask("NOPE"), "ERR unknown command NOPE");
}

TEST_F(SimulatorServerTest, StopClosesConnectionsAndRefusesNewOnesUntilStarted) {
    Client before(Port(2));
    EXPECT_EQ(before.Ask("HELLO"), "OK 2");
    EXPECT_EQ(control_->Ask("CONNECTIONS 2"), "OK 1");
    EXPECT_EQ(control_->Ask("STOP 2"), "OK 2:down");
    EXPECT_EQ(before.Receive(), "<closed>");
    EXPECT_FALSE(Client(Port(2)).Connected());
    EXPECT_EQ(control_->Ask("START 2"), "OK 2:up");
    Client after(Port(2));
    ASSERT_TRUE(after.Connected());
    EXPECT_EQ(after.Ask("HELLO"), "OK 2");
    EXPECT_EQ(control_->Ask("TRANSITIONS"), "OK 2:down 2:up");
}

TEST_F(SimulatorServerTest, SilentTerminalShakesHandsButLeavesProbesUnanswered) {
    EXPECT_EQ(control_->Ask("SILENT 1"), "OK");
    Client client(Port(1));
    EXPECT_EQ(client.Ask("HELLO"), "OK 1");
    client.Send("PROBE 1");
    EXPECT_EQ(client.Receive(300), "<none>");
    EXPECT_EQ(control_->Ask("ANSWER 1"), "OK");
    EXPECT_EQ(client.Ask("PROBE 1"), "OK TERMINAL 1 MACHINE 1");
}

TEST_F(SimulatorServerTest, NotificationReachesEveryConnectionOfTheTerminalOnly) {
    Client first(Port(3)), second(Port(3)), other(Port(1));
    EXPECT_EQ(first.Ask("HELLO"), "OK 3");
    EXPECT_EQ(second.Ask("HELLO"), "OK 3");
    EXPECT_EQ(other.Ask("HELLO"), "OK 1");
    EXPECT_EQ(control_->Ask("NOTIFY 3"), "OK 2");
    EXPECT_EQ(first.Receive(), "EVENT 19 3");
    EXPECT_EQ(second.Receive(), "EVENT 19 3");
    EXPECT_EQ(other.Ask("PROBE 1"), "OK TERMINAL 1 MACHINE 1");  // nothing pushed ahead of the answer
}

}  // namespace
}  // namespace terminal_sim
