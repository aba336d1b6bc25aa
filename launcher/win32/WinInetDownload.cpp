#include "WinInetDownload.h"

#include "common/win32/WindowsApi.h"

#include <wininet.h>

#include <algorithm>
#include <memory>
#include <type_traits>

#include "common/win32/TextConvert.h"

namespace launcher::win {
namespace {

struct InternetCloser {
    void operator()(void* handle) const noexcept { InternetCloseHandle(static_cast<HINTERNET>(handle)); }
};
using InternetHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetCloser>;

constexpr DWORD kQueryBufferSize = 1024;
constexpr int kStatusAttempts = 3;

class WinInetDownload final : public IUrlDownload {
public:
    WinInetDownload(InternetHandle session, InternetHandle url)
        : m_session(std::move(session)), m_url(std::move(url)) {}
    ~WinInetDownload() override { m_url.reset(); }  // the URL before its session

    std::string QueryContentLength() override {
        char buffer[kQueryBufferSize] = {};
        DWORD length = kQueryBufferSize;
        if (!HttpQueryInfoA(m_url.get(), HTTP_QUERY_CONTENT_LENGTH, buffer, &length, nullptr)) return {};
        return std::string(buffer, length);
    }

    std::string QueryStatusCode() override {
        char buffer[kQueryBufferSize] = {};
        // Each attempt gets the length the previous one left behind.
        DWORD length = kQueryBufferSize;
        for (int attempt = 0; attempt < kStatusAttempts; ++attempt) {
            if (HttpQueryInfoA(m_url.get(), HTTP_QUERY_STATUS_CODE, buffer, &length, nullptr)) {
                return std::string(buffer, length);
            }
        }
        return {};
    }

    std::string QueryHeader(const std::string& name) override {
        std::string buffer(kQueryBufferSize, '\0');
        for (int attempt = 0; attempt < 2; ++attempt) {
            // The buffer names the header going in and holds its value coming out.
            std::fill(buffer.begin(), buffer.end(), '\0');
            std::copy(name.begin(), name.end(), buffer.begin());
            DWORD length = static_cast<DWORD>(buffer.size());
            if (HttpQueryInfoA(m_url.get(), HTTP_QUERY_CUSTOM, buffer.data(), &length, nullptr)) {
                return buffer.substr(0, length);
            }
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= buffer.size()) return {};
            buffer.resize(length + 1);
        }
        return {};
    }

    bool ReadBlock(char* buffer, std::uint32_t capacity, std::uint32_t& read) override {
        DWORD got = 0;
        const BOOL ok = InternetReadFile(m_url.get(), buffer, capacity, &got);
        read = got;
        return ok != FALSE;
    }

private:
    InternetHandle m_session;
    InternetHandle m_url;
};

std::unique_ptr<IUrlDownload> Open(const std::string& url, const std::string& headers) {
    InternetHandle session(InternetOpenA(kDownloadUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return nullptr;
    const std::string ansiUrl = qv::win::ToAnsi(url);
    InternetHandle opened(InternetOpenUrlA(session.get(), ansiUrl.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                           headers.empty() ? 0 : static_cast<DWORD>(-1), INTERNET_FLAG_RELOAD, 0));
    if (!opened) return nullptr;
    return std::make_unique<WinInetDownload>(std::move(session), std::move(opened));
}

}  // namespace

std::unique_ptr<IUrlDownload> WinInetUrlOpener::OpenUrl(const std::string& url) { return Open(url, {}); }

std::unique_ptr<IUrlDownload> WinInetUrlOpener::OpenUrlFrom(const std::string& url, std::int64_t offset,
                                                            const std::string& ifRange) {
    std::string headers = "Range: bytes=" + std::to_string(offset) + "-\r\n";
    if (!ifRange.empty()) headers += "If-Range: " + ifRange + "\r\n";
    return Open(url, headers);
}

}  // namespace launcher::win
