#pragma once
// The records that the update service and its clients exchange over the
// service's pipe, one record per pipe message.
//
// Layout, little-endian: 4 bytes magic "QVUS", 2 bytes version, 2 bytes kind,
// 4 bytes body length, then the body. A record is at most kMaxRecordSize
// bytes in all. Texts in a body are a 2-byte length followed by that many
// bytes of well-formed UTF-8 without NUL, at most kMaxTextBytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

namespace updservice {

inline constexpr std::array<unsigned char, 4> kRecordMagic = {'Q', 'V', 'U', 'S'};
inline constexpr std::uint16_t kRecordVersion = 1;
inline constexpr std::size_t kRecordHeaderSize = 12;
inline constexpr std::size_t kMaxRecordSize = 4096;
inline constexpr std::size_t kMaxTextBytes = 1536;

enum class RecordKind : std::uint16_t {
    Request = 1,  // client: update this installation now
    Cancel = 2,   // client: stop the update that this connection asked for
    Progress = 3,
    WaitText = 4,
    Box = 5,
    Result = 6,
    DownloadEnd = 7,  // the download window closes
};
inline constexpr std::uint16_t kLastRecordKind = 7;

enum class ResultCode : std::uint32_t {
    Done = 0,          // the installation is up to date
    Refused = 1,       // the service's settings or the installation do not allow an update
    Busy = 2,          // another update is running
    Failed = 3,        // the update ended early; a box record said why
    Cancelled = 4,     // the client cancelled
    BadRecord = 5,     // the client sent something that is not a valid request
    NotAvailable = 6,  // this build of the service cannot update
};
inline constexpr std::uint32_t kLastResultCode = 6;

struct RequestRecord {
    bool operator==(const RequestRecord&) const = default;
};

struct CancelRecord {
    bool operator==(const CancelRecord&) const = default;
};

// The download window as it stands: both bars and both lines. The file bar
// counts the bytes received of the archive's expected length (moving without
// a value when the length is unknown), the overall bar 100 per file; the file
// line names file i of n, the speed line the bytes received and the speed.
struct ProgressRecord {
    std::int32_t fileMin = 0;
    std::int32_t fileMax = 0;
    std::int32_t fileValue = 0;
    bool fileMoving = false;
    std::int32_t allMin = 0;
    std::int32_t allMax = 0;
    std::int32_t allValue = 0;
    std::string fileLine;
    std::string speedLine;
    bool operator==(const ProgressRecord&) const = default;
};

struct DownloadEndRecord {
    bool operator==(const DownloadEndRecord&) const = default;
};

// The wait window's line.
struct WaitTextRecord {
    std::string text;
    bool operator==(const WaitTextRecord&) const = default;
};

// A message box for the client to show; flags as MessageBox takes them.
struct BoxRecord {
    std::string text;
    std::string title;
    std::uint32_t flags = 0;
    bool operator==(const BoxRecord&) const = default;
};

// The last record of a connection. `exitStatus`: for Failed, the launcher's
// exit status for how the update ended (0 when there is none).
struct ResultRecord {
    ResultCode code = ResultCode::Done;
    std::string reason;
    std::uint32_t exitStatus = 0;
    bool operator==(const ResultRecord&) const = default;
};

using Record = std::variant<RequestRecord, CancelRecord, ProgressRecord, WaitTextRecord, BoxRecord, ResultRecord,
                            DownloadEndRecord>;

}  // namespace updservice

namespace updservice {

// The code's name for logs and test output ("Refused").
constexpr const char* ResultCodeName(ResultCode code) {
    constexpr const char* kNames[] = {"Done", "Refused", "Busy", "Failed", "Cancelled", "BadRecord", "NotAvailable"};
    const auto index = static_cast<std::uint32_t>(code);
    return index <= kLastResultCode ? kNames[index] : "Unknown";
}

}  // namespace updservice
