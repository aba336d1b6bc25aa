#include "UpdateServiceClient.h"

#include "updservice/RecordReader.h"
#include "updservice/RecordWriter.h"

namespace updservice::win {
namespace {

ClientStatus FromPipe(PipeStatus status) {
    switch (status) {
        case PipeStatus::Ok:
            return ClientStatus::Ok;
        case PipeStatus::TimedOut:
            return ClientStatus::TimedOut;
        case PipeStatus::Closed:
            return ClientStatus::Closed;
        case PipeStatus::TooLong:
            return ClientStatus::BadRecord;
        default:
            return ClientStatus::Failed;
    }
}

}  // namespace

const char* ClientStatusName(ClientStatus status) {
    constexpr const char* kNames[] = {"Ok", "Absent", "TimedOut", "Closed", "BadRecord", "Failed"};
    return kNames[static_cast<int>(status)];
}

ClientStatus UpdateServiceClient::Connect(DWORD milliseconds, const std::wstring& pipeName) {
    pipe_.Reset();
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (true) {
        // Identification only: whoever serves the pipe may not act as this user.
        pipe_.Reset(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe_) break;
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return ClientStatus::Absent;
        if (error != ERROR_PIPE_BUSY) return ClientStatus::Failed;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return ClientStatus::TimedOut;
        WaitNamedPipeW(pipeName.c_str(), static_cast<DWORD>(deadline - now));
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    if (!SetNamedPipeHandleState(pipe_.Get(), &mode, nullptr, nullptr)) {
        pipe_.Reset();
        return ClientStatus::Failed;
    }
    return ClientStatus::Ok;
}

ClientStatus UpdateServiceClient::Send(const Record& record, DWORD milliseconds) {
    return SendBytes(EncodeRecord(record), milliseconds);
}

ClientStatus UpdateServiceClient::SendBytes(std::span<const unsigned char> bytes, DWORD milliseconds) {
    if (!pipe_) return ClientStatus::Failed;
    return FromPipe(WriteMessage(pipe_.Get(), bytes, milliseconds));
}

Received UpdateServiceClient::Receive(DWORD milliseconds) {
    if (!pipe_) return {ClientStatus::Failed, std::nullopt, {}};
    std::vector<unsigned char> message;
    const PipeStatus status = ReadMessage(pipe_.Get(), message, milliseconds);
    if (status != PipeStatus::Ok) return {FromPipe(status), std::nullopt, {}};
    ReadOutcome read = ReadRecord(message);
    if (!read.record) return {ClientStatus::BadRecord, std::nullopt, std::move(read.error)};
    return {ClientStatus::Ok, std::move(read.record), {}};
}

}  // namespace updservice::win
