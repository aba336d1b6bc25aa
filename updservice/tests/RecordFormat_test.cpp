#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "updservice/RecordReader.h"
#include "updservice/RecordWriter.h"
#include "updservice/Utf8Text.h"

namespace updservice {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Header(std::uint16_t version, std::uint16_t kind, std::uint32_t bodyLength) {
    Bytes bytes(kRecordMagic.begin(), kRecordMagic.end());
    bytes.push_back(static_cast<unsigned char>(version));
    bytes.push_back(static_cast<unsigned char>(version >> 8));
    bytes.push_back(static_cast<unsigned char>(kind));
    bytes.push_back(static_cast<unsigned char>(kind >> 8));
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(bodyLength >> (8 * i)));
    return bytes;
}

Bytes WithBody(Bytes header, const Bytes& body) {
    header.insert(header.end(), body.begin(), body.end());
    return header;
}

// A wait-text record whose text field holds these bytes as they are.
Bytes RawWaitText(const std::string& text) {
    Bytes body{static_cast<unsigned char>(text.size()), static_cast<unsigned char>(text.size() >> 8)};
    body.insert(body.end(), text.begin(), text.end());
    return WithBody(Header(1, 4, static_cast<std::uint32_t>(body.size())), body);
}

TEST(RecordFormat, EveryKindReadsBackAsWritten) {
    const Record records[] = {
        RequestRecord{},
        CancelRecord{},
        ProgressRecord{0, 209715200, 4096, false, 0, 500, 100, "正在升级第 2/5 个文件（***ntrol.ocx)...",
                       "已下载 4.00 KB；52KB /秒"},
        ProgressRecord{0, 0, 0, true, -1, 0, 0, "", ""},
        DownloadEndRecord{},
        WaitTextRecord{"正在连接远程服务..."},
        BoxRecord{"请先关闭正在运行中的Quorvel", "提示", 0x1030},
        ResultRecord{ResultCode::Refused, "注册表项中缺少 PublisherKeys"},
        ResultRecord{ResultCode::NotAvailable, ""},
        ResultRecord{ResultCode::Failed, "系统文件升级出现错误。", 16},
    };
    for (const Record& record : records) {
        const Bytes bytes = EncodeRecord(record);
        ASSERT_LE(bytes.size(), kMaxRecordSize);
        const ReadOutcome read = ReadRecord(bytes);
        ASSERT_TRUE(read.record.has_value()) << read.error;
        EXPECT_EQ(*read.record, record);
    }
}

TEST(RecordFormat, HeaderIsLittleEndianWithTheBodyLength) {
    const Bytes bytes = EncodeRecord(ResultRecord{ResultCode::Busy, "ab"});
    EXPECT_EQ(bytes, (Bytes{'Q', 'V', 'U', 'S', 1, 0, 6, 0, 12, 0, 0, 0, 2, 0, 0, 0, 2, 0, 'a', 'b', 0, 0, 0, 0}));
    EXPECT_EQ(EncodeRecord(RequestRecord{}), Header(1, 1, 0));
}

TEST(RecordFormat, WriterMakesTextsFitAndWellFormed) {
    // Longest texts in the record with the most of them: still within the limit.
    const std::string longText(3 * kMaxTextBytes, 'x');
    const Bytes bytes = EncodeRecord(BoxRecord{longText, longText, 0});
    EXPECT_LE(bytes.size(), kMaxRecordSize);
    const auto box = std::get<BoxRecord>(*ReadRecord(bytes).record);
    EXPECT_EQ(box.text.size(), kMaxTextBytes);

    // Cut on a character boundary: 512 three-byte characters fit, the 513th does not.
    const std::string chinese = [] {
        std::string text;
        for (int i = 0; i < 600; ++i) text += "升";
        return text;
    }();
    const auto wait = std::get<WaitTextRecord>(*ReadRecord(EncodeRecord(WaitTextRecord{chinese})).record);
    EXPECT_EQ(wait.text.size(), 1536u);
    EXPECT_TRUE(IsRecordText(wait.text));

    // Ill-formed bytes and NUL become U+FFFD.
    const auto fixed =
        std::get<WaitTextRecord>(*ReadRecord(EncodeRecord(WaitTextRecord{std::string("a\xC3(b\0c", 6)})).record);
    EXPECT_EQ(fixed.text,
              "a\xEF\xBF\xBD(b\xEF\xBF\xBD"
              "c");
}

struct Refused {
    const char* what;
    Bytes message;
    const char* reasonPart;
};

TEST(RecordFormat, ReaderRefusesAnythingButOneWholeRecord) {
    const Bytes request = EncodeRecord(RequestRecord{});
    const Bytes result = EncodeRecord(ResultRecord{ResultCode::Done, "ok"});
    Bytes wrongMagic = request;
    wrongMagic[0] = 'X';
    Bytes unknownCode = result;
    unknownCode[12] = 7;
    Bytes trailing = request;
    trailing.push_back(0);
    const Refused cases[] = {
        {"empty", {}, "只有 0 字节"},
        {"half a header", Bytes(request.begin(), request.begin() + 5), "只有 5 字节"},
        {"magic", wrongMagic, "标识"},
        {"version 0", Header(0, 1, 0), "版本 0 未知"},
        {"version 2", Header(2, 1, 0), "版本 2 未知"},
        {"kind 0", Header(1, 0, 0), "类型 0 未知"},
        {"kind 8", Header(1, 8, 0), "类型 8 未知"},
        {"kind 0xFFFF", Header(1, 0xFFFF, 0), "类型 65535 未知"},
        {"body cut off", Bytes(result.begin(), result.end() - 1), "应有 12 字节"},
        {"bytes after the record", trailing, "应有 0 字节"},
        {"huge body length", Header(1, 4, 0xFFFFFFFF), "超过上限"},
        {"oversized message", Bytes(kMaxRecordSize + 1, 'Q'), "超过上限 4096"},
        {"request with a body", WithBody(Header(1, 1, 1), {0}), "还有 1 字节"},
        {"text past the body", WithBody(Header(1, 4, 3), {5, 0, 'a'}), "text"},
        {"text length missing", WithBody(Header(1, 4, 1), {5}), "提前结束"},
        {"text over its limit", RawWaitText(std::string(kMaxTextBytes + 1, 'a')), "超过上限 1536"},
        {"progress cut in a number", WithBody(Header(1, 3, 6), {1, 0, 0, 0, 2, 0}), "fileMax"},
        {"a flag that is neither 0 nor 1", WithBody(Header(1, 3, 29), Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0,
                                                                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         "只能是 0 或 1"},
        {"unknown result code", unknownCode, "结果代码 7"},
    };
    for (const Refused& refused : cases) {
        const ReadOutcome read = ReadRecord(refused.message);
        EXPECT_FALSE(read.record.has_value()) << refused.what;
        EXPECT_NE(read.error.find(refused.reasonPart), std::string::npos) << refused.what << ": " << read.error;
    }
}

TEST(RecordFormat, ReaderRefusesTextsThatAreNotWellFormedUtf8) {
    const std::string refused[] = {
        std::string("a\0b", 3),  // NUL
        "\xC0\xAF",              // overlong "/"
        "\xE0\x80\xAF",          // overlong, three bytes
        "\xED\xA0\x80",          // a surrogate
        "\xF4\x90\x80\x80",      // above U+10FFFF
        "\xE5\x8D",              // cut-off character
        "\x80",                  // continuation byte alone
        "\xFF",
    };
    for (const std::string& text : refused) {
        const ReadOutcome read = ReadRecord(RawWaitText(text));
        EXPECT_FALSE(read.record.has_value());
        EXPECT_NE(read.error.find("UTF-8"), std::string::npos) << read.error;
    }
    for (const std::string text : {"", "ascii", "升级", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\x7F"}) {
        EXPECT_TRUE(ReadRecord(RawWaitText(text)).record.has_value()) << text;
    }
}

}  // namespace
}  // namespace updservice
