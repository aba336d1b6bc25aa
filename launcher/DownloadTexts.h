#pragma once
// The download window's texts and its per-file percentage.
#include <cstdint>
#include <string>

#include "DownloadPlatform.h"

namespace launcher {

// "正在升级第 2/3 个文件（***" + the name's last 8 characters + ")...".
std::string FileLine(int nPosition, int nCount, const std::string& strFileName);

// Above 1024 bytes per second only the size text's leading number, rounded
// to a whole number ("12.3 KB" -> "12"); otherwise the whole size text.
std::string FormatSpeed(std::int32_t lBytesPerSecond, ISizeFormatter& formatter);

// "已下载 " + size of lTotal + "；" + speed + "KB /秒".
std::string SpeedLine(std::int64_t lTotal, std::int32_t lBytesPerSecond, ISizeFormatter& formatter);

// lTotal of lLength in whole percent, halves to even; lLength > 0.
std::int32_t FilePercent(std::int64_t lTotal, std::int64_t lLength);

}  // namespace launcher
