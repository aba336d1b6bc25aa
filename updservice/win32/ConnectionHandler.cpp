#include "ConnectionHandler.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "PipeMessages.h"
#include "common/win32/TextConvert.h"
#include "updservice/RecordReader.h"
#include "updservice/RecordWriter.h"
#include "updservice/ServiceLogLine.h"

namespace updservice::win {
namespace {

// Writes records to the client until one write fails; after that the client
// counts as gone and records are dropped.
class PipeSink final : public IRecordSink {
public:
    PipeSink(HANDLE pipe, DWORD writeMs) : pipe_(pipe), writeMs_(writeMs) {}

    void Send(const Record& record) override {
        std::lock_guard lock(mutex_);
        if (gone_) return;
        if (WriteMessage(pipe_, EncodeRecord(record), writeMs_) != PipeStatus::Ok) gone_ = true;
    }
    void ClientGone() {
        std::lock_guard lock(mutex_);
        gone_ = true;
    }

private:
    HANDLE pipe_;
    DWORD writeMs_;
    std::mutex mutex_;
    bool gone_ = false;
};

std::uint32_t ClientProcess(HANDLE pipe) {
    ULONG process = 0;
    return GetNamedPipeClientProcessId(pipe, &process) ? process : 0;
}

// Reads the client's messages while the update runs: a cancel record cancels
// it, and so does the service's stop; a closed pipe makes the client gone.
// Anything else the client sends meanwhile is ignored.
void WatchClient(HANDLE pipe, HANDLE finished, HANDLE stop, std::atomic<bool>& cancel, PipeSink& sink,
                 const ServiceLimits& limits) {
    bool stopSeen = false;
    std::optional<PendingRead> read(std::in_place, pipe);
    while (true) {
        std::vector<HANDLE> handles{finished};
        if (!stopSeen) handles.push_back(stop);
        if (read) handles.push_back(read->Event());
        const auto count = static_cast<DWORD>(handles.size());
        const DWORD waited = WaitForMultipleObjects(count, handles.data(), FALSE, limits.pollMs);
        if (waited == WAIT_TIMEOUT) continue;
        if (waited >= WAIT_OBJECT_0 + count || handles[waited - WAIT_OBJECT_0] == finished) return;
        if (handles[waited - WAIT_OBJECT_0] == stop) {
            stopSeen = true;
            cancel = true;
            continue;
        }
        const PipeStatus status = read->Finish(0);
        if (status == PipeStatus::Closed || status == PipeStatus::Failed) {
            sink.ClientGone();
            read.reset();
            continue;
        }
        if (status == PipeStatus::Ok) {
            const ReadOutcome record = ReadRecord(read->Message());
            if (record.record && std::holds_alternative<CancelRecord>(*record.record)) cancel = true;
        }
        read.emplace(pipe);
    }
}

// Gives the client time to read the last record and close its end: closing
// first would throw away what it has not read yet.
void AwaitClientClose(HANDLE pipe, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    std::vector<unsigned char> ignored;
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        const PipeStatus status = ReadMessage(pipe, ignored, static_cast<DWORD>(deadline - now));
        if (status != PipeStatus::Ok && status != PipeStatus::TooLong) return;
    }
}

void Finish(qv::win::UniqueHandle& pipe, std::uint32_t client, const ResultRecord& result, ServiceLog& log,
            const ServiceLimits& limits) {
    AwaitClientClose(pipe.Get(), limits.clientCloseMs);
    DisconnectNamedPipe(pipe.Get());
    pipe.Reset();
    log.Write(ServiceLogLine(client, result));
}

}  // namespace

void TurnAway(qv::win::UniqueHandle pipe, const ResultRecord& result, ServiceLog& log, const ServiceLimits& limits) {
    const std::uint32_t client = ClientProcess(pipe.Get());
    WriteMessage(pipe.Get(), EncodeRecord(result), limits.writeMs);
    Finish(pipe, client, result, log, limits);
}

void ServeConnection(qv::win::UniqueHandle pipe, UpdateDesk& desk, HANDLE stop, ServiceLog& log,
                     const ServiceLimits& limits) {
    const std::uint32_t client = ClientProcess(pipe.Get());
    std::vector<unsigned char> message;
    const PipeStatus first = ReadMessage(pipe.Get(), message, limits.firstMessageMs, stop);
    if (first != PipeStatus::Ok) {
        const char* why = first == PipeStatus::TooLong    ? "请求超过 4096 字节的记录上限。"
                          : first == PipeStatus::TimedOut ? "在时限内没有收到请求。"
                                                          : "连接在请求之前中断。";
        const ResultRecord result{ResultCode::BadRecord, why};
        if (first == PipeStatus::TooLong || first == PipeStatus::TimedOut) {
            WriteMessage(pipe.Get(), EncodeRecord(result), limits.writeMs);
        }
        Finish(pipe, client, result, log, limits);
        return;
    }

    PipeSink sink(pipe.Get(), limits.writeMs);
    std::atomic<bool> cancel = false;
    const qv::win::UniqueHandle finished(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!finished) {
        const ResultRecord result{ResultCode::Failed,
                                  "更新服务无法创建事件：" + qv::win::LastErrorText(GetLastError())};
        sink.Send(result);
        Finish(pipe, client, result, log, limits);
        return;
    }
    ResultRecord result;
    std::thread update([&] {
        result = desk.Serve(message, sink, cancel);
        SetEvent(finished.Get());
    });
    WatchClient(pipe.Get(), finished.Get(), stop, cancel, sink, limits);
    update.join();
    sink.Send(result);
    Finish(pipe, client, result, log, limits);
}

}  // namespace updservice::win
