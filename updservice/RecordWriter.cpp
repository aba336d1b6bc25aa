#include "RecordWriter.h"

#include <string_view>
#include <type_traits>

#include "Utf8Text.h"

namespace updservice {
namespace {

class ByteWriter {
public:
    void Put(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) bytes_.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
    void PutText(std::string_view text) {
        const std::string fitted = ToRecordText(text, kMaxTextBytes);
        Put(fitted.size(), 2);
        bytes_.insert(bytes_.end(), fitted.begin(), fitted.end());
    }
    std::vector<unsigned char>& Bytes() { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

RecordKind KindOf(const Record& record) {
    return std::visit(
        [](const auto& body) {
            using Body = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<Body, RequestRecord>) return RecordKind::Request;
            if constexpr (std::is_same_v<Body, CancelRecord>) return RecordKind::Cancel;
            if constexpr (std::is_same_v<Body, ProgressRecord>) return RecordKind::Progress;
            if constexpr (std::is_same_v<Body, WaitTextRecord>) return RecordKind::WaitText;
            if constexpr (std::is_same_v<Body, BoxRecord>) return RecordKind::Box;
            if constexpr (std::is_same_v<Body, ResultRecord>) return RecordKind::Result;
            if constexpr (std::is_same_v<Body, DownloadEndRecord>) return RecordKind::DownloadEnd;
        },
        record);
}

void PutBody(ByteWriter&, const RequestRecord&) {}
void PutBody(ByteWriter&, const CancelRecord&) {}
void PutBody(ByteWriter&, const DownloadEndRecord&) {}
void PutBody(ByteWriter& out, const ProgressRecord& progress) {
    for (const std::int32_t value : {progress.fileMin, progress.fileMax, progress.fileValue}) {
        out.Put(static_cast<std::uint32_t>(value), 4);
    }
    out.Put(progress.fileMoving ? 1 : 0, 1);
    for (const std::int32_t value : {progress.allMin, progress.allMax, progress.allValue}) {
        out.Put(static_cast<std::uint32_t>(value), 4);
    }
    out.PutText(progress.fileLine);
    out.PutText(progress.speedLine);
}
void PutBody(ByteWriter& out, const WaitTextRecord& wait) { out.PutText(wait.text); }
void PutBody(ByteWriter& out, const BoxRecord& box) {
    out.PutText(box.text);
    out.PutText(box.title);
    out.Put(box.flags, 4);
}
void PutBody(ByteWriter& out, const ResultRecord& result) {
    out.Put(static_cast<std::uint32_t>(result.code), 4);
    out.PutText(result.reason);
    out.Put(result.exitStatus, 4);
}

}  // namespace

std::vector<unsigned char> EncodeRecord(const Record& record) {
    ByteWriter out;
    out.Bytes().assign(kRecordMagic.begin(), kRecordMagic.end());
    out.Put(kRecordVersion, 2);
    out.Put(static_cast<std::uint16_t>(KindOf(record)), 2);
    out.Put(0, 4);  // body length, filled in below
    std::visit([&out](const auto& body) { PutBody(out, body); }, record);
    std::vector<unsigned char>& bytes = out.Bytes();
    const std::size_t bodyLength = bytes.size() - kRecordHeaderSize;
    for (int i = 0; i < 4; ++i) bytes[8 + i] = static_cast<unsigned char>(bodyLength >> (8 * i));
    return bytes;
}

}  // namespace updservice
