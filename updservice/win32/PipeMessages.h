#pragma once
// Whole messages on a message-mode pipe opened for overlapped I/O, each wait
// with a time limit. Used by the service and by its clients.
#include <span>
#include <vector>

#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace updservice::win {

enum class PipeStatus {
    Ok,
    TimedOut,  // also: `abort` was signalled
    Closed,    // the other end has gone
    TooLong,   // a message longer than kMaxRecordSize (the rest of it stays in the pipe)
    Failed,
};

// One read of a message, started now and finished by Finish. The read may end
// while the caller waits on Event() together with other things.
class PendingRead {
public:
    explicit PendingRead(HANDLE pipe);
    ~PendingRead();
    PendingRead(const PendingRead&) = delete;
    PendingRead& operator=(const PendingRead&) = delete;

    HANDLE Event() const { return event_.Get(); }
    // Takes the result once Event() is signalled, or cancels the read after
    // waiting `milliseconds` (and for `abort`, when given) in vain.
    PipeStatus Finish(DWORD milliseconds, HANDLE abort = nullptr);
    const std::vector<unsigned char>& Message() const { return message_; }

private:
    void Cancel();

    HANDLE pipe_;
    qv::win::UniqueHandle event_;
    OVERLAPPED overlapped_{};
    std::vector<unsigned char> message_;
    bool pending_ = false;
    PipeStatus early_ = PipeStatus::Ok;
};

PipeStatus ReadMessage(HANDLE pipe, std::vector<unsigned char>& message, DWORD milliseconds, HANDLE abort = nullptr);
PipeStatus WriteMessage(HANDLE pipe, std::span<const unsigned char> message, DWORD milliseconds);

}  // namespace updservice::win
