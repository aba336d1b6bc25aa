#include "PipeMessages.h"

#include "updservice/UpdateRecords.h"

namespace updservice::win {
namespace {

PipeStatus StatusOf(DWORD error) {
    switch (error) {
        case ERROR_SUCCESS:
            return PipeStatus::Ok;
        case ERROR_MORE_DATA:
            return PipeStatus::TooLong;
        case ERROR_BROKEN_PIPE:
        case ERROR_PIPE_NOT_CONNECTED:
        case ERROR_NO_DATA:
            return PipeStatus::Closed;
        case ERROR_OPERATION_ABORTED:
            return PipeStatus::TimedOut;
        default:
            return PipeStatus::Failed;
    }
}

// Waits for the operation; after `milliseconds` (or `abort`) it is cancelled
// and its end awaited, so that its buffer is no longer used.
PipeStatus Complete(HANDLE pipe, OVERLAPPED& overlapped, DWORD milliseconds, HANDLE abort, DWORD& transferred) {
    const HANDLE handles[] = {overlapped.hEvent, abort};
    const DWORD waited = WaitForMultipleObjects(abort ? 2 : 1, handles, FALSE, milliseconds);
    if (waited != WAIT_OBJECT_0) CancelIoEx(pipe, &overlapped);
    const DWORD error = GetOverlappedResult(pipe, &overlapped, &transferred, TRUE) ? ERROR_SUCCESS : GetLastError();
    if (waited != WAIT_OBJECT_0 && error == ERROR_OPERATION_ABORTED) return PipeStatus::TimedOut;
    return StatusOf(error);
}

}  // namespace

PendingRead::PendingRead(HANDLE pipe)
    : pipe_(pipe), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), message_(kMaxRecordSize) {
    if (!event_) {
        early_ = PipeStatus::Failed;
        return;
    }
    overlapped_.hEvent = event_.Get();
    DWORD transferred = 0;
    if (ReadFile(pipe_, message_.data(), static_cast<DWORD>(message_.size()), &transferred, &overlapped_) ||
        GetLastError() == ERROR_IO_PENDING || GetLastError() == ERROR_MORE_DATA) {
        pending_ = true;  // the event is signalled also when the read ended at once
    } else {
        early_ = StatusOf(GetLastError());
        SetEvent(event_.Get());
    }
}

PendingRead::~PendingRead() { Cancel(); }

void PendingRead::Cancel() {
    if (!pending_) return;
    CancelIoEx(pipe_, &overlapped_);
    DWORD transferred = 0;
    GetOverlappedResult(pipe_, &overlapped_, &transferred, TRUE);
    pending_ = false;
}

PipeStatus PendingRead::Finish(DWORD milliseconds, HANDLE abort) {
    if (!pending_) return early_;
    DWORD transferred = 0;
    const PipeStatus status = Complete(pipe_, overlapped_, milliseconds, abort, transferred);
    pending_ = false;
    message_.resize(status == PipeStatus::Ok ? transferred : 0);
    return status;
}

PipeStatus ReadMessage(HANDLE pipe, std::vector<unsigned char>& message, DWORD milliseconds, HANDLE abort) {
    PendingRead read(pipe);
    const PipeStatus status = read.Finish(milliseconds, abort);
    message = read.Message();
    return status;
}

PipeStatus WriteMessage(HANDLE pipe, std::span<const unsigned char> message, DWORD milliseconds) {
    qv::win::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return PipeStatus::Failed;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.Get();
    DWORD transferred = 0;
    if (!WriteFile(pipe, message.data(), static_cast<DWORD>(message.size()), &transferred, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return StatusOf(GetLastError());
    }
    const PipeStatus status = Complete(pipe, overlapped, milliseconds, nullptr, transferred);
    return status == PipeStatus::Ok && transferred != message.size() ? PipeStatus::Failed : status;
}

}  // namespace updservice::win
