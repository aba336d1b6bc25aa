#include "PipeServiceLink.h"

#include "MachineKey.h"
#include "updservice/PathRules.h"
#include "updservice/RecordReader.h"

namespace updservice::win {
namespace {

// Runs what is queued for this thread's windows; false when the program is asked to end.
bool PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

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

bool PipeServiceLink::Open() {
    read_.reset();
    // A copy of the launcher elsewhere on a machine with a package installation
    // reads the same key, but the service would update the other folder.
    const std::optional<std::string> installDir = MachineKey().InstallDir();
    return installDir && IsSameFolder(*installDir, launcherFolder_) && client_.Connect(kConnectMs) == ClientStatus::Ok;
}

bool PipeServiceLink::Send(const Record& record) { return client_.Send(record, kSendMs) == ClientStatus::Ok; }

Incoming PipeServiceLink::Receive(std::uint32_t milliseconds) {
    if (!client_.Pipe()) return {LinkStatus::Failed, std::nullopt, {}};
    if (!read_) read_ = std::make_unique<PendingRead>(client_.Pipe());
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const HANDLE event = read_->Event();
        const DWORD waited = MsgWaitForMultipleObjects(1, &event, FALSE, left, QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0 + 1) {
            if (!PumpMessages()) {
                read_.reset();
                return {LinkStatus::Failed, std::nullopt, "启动程序正在退出"};
            }
            continue;
        }
        if (waited == WAIT_TIMEOUT) return {LinkStatus::TimedOut, std::nullopt, {}};
        if (waited != WAIT_OBJECT_0) return {LinkStatus::Failed, std::nullopt, {}};
        const PipeStatus status = read_->Finish(0);
        const std::vector<unsigned char> message = read_->Message();
        read_.reset();
        if (status != PipeStatus::Ok) return {LinkStatusOf(status), std::nullopt, {}};
        ReadOutcome read = ReadRecord(message);
        if (!read.record) return {LinkStatus::BadRecord, std::nullopt, "更新服务发来了无法读取的记录：" + read.error};
        return {LinkStatus::Ok, std::move(read.record), {}};
    }
}

}  // namespace updservice::win
