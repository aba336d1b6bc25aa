// control-host: a container for the ActiveX controls, for the end-to-end
// tests. It shows one window with the controls in place and runs one command
// a line from stdin, each answered by one JSON line on stdout (commands in
// HostCommands.h). The first line is {"ready":true}, or {"ready":false,...}.
// Commands run on the window's thread between messages, so the controls keep
// working while the test waits; stdin is read on a thread of its own.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "HostCommands.h"
#include "HostWindow.h"
#include "JsonText.h"
#include "common/win32/WindowsApi.h"
#include <ole2.h>

namespace {

using control_host::HostCommands;
using control_host::HostWindow;

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

// Lines from the reader thread; an empty optional means end of input.
class LineQueue {
public:
    void Push(std::optional<std::string> line) {
        const std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
    }
    bool Pop(std::optional<std::string>& line) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (lines_.empty()) {
            return false;
        }
        line = std::move(lines_.front());
        lines_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::deque<std::optional<std::string>> lines_;
};

class Session {
public:
    bool Start() {
        if (!window_.Create([this] { RunQueued(); })) {
            return false;
        }
        commands_.emplace(window_.Handle(), window_.Other());
        return true;
    }

    void Read() {
        for (std::string line; std::getline(std::cin, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            queue_.Push(line);
            window_.Wake();
        }
        queue_.Push(std::nullopt);
        window_.Wake();
    }

    int Loop() {
        MSG message;
        while (!done_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!commands_->PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        commands_.reset();
        return 0;
    }

private:
    // Commands pump messages while they wait for input to be handled; a wake
    // that arrives then finds the session busy and leaves its line queued.
    void RunQueued() {
        if (busy_ || done_) {
            return;
        }
        busy_ = true;
        std::optional<std::string> line;
        while (!done_ && queue_.Pop(line)) {
            if (!line) {
                done_ = true;
            } else if (!line->empty()) {
                Print(commands_->Run(*line));
                done_ = commands_->Quitting();
            }
        }
        busy_ = false;
    }

    HostWindow window_;
    std::optional<HostCommands> commands_;
    LineQueue queue_;
    bool busy_ = false;
    bool done_ = false;
};

}  // namespace

int wmain() {
    if (FAILED(OleInitialize(nullptr))) {
        Print("{\"ready\":false,\"error\":\"OleInitialize\"}");
        return 2;
    }
    int exitCode = 1;
    {
        Session session;
        if (session.Start()) {
            Print("{\"ready\":true}");
            // Detached: it may be blocked in a read of stdin when the session ends.
            std::thread([&session] { session.Read(); }).detach();
            exitCode = session.Loop();
        } else {
            Print("{\"ready\":false,\"error\":\"window\"}");
        }
        std::fflush(stdout);
        if (exitCode == 0) {
            // The reader thread may still touch the session; leave without unwinding it.
            OleUninitialize();
            std::_Exit(0);
        }
    }
    OleUninitialize();
    return exitCode;
}
