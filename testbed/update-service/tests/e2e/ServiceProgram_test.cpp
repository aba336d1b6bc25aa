// Starts the built update-service on a free port and talks to it over HTTP.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "common/TextCase.h"
#include "launcher/modMD5.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kSalt = "qvsalt.test.ab";
constexpr auto kWaitLimit = 5s;

std::string ReadAll(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The query the launcher builds for a customer code, rnd and database name.
std::string SignedQuery(const std::string& cid, const std::string& rnd, const std::string& db) {
    const auto sign = launcher::MD5Hex(kSalt + qv::AsciiLower(cid) + rnd + qv::AsciiLower(db));
    return "cid=" + cid + "&rnd=" + rnd + "&db=" + db + "&sign=" + sign.value_or("");
}

class ServiceProgram : public ::testing::Test {
protected:
    void SetUp() override {
        auto pattern = (fs::temp_directory_path() / "update-service-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        std::ofstream(m_folder / "catalogue.xml")
            << "<catalogue customer='School01' salt='" << kSalt << "'>"
            << "<File><cFileName>Tool.exe</cFileName><cVersion>4</cVersion><cFilePath>[CUR_PATH]</cFilePath>"
               "<cDownLoadPath>{base}/download/bin</cDownLoadPath><cIfReg>0</cIfReg></File>"
            << "</catalogue>";
        fs::create_directories(m_folder / "downloads" / "bin");
        m_archive = std::string("ARJ\0\x01\xff archive body\r\n", 20);
        std::ofstream(m_folder / "downloads" / "bin" / "Tool.exe.comps", std::ios::binary) << m_archive;
    }

    void TearDown() override {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            WaitForExit();
        }
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    // Starts the program with the catalogue, the downloads, the log and the
    // port file, plus extra arguments, its stdout going to a file; returns the
    // port it listens on, or -1 when it ended or gave none in time.
    int Start(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments = {UPDATE_SERVICE_PROGRAM,
                                              "--catalogue",
                                              (m_folder / "catalogue.xml").string(),
                                              "--downloads",
                                              (m_folder / "downloads").string(),
                                              "--log",
                                              LogFile().string(),
                                              "--port-file",
                                              (m_folder / "port").string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        const auto output = StdoutFile().string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int spawned = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            m_pid = -1;
            return -1;
        }
        for (const auto until = std::chrono::steady_clock::now() + kWaitLimit; std::chrono::steady_clock::now() < until;
             std::this_thread::sleep_for(10ms)) {
            int port = 0;
            if (std::ifstream(m_folder / "port") >> port) return port;
            if (Reaped()) return -1;
        }
        return -1;
    }

    // Whether the program has ended; its status is then in m_exitStatus.
    bool Reaped() {
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, WNOHANG) != m_pid) return m_pid <= 0;
        m_pid = -1;
        m_exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }

    // The exit status, or -1 when it did not end within the limit.
    int WaitForExit() {
        for (const auto until = std::chrono::steady_clock::now() + kWaitLimit; std::chrono::steady_clock::now() < until;
             std::this_thread::sleep_for(10ms)) {
            if (Reaped()) return m_exitStatus;
        }
        return -1;
    }

    int Terminate() {
        ::kill(m_pid, SIGTERM);
        return WaitForExit();
    }

    fs::path StdoutFile() const { return m_folder / "stdout.txt"; }
    fs::path LogFile() const { return m_folder / "requests.log"; }

    static httplib::Client ClientFor(int port) {
        httplib::Client client("127.0.0.1", port);
        client.set_connection_timeout(kWaitLimit);
        client.set_read_timeout(kWaitLimit);
        return client;
    }

    fs::path m_folder;
    std::string m_archive;
    pid_t m_pid = -1;
    int m_exitStatus = -1;
};

TEST_F(ServiceProgram, updateAnswersSignedRequestsAndLogsThemRaw) {
    const int port = Start();
    ASSERT_GT(port, 0);
    auto client = ClientFor(port);
    const httplib::Headers launcher = {{"User-Agent", "Quorvel.client"}};
    const auto base = "http://127.0.0.1:" + std::to_string(port);
    struct Case {
        std::string query;
        std::string result;
        bool listed;
    };
    const Case cases[] = {
        {SignedQuery("SCHOOL01", "4821337", ""),
         "<result><errorCode>1</errorCode><errorMessage></errorMessage></result>", true},
        // Signed over the bytes as sent: "%20" is not decoded first.
        {SignedQuery("School01", "7", "Main%20Db"),
         "<result><errorCode>1</errorCode><errorMessage></errorMessage></result>", true},
        {SignedQuery("School01", "4821337", "") + "0",
         "<result><errorCode>3</errorCode><errorMessage>请求签名验证失败。</errorMessage></result>", false},
        {SignedQuery("School02", "4821337", ""),
         "<result><errorCode>2</errorCode><errorMessage>客户编号无效。</errorMessage></result>", false},
    };
    std::string expectedLog;
    for (const auto& c : cases) {
        const auto target = "/api/GetProgramFiles.ashx?" + c.query;
        const auto response = client.Get(target.c_str(), launcher);
        ASSERT_TRUE(response) << c.query;
        EXPECT_EQ(response->status, 200) << c.query;
        EXPECT_EQ(response->get_header_value("Content-Type"), "text/xml; charset=utf-8");
        const auto list =
            "<ProgramFilesList><File><cFileName>Tool.exe</cFileName><cVersion>4</cVersion>"
            "<cFilePath>[CUR_PATH]</cFilePath><cDownLoadPath>" +
            base + "/download/bin</cDownLoadPath><cIfReg>0</cIfReg></File></ProgramFilesList>";
        EXPECT_EQ(response->body, R"(<?xml version="1.0" encoding="utf-8"?><quorvel>)" + c.result +
                                      (c.listed ? list : "") + "</quorvel>")
            << c.query;
        expectedLog += "GET\t/api/GetProgramFiles.ashx\t" + c.query + "\tQuorvel.client\n";
    }
    const auto other = client.Get("/api/Other.ashx?x=%41", {{"User-Agent", "other agent"}});
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 404);
    expectedLog += "GET\t/api/Other.ashx\tx=%41\tother agent\n";
    EXPECT_EQ(ReadAll(LogFile()), expectedLog);
    EXPECT_EQ(Terminate(), 0);
    EXPECT_EQ(ReadAll(StdoutFile()), "");
}

TEST_F(ServiceProgram, updateServesArchivesInsideTheDownloadFolderOnly) {
    const int port = Start();
    ASSERT_GT(port, 0);
    auto client = ClientFor(port);
    const auto archive = client.Get("/download/bin/Tool.exe.comps");
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->status, 200);
    EXPECT_EQ(archive->get_header_value("Content-Length"), std::to_string(m_archive.size()));
    EXPECT_EQ(archive->body, m_archive);
    const std::pair<const char*, int> refusals[] = {
        {"/download/bin/Missing.dll.comps", 404}, {"/download/bin", 404},
        {"/download/../catalogue.xml", 400},      {"/download/bin/..%2F..%2Fcatalogue.xml", 400},
        {"/download/bin%5CTool.exe.comps", 400},
    };
    for (const auto& [path, status] : refusals) {
        const auto response = client.Get(path);
        ASSERT_TRUE(response) << path;
        EXPECT_EQ(response->status, status) << path;
    }
    EXPECT_EQ(Lines(ReadAll(LogFile())).size(), 1u + std::size(refusals));
    EXPECT_EQ(Terminate(), 0);
}

TEST_F(ServiceProgram, updateFaultStatusReplacesTheAnswer) {
    const int port = Start({"--fault", "status:503", "--verbose"});
    ASSERT_GT(port, 0);
    auto client = ClientFor(port);
    const auto target = "/api/GetProgramFiles.ashx?" + SignedQuery("School01", "1", "");
    const auto response = client.Get(target.c_str());
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 503);
    // Downloads are not subject to faults.
    const auto archive = client.Get("/download/bin/Tool.exe.comps");
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->status, 200);
    EXPECT_EQ(Terminate(), 0);
    // Printed once each reply has gone out, so in either order.
    auto printed = Lines(ReadAll(StdoutFile()));
    std::sort(printed.begin(), printed.end());
    EXPECT_EQ(printed, (std::vector<std::string>{"GET " + target + " 503", "GET /download/bin/Tool.exe.comps 200"}));
}

TEST_F(ServiceProgram, updateEndsByItselfAfterItsLifetime) {
    ASSERT_GT(Start({"--lifetime", "1"}), 0);
    EXPECT_EQ(WaitForExit(), 0);
}

TEST_F(ServiceProgram, updateRefusesBadArguments) {
    EXPECT_EQ(Start({"--fault", "sometimes"}), -1);
    EXPECT_EQ(WaitForExit(), 2);
    EXPECT_EQ(ReadAll(StdoutFile()), "");
}

}  // namespace

TEST_F(ServiceProgram, updateAnswersRangesItselfAndCountsTheBytesServed) {
    const auto served = m_folder / "served.log";
    const int port = Start({"--served", served.string()});
    ASSERT_GT(port, 0);
    auto client = ClientFor(port);
    const auto whole = client.Get("/download/bin/Tool.exe.comps");
    ASSERT_TRUE(whole);
    const auto etag = whole->get_header_value("ETag");
    EXPECT_FALSE(etag.empty());
    EXPECT_FALSE(whole->get_header_value("Last-Modified").empty());

    const auto part = client.Get("/download/bin/Tool.exe.comps", {{"Range", "bytes=12-"}, {"If-Range", etag}});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->get_header_value("Content-Range"), "bytes 12-19/20");
    EXPECT_EQ(part->body, m_archive.substr(12));

    const auto stale = client.Get("/download/bin/Tool.exe.comps", {{"Range", "bytes=12-"}, {"If-Range", "\"old\""}});
    ASSERT_TRUE(stale);
    EXPECT_EQ(stale->status, 200);
    EXPECT_FALSE(stale->has_header("Content-Range"));
    EXPECT_EQ(stale->body, m_archive);

    const auto beyond = client.Get("/download/bin/Tool.exe.comps", {{"Range", "bytes=20-"}});
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->status, 416);
    EXPECT_EQ(beyond->get_header_value("Content-Range"), "bytes */20");
    EXPECT_EQ(Terminate(), 0);
    // A line is written once the library lets go of the reply, which may be after the next request.
    const std::string path = "/download/bin/Tool.exe.comps\t";
    auto lines = Lines(ReadAll(served));
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{path + "\t200\t0\t20", path + "bytes=12-\t200\t0\t20",
                                               path + "bytes=12-\t206\t12\t8", path + "bytes=20-\t416\t0\t0"}));
}

TEST_F(ServiceProgram, updateFaultsNamedForOneFileSpareTheOthers) {
    std::ofstream(m_folder / "downloads" / "bin" / "Other.dll.comps", std::ios::binary) << m_archive;
    const auto marker = m_folder / "held";
    const int port = Start({"--fault", "download-ignore-range@Tool.exe.comps", "--fault",
                            "download-hold:5@Other.dll.comps", "--hold-marker", marker.string()});
    ASSERT_GT(port, 0);
    auto client = ClientFor(port);
    const auto ignored = client.Get("/download/bin/Tool.exe.comps", {{"Range", "bytes=12-"}});
    ASSERT_TRUE(ignored);
    EXPECT_EQ(ignored->status, 200);
    EXPECT_EQ(ignored->body, m_archive);

    std::string received;
    std::thread release([&] {
        for (int wait = 0; wait < 500 && !fs::exists(marker); ++wait) std::this_thread::sleep_for(10ms);
        received = "marker seen";
        fs::remove(marker);
    });
    const auto held = client.Get("/download/bin/Other.dll.comps", {{"Range", "bytes=12-"}});
    release.join();
    EXPECT_EQ(received, "marker seen");
    ASSERT_TRUE(held);
    EXPECT_EQ(held->status, 206);
    EXPECT_EQ(held->body, m_archive.substr(12));
    EXPECT_EQ(Terminate(), 0);
}
