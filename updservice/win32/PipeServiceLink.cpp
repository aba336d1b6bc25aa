#include "PipeServiceLink.h"

#include "MachineKey.h"
#include "launcher/win32/modPublicFunction.h"
#include "updservice/PathRules.h"
#include "updservice/RecordReader.h"

namespace updservice::win {
namespace {

// How often the reader looks whether it is to stop while no record comes.
constexpr DWORD kReaderSliceMs = 1000;

LinkStatus LinkStatusOf(PipeStatus status) {
    switch (status) {
        case PipeStatus::Ok:
            return LinkStatus::Ok;
        case PipeStatus::TimedOut:
            return LinkStatus::TimedOut;
        case PipeStatus::Closed:
            return LinkStatus::Closed;
        case PipeStatus::TooLong:
            return LinkStatus::BadRecord;
        default:
            return LinkStatus::Failed;
    }
}

}  // namespace

PipeServiceLink::~PipeServiceLink() {
    if (!reader_.joinable()) return;
    SetEvent(stop_.Get());
    reader_.join();
}

bool PipeServiceLink::Open() {
    if (reader_.joinable()) return false;
    // A copy of the launcher elsewhere on a machine with a package installation
    // reads the same key, but the service would update the other folder.
    const std::optional<std::string> installDir = MachineKey().InstallDir();
    if (!installDir || !IsSameFolder(*installDir, launcherFolder_)) return false;
    if (client_.Connect(kConnectMs) != ClientStatus::Ok) return false;
    arrived_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!arrived_ || !stop_) return false;
    reader_ = std::thread([this] { ReadAll(); });
    return true;
}

bool PipeServiceLink::Send(const Record& record) { return client_.Send(record, kSendMs) == ClientStatus::Ok; }

void PipeServiceLink::ReadAll() noexcept {
    try {
        for (;;) {
            std::vector<unsigned char> message;
            const PipeStatus status = ReadMessage(client_.Pipe(), message, kReaderSliceMs, stop_.Get());
            if (WaitForSingleObject(stop_.Get(), 0) == WAIT_OBJECT_0) return;
            if (status == PipeStatus::TimedOut) continue;
            Incoming incoming{LinkStatusOf(status), std::nullopt, {}};
            if (status == PipeStatus::Ok) {
                ReadOutcome read = ReadRecord(message);
                if (read.record) {
                    incoming.record = std::move(read.record);
                } else {
                    incoming = {LinkStatus::BadRecord, std::nullopt, "更新服务发来了无法读取的记录：" + read.error};
                }
            }
            const bool goesOn = incoming.status == LinkStatus::Ok;
            queue_.Push(std::move(incoming));
            SetEvent(arrived_.Get());
            if (!goesOn) return;
        }
    } catch (...) {
        queue_.Push({LinkStatus::Failed, std::nullopt, "启动程序无法读取更新服务的记录"});
        SetEvent(arrived_.Get());
    }
}

Incoming PipeServiceLink::Receive(std::uint32_t milliseconds) {
    if (!reader_.joinable()) return {LinkStatus::Failed, std::nullopt, {}};
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        if (std::optional<Incoming> next = queue_.Pop()) return std::move(*next);
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const HANDLE arrived = arrived_.Get();
        const DWORD waited = MsgWaitForMultipleObjects(1, &arrived, FALSE, left, QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0) continue;
        if (waited == WAIT_OBJECT_0 + 1) {
            if (!launcher::win::DoEvents()) return {LinkStatus::Failed, std::nullopt, "启动程序正在退出"};
            continue;
        }
        if (waited == WAIT_TIMEOUT) return {LinkStatus::TimedOut, std::nullopt, {}};
        return {LinkStatus::Failed, std::nullopt, {}};
    }
}

}  // namespace updservice::win
