#pragma once
// One archive's transfer in 4096-byte blocks with progress and speed. A
// transfer that ends early keeps what arrived and a record beside it, so the
// next run asks only for the rest.
#include <cstdint>
#include <string>

#include "UpdateServices.h"

namespace launcher {

// The window's state on load: overall bar 0 to 100 per entry, the file line's
// heading, no speed line yet.
void PrepareDownloadView(IDownloadView& view, int nCount);

// Clamps lValue into the bar's range, writes it back, and shows it.
void RefreshProbarValue(IDownloadView& view, ProgressBar bar, std::int32_t& lValue);

// Transfers surl into strFile; nFileOrder is the entry's 1-based position.
// When strSHA256 (lower-case hex) is given, the whole file must have that
// digest. A partial strFile with its record (strFile + ".resume") from an
// earlier run is continued where that is safe. False after a box for a failed
// transfer, or without one when cancelled.
bool DownloadFile(const std::string& surl, const std::string& strFile, int nFileOrder, UpdateServices& services,
                  const std::string& strSHA256 = "");

}  // namespace launcher
