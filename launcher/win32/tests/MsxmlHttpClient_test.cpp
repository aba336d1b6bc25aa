#include "launcher/win32/MsxmlHttpClient.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "LoopbackHttpServer.h"
#include "common/win32/WindowsApi.h"
#include <objbase.h>
#include "launcher/modWeb.h"

namespace {

using launcher::IXmlDocument;
using launcher::win::MsxmlHttpClient;
using launcher::win::test::LoopbackHttpServer;
using launcher::win::test::ScriptedResponse;

const char* const kAnswer =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<quorvel><result><errorCode>1</errorCode><errorMessage>升级服务正常</errorMessage></result>"
    "<ProgramFilesList>"
    "<File><cFileName>quorvel.exe</cFileName><cVersion>12</cVersion><cFilePath>[CUR_PATH]</cFilePath>"
    "<cDownLoadPath>http://host/files</cDownLoadPath><cIfReg>0</cIfReg><cIfPrivate>1</cIfPrivate></File>"
    "<File><cFileName>报表.dll</cFileName><cIfReg>1</cIfReg></File>"
    "</ProgramFilesList></quorvel>";

ScriptedResponse XmlAnswer(const std::string& body = kAnswer) { return {200, "OK", "text/xml; charset=utf-8", body}; }

// The client leaves COM to its caller, as the launcher's start-up does.
class MsxmlHttpClientTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }

    bool Get(const std::string& url) { return client_.HttpGetXml(url, document_); }

    MsxmlHttpClient client_;
    std::unique_ptr<IXmlDocument> document_;
};

TEST_F(MsxmlHttpClientTest, SendsOneGetWithTheUserAgentAndTheQueryUnescaped) {
    LoopbackHttpServer server(XmlAnswer());
    const std::string target = "/api/GetProgramFiles.ashx?cid=AB&C=D&rnd=1234567&db=&sign=0123abcd";
    ASSERT_TRUE(Get(server.BaseUrl() + target));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET " + target + " HTTP/1.1");
    EXPECT_EQ(requests[0].Header("User-Agent"), "Quorvel.client");
}

// A hash sign starts the fragment of a URL, which is never sent: a customer
// code that holds one cuts the query short.
TEST_F(MsxmlHttpClientTest, DropsEverythingFromAHashSignOn) {
    LoopbackHttpServer server(XmlAnswer());
    ASSERT_TRUE(Get(server.BaseUrl() + "/api/GetProgramFiles.ashx?cid=A#B&rnd=5&db=&sign=ff"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /api/GetProgramFiles.ashx?cid=A HTTP/1.1");
}

TEST_F(MsxmlHttpClientTest, ReadsNodesAndUtf8TextOfTheAnswer) {
    LoopbackHttpServer server(XmlAnswer());
    ASSERT_TRUE(Get(server.BaseUrl() + "/answer"));
    ASSERT_NE(document_, nullptr);

    const auto result = document_->SelectSingleNode("/quorvel/result");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(launcher::GetNodeText(result->SelectSingleNode("errorCode").get(), "?"), "1");
    EXPECT_EQ(launcher::GetNodeText(result->SelectSingleNode("errorMessage").get(), "?"), "升级服务正常");
    EXPECT_EQ(result->SelectSingleNode("cFileName"), nullptr);

    const auto files = document_->SelectNodes("/quorvel/ProgramFilesList/File");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(launcher::GetNodeText(files[0]->SelectSingleNode("cFileName").get(), "?"), "quorvel.exe");
    EXPECT_EQ(launcher::GetNodeText(files[1]->SelectSingleNode("cFileName").get(), "?"), "报表.dll");
    EXPECT_EQ(files[1]->SelectSingleNode("cVersion"), nullptr);
    EXPECT_TRUE(document_->SelectNodes("/quorvel/Missing/File").empty());
}

TEST_F(MsxmlHttpClientTest, AnswerOverTheWireFillsTheProgramFiles) {
    struct FixedRandom final : launcher::IRandom {
        float NextSingle() override { return 0.5f; }
    } random;
    LoopbackHttpServer server(XmlAnswer());
    launcher::UpdateService service{client_, random, server.BaseUrl(), "salt.of.tests."};
    std::shared_ptr<launcher::clsProgramFiles> files;

    ASSERT_TRUE(launcher::GetProgramFiles(service, "K01", files, ""));
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->ErrorCode, 1);
    EXPECT_EQ(files->ErrorMessage, "升级服务正常");
    ASSERT_EQ(files->Count(), 2);
    EXPECT_EQ(files->Item(1)->cVersion, 12);
    EXPECT_TRUE(files->Item(1)->cIfPrivate);
    EXPECT_TRUE(files->Item(2)->cIfReg);
    EXPECT_EQ(
        server.Requests().at(0).requestLine.rfind("GET /api/GetProgramFiles.ashx?cid=K01&rnd=5000000&db=&sign=", 0),
        0u);
}

TEST_F(MsxmlHttpClientTest, StatusOtherThan200IsAFailure) {
    const ScriptedResponse answers[] = {
        {304, "Not Modified", "", ""},
        {404, "Not Found", "text/xml", kAnswer},
        {500, "Internal Server Error", "text/xml", kAnswer},
        {201, "Created", "text/xml", kAnswer},
    };
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.status);
        LoopbackHttpServer server(answer);
        EXPECT_FALSE(Get(server.BaseUrl() + "/api"));
        EXPECT_EQ(document_, nullptr);
        EXPECT_EQ(server.Requests().size(), 1u);
    }
}

TEST_F(MsxmlHttpClientTest, AnswerThatIsNotXmlGivesADocumentWithoutNodes) {
    const ScriptedResponse answers[] = {
        {200, "OK", "text/html", "<html><body>Service Unavailable"},
        {200, "OK", "text/xml", "<quorvel><result><errorCode>1</errorCode></result>"},
        {200, "OK", "text/xml", ""},
    };
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.body);
        LoopbackHttpServer server(answer);
        document_.reset();
        ASSERT_TRUE(Get(server.BaseUrl() + "/api"));
        ASSERT_NE(document_, nullptr);
        EXPECT_EQ(document_->SelectSingleNode("/quorvel/result"), nullptr);
        EXPECT_TRUE(document_->SelectNodes("//*").empty());
    }
}

TEST_F(MsxmlHttpClientTest, UnreachableServiceOrBadAddressIsAFailure) {
    const std::string urls[] = {
        "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::ClosedPort()) + "/api",
        "not an address",
        "http://",
        "",
    };
    for (const auto& url : urls) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(Get(url));
        EXPECT_EQ(document_, nullptr);
    }
}

}  // namespace
