#include "launcher/win32/WinInetDownload.h"

#include <gtest/gtest.h>

#include <string>

#include "LoopbackHttpServer.h"

namespace {

using launcher::win::WinInetUrlOpener;
using launcher::win::test::LoopbackHttpServer;
using launcher::win::test::ScriptedResponse;

std::string ReadAll(launcher::IUrlDownload& download, std::vector<std::uint32_t>& sizes) {
    std::string body;
    char buffer[4096];
    for (int guard = 0; guard < 10000; ++guard) {
        std::uint32_t read = 0;
        if (!download.ReadBlock(buffer, sizeof buffer, read) || read == 0) break;
        sizes.push_back(read);
        body.append(buffer, read);
    }
    return body;
}

TEST(WinInetDownload, ReadsTheBodyInBlocksWithItsLengthAndStatus) {
    std::string body(10000, '\0');
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
    LoopbackHttpServer server(ScriptedResponse{200, "OK", "application/octet-stream", body});
    WinInetUrlOpener opener;

    const auto download = opener.OpenUrl(server.BaseUrl() + "/download/a.ocx.comps");
    ASSERT_TRUE(download);
    EXPECT_EQ(download->QueryContentLength(), "10000");
    EXPECT_EQ(download->QueryStatusCode(), "200");
    std::vector<std::uint32_t> sizes;
    EXPECT_EQ(ReadAll(*download, sizes), body);
    for (std::uint32_t size : sizes) EXPECT_LE(size, 4096u);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /download/a.ocx.comps HTTP/1.1");
    EXPECT_EQ(requests[0].Header("User-Agent"), launcher::win::kDownloadUserAgent);
}

TEST(WinInetDownload, AnErrorStatusIsReportedAndAClosedPortCannotBeOpened) {
    LoopbackHttpServer server(ScriptedResponse{404, "Not Found", "text/plain", "missing"});
    WinInetUrlOpener opener;
    const auto download = opener.OpenUrl(server.BaseUrl() + "/download/x.comps");
    ASSERT_TRUE(download);
    EXPECT_EQ(download->QueryStatusCode(), "404");

    EXPECT_FALSE(opener.OpenUrl("http://127.0.0.1:" + std::to_string(LoopbackHttpServer::ClosedPort()) + "/x.comps"));
}

}  // namespace
