#pragma once
// The launcher's side of the update service's pipe. Every call has a time
// limit. Connect tells "absent" (no service on this machine, or it is
// stopped) apart from the other failures, so that the caller can fall back to
// updating in its own process.
//
//   UpdateServiceClient client;
//   if (client.Connect(3000) == ClientStatus::Absent) ... update in-process ...
//   client.Send(RequestRecord{}, 5000);
//   for (;;) { auto received = client.Receive(60000); ... until a ResultRecord ... }
#include <optional>
#include <span>
#include <string>

#include "PipeMessages.h"
#include "updservice/UpdateRecords.h"

namespace updservice::win {

enum class ClientStatus {
    Ok,
    Absent,     // nobody serves the pipe
    TimedOut,   // every instance stayed busy, or no record came in time
    Closed,     // the service closed the connection
    BadRecord,  // the service sent something that is not a record
    Failed,
};

const char* ClientStatusName(ClientStatus status);

struct Received {
    ClientStatus status = ClientStatus::Failed;
    std::optional<Record> record;
    std::string error;  // for BadRecord: the reader's reason
};

class UpdateServiceClient {
public:
    // `pipeName` other than the service's only for tests.
    ClientStatus Connect(DWORD milliseconds, const std::wstring& pipeName = L"\\\\.\\pipe\\qvlUpdateService");
    ClientStatus Send(const Record& record, DWORD milliseconds);
    // Any bytes as one message, for tests of the service's reader.
    ClientStatus SendBytes(std::span<const unsigned char> bytes, DWORD milliseconds);
    Received Receive(DWORD milliseconds);
    void Close() { pipe_.Reset(); }
    HANDLE Pipe() const { return pipe_.Get(); }

private:
    qv::win::UniqueHandle pipe_;
};

}  // namespace updservice::win
