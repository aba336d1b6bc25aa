#include "DownloadTexts.h"

#include <cmath>

#include "common/NumberText.h"

namespace launcher {
namespace {

// The last n characters (code points) of UTF-8 text; all of it when shorter.
std::string LastCharacters(const std::string& text, int n) {
    std::size_t start = text.size();
    while (start > 0 && n > 0) {
        --start;
        if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) --n;
    }
    return text.substr(start);
}

}  // namespace

std::string FileLine(int nPosition, int nCount, const std::string& strFileName) {
    return "正在升级第 " + std::to_string(nPosition) + "/" + std::to_string(nCount) + " 个文件（***" +
           LastCharacters(strFileName, 8) + ")...";
}

std::string FormatSpeed(std::int32_t lBytesPerSecond, ISizeFormatter& formatter) {
    const std::string text = formatter.FormatByteSize(lBytesPerSecond);
    if (lBytesPerSecond <= 1024) return text;
    const double whole = qv::RoundHalfEven(qv::LeadingNumber(text));
    return std::to_string(static_cast<long long>(whole));
}

std::string SpeedLine(std::int64_t lTotal, std::int32_t lBytesPerSecond, ISizeFormatter& formatter) {
    return "已下载 " + formatter.FormatByteSize(lTotal) + "；" + FormatSpeed(lBytesPerSecond, formatter) + "KB /秒";
}

std::int32_t FilePercent(std::int64_t lTotal, std::int64_t lLength) {
    return static_cast<std::int32_t>(
        qv::RoundHalfEven(static_cast<double>(lTotal) / static_cast<double>(lLength) * 100.0));
}

}  // namespace launcher
