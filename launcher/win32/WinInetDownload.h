#pragma once
// HTTP downloads on WinINet: the system's preconfigured proxy, always a fresh
// copy from the server, the body read block by block.
#include <cstdint>
#include <memory>
#include <string>

#include "launcher/DownloadPlatform.h"

namespace launcher::win {

inline constexpr const char* kDownloadUserAgent = "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0)";

class WinInetUrlOpener final : public IUrlOpener {
public:
    std::unique_ptr<IUrlDownload> OpenUrl(const std::string& url) override;
    std::unique_ptr<IUrlDownload> OpenUrlFrom(const std::string& url, std::int64_t offset,
                                              const std::string& ifRange) override;
};

}  // namespace launcher::win
