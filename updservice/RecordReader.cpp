#include "RecordReader.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "Utf8Text.h"

namespace updservice {
namespace {

// Bounds-checked reading of a body; the first failure sticks and every later read gives zeros.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    std::uint64_t Get(std::size_t count, const char* field) {
        if (!Take(count, field)) return 0;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i) value |= std::uint64_t{bytes_[position_ - count + i]} << (8 * i);
        return value;
    }

    bool GetFlag(const char* field) {
        const std::uint64_t value = Get(1, field);
        if (value > 1) Fail(std::string(field) + " 只能是 0 或 1");
        return value == 1;
    }

    std::string GetText(const char* field) {
        const auto length = static_cast<std::size_t>(Get(2, field));
        if (!error_.empty()) return {};
        if (length > kMaxTextBytes) {
            Fail(std::string(field) + " 长 " + std::to_string(length) + " 字节，超过上限 " +
                 std::to_string(kMaxTextBytes));
            return {};
        }
        if (!Take(length, field)) return {};
        std::string text(reinterpret_cast<const char*>(bytes_.data() + position_ - length), length);
        if (!IsRecordText(text)) {
            Fail(std::string(field) + " 不是有效的 UTF-8 文本");
            return {};
        }
        return text;
    }

    // The body's fields are all read: nothing may be left over.
    std::string Finish() {
        if (error_.empty() && position_ != bytes_.size()) {
            Fail("记录体在其字段之后还有 " + std::to_string(bytes_.size() - position_) + " 字节");
        }
        return error_;
    }

private:
    bool Take(std::size_t count, const char* field) {
        if (!error_.empty()) return false;
        if (bytes_.size() - position_ < count) {
            Fail(std::string("记录体在字段 ") + field + " 处提前结束");
            return false;
        }
        position_ += count;
        return true;
    }
    void Fail(std::string reason) { error_ = std::move(reason); }

    std::span<const unsigned char> bytes_;
    std::size_t position_ = 0;
    std::string error_;
};

Record ReadBody(RecordKind kind, ByteCursor& in) {
    switch (kind) {
        case RecordKind::Request:
            return RequestRecord{};
        case RecordKind::Cancel:
            return CancelRecord{};
        case RecordKind::Progress: {
            const auto value = [&in](const char* name) {
                return static_cast<std::int32_t>(static_cast<std::uint32_t>(in.Get(4, name)));
            };
            ProgressRecord progress;
            progress.fileMin = value("fileMin");
            progress.fileMax = value("fileMax");
            progress.fileValue = value("fileValue");
            progress.fileMoving = in.GetFlag("fileMoving");
            progress.allMin = value("allMin");
            progress.allMax = value("allMax");
            progress.allValue = value("allValue");
            progress.fileLine = in.GetText("fileLine");
            progress.speedLine = in.GetText("speedLine");
            return progress;
        }
        case RecordKind::WaitText:
            return WaitTextRecord{in.GetText("text")};
        case RecordKind::Box: {
            BoxRecord box;
            box.text = in.GetText("text");
            box.title = in.GetText("title");
            box.flags = static_cast<std::uint32_t>(in.Get(4, "flags"));
            return box;
        }
        case RecordKind::DownloadEnd:
            return DownloadEndRecord{};
        case RecordKind::Result:
        default: {
            ResultRecord result;
            result.code = static_cast<ResultCode>(in.Get(4, "code"));
            result.reason = in.GetText("reason");
            result.exitStatus = static_cast<std::uint32_t>(in.Get(4, "exitStatus"));
            return result;
        }
    }
}

std::uint32_t LittleEndian(std::span<const unsigned char> bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
    return value;
}

ReadOutcome Refuse(std::string reason) { return {std::nullopt, std::move(reason)}; }

}  // namespace

ReadOutcome ReadRecord(std::span<const unsigned char> message) {
    if (message.size() > kMaxRecordSize) {
        return Refuse("记录长 " + std::to_string(message.size()) + " 字节，超过上限 " + std::to_string(kMaxRecordSize));
    }
    if (message.size() < kRecordHeaderSize) {
        return Refuse("记录不完整：只有 " + std::to_string(message.size()) + " 字节，头部需要 " +
                      std::to_string(kRecordHeaderSize));
    }
    if (!std::equal(kRecordMagic.begin(), kRecordMagic.end(), message.begin())) {
        return Refuse("记录的标识不是 QVUS");
    }
    const std::uint32_t version = LittleEndian(message.subspan(4, 2));
    if (version != kRecordVersion) {
        return Refuse("记录版本 " + std::to_string(version) + " 未知（本服务只懂版本 " +
                      std::to_string(kRecordVersion) + "）");
    }
    const std::uint32_t kind = LittleEndian(message.subspan(6, 2));
    if (kind < static_cast<std::uint32_t>(RecordKind::Request) || kind > kLastRecordKind) {
        return Refuse("记录类型 " + std::to_string(kind) + " 未知");
    }
    const std::uint32_t bodyLength = LittleEndian(message.subspan(8, 4));
    if (bodyLength > kMaxRecordSize - kRecordHeaderSize) {
        return Refuse("记录体长 " + std::to_string(bodyLength) + " 字节，超过上限");
    }
    if (bodyLength != message.size() - kRecordHeaderSize) {
        return Refuse("记录体应有 " + std::to_string(bodyLength) + " 字节，消息中有 " +
                      std::to_string(message.size() - kRecordHeaderSize) + " 字节");
    }
    ByteCursor in(message.subspan(kRecordHeaderSize));
    Record record = ReadBody(static_cast<RecordKind>(kind), in);
    if (std::string error = in.Finish(); !error.empty()) return Refuse(std::move(error));
    if (const auto* result = std::get_if<ResultRecord>(&record);
        result && static_cast<std::uint32_t>(result->code) > kLastResultCode) {
        return Refuse("结果代码 " + std::to_string(static_cast<std::uint32_t>(result->code)) + " 未知");
    }
    return {std::move(record), {}};
}

}  // namespace updservice
