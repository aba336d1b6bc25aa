#include "PipeServer.h"

#include <atomic>
#include <list>
#include <memory>
#include <thread>

#include "SecurityDescriptor.h"
#include "common/win32/TextConvert.h"
#include "updservice/UpdateRecords.h"

namespace updservice::win {
namespace {

constexpr DWORD kPipeBuffer = 64 * 1024;
constexpr DWORD kRetryMs = 1000;

struct Connection {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
};

// The connection threads, joined once they have ended.
class Connections {
public:
    int Running() {
        Reap();
        return static_cast<int>(list_.size());
    }
    void Start(qv::win::UniqueHandle pipe, UpdateDesk& desk, HANDLE stop, ServiceLog& log) {
        Connection& connection = list_.emplace_back();
        connection.thread =
            std::thread([pipe = std::move(pipe), &desk, stop, &log, ended = connection.ended]() mutable {
                ServeConnection(std::move(pipe), desk, stop, log);
                *ended = true;
            });
    }
    // Waits up to `milliseconds` for every connection; those still running are left to the process's end.
    void Drain(DWORD milliseconds) {
        const ULONGLONG deadline = GetTickCount64() + milliseconds;
        while (Running() > 0 && GetTickCount64() < deadline) Sleep(50);
        for (Connection& connection : list_) connection.thread.detach();
        list_.clear();
    }

private:
    void Reap() {
        for (auto it = list_.begin(); it != list_.end();) {
            if (*it->ended) {
                it->thread.join();
                it = list_.erase(it);
            } else {
                ++it;
            }
        }
    }
    std::list<Connection> list_;
};

enum class Waited { Connected, Stopped, Failed };

// Waits for a client on a fresh instance, looking at `stop` every second.
Waited AwaitClient(HANDLE pipe, HANDLE stop) {
    const qv::win::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return Waited::Failed;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.Get();
    if (ConnectNamedPipe(pipe, &overlapped)) return Waited::Connected;
    if (GetLastError() == ERROR_PIPE_CONNECTED) return Waited::Connected;
    if (GetLastError() != ERROR_IO_PENDING) return Waited::Failed;
    const HANDLE handles[] = {event.Get(), stop};
    DWORD waited = WAIT_TIMEOUT;
    while (waited == WAIT_TIMEOUT) waited = WaitForMultipleObjects(2, handles, FALSE, kRetryMs);
    if (waited != WAIT_OBJECT_0) CancelIoEx(pipe, &overlapped);
    DWORD transferred = 0;
    const bool connected = GetOverlappedResult(pipe, &overlapped, &transferred, TRUE) != FALSE;
    if (waited == WAIT_OBJECT_0 + 1) return Waited::Stopped;
    return connected ? Waited::Connected : Waited::Failed;
}

}  // namespace

PipeServer::PipeServer(UpdateDesk& desk, ServiceLog& log, HANDLE stop) : desk_(desk), log_(log), stop_(stop) {}

bool PipeServer::Run(std::string& error, DWORD drainMs) {
    SecurityDescriptor security(kPipeSddl);
    if (!security.Attributes()) {
        error = "无法建立管道的安全描述符：" + qv::win::LastErrorText(security.Error());
        return false;
    }
    Connections connections;
    bool first = true;
    while (WaitForSingleObject(stop_, 0) == WAIT_TIMEOUT) {
        qv::win::UniqueHandle pipe(CreateNamedPipeW(
            kPipeName, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
            PIPE_UNLIMITED_INSTANCES, kPipeBuffer, kPipeBuffer, 0, security.Attributes()));
        if (!pipe) {
            const DWORD code = GetLastError();
            if (first) {
                error = "无法建立管道 \\\\.\\pipe\\qvlUpdateService：" + qv::win::LastErrorText(code);
                return false;
            }
            log_.Write("pipe instance not made: " + qv::win::LastErrorText(code));
            WaitForSingleObject(stop_, kRetryMs);
            continue;
        }
        first = false;
        const Waited waited = AwaitClient(pipe.Get(), stop_);
        if (waited == Waited::Stopped) break;
        if (waited == Waited::Failed) continue;
        if (connections.Running() >= kMaxConnections) {
            TurnAway(std::move(pipe), {ResultCode::Busy, "更新服务的连接已满，请稍后再试。"}, log_);
        } else {
            connections.Start(std::move(pipe), desk_, stop_, log_);
        }
    }
    connections.Drain(drainMs);
    return true;
}

}  // namespace updservice::win
