#include "testbed/update-service/RequestLog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace testbed {
namespace {

TEST(updateRequestLog, OneLineOfFourTabSeparatedFields) {
    EXPECT_EQ(LogLine({"GET", "/api/GetProgramFiles.ashx", "cid=a%20b&rnd=1", "Quorvel.client"}),
              "GET\t/api/GetProgramFiles.ashx\tcid=a%20b&rnd=1\tQuorvel.client\n");
    EXPECT_EQ(LogLine({"GET", "/", "", ""}), "GET\t/\t\t\n");
    EXPECT_EQ(LogLine({"GET", "/x", "", "agent\twith\r\nbreaks"}), "GET\t/x\t\tagent with  breaks\n");
}

TEST(updateRequestLog, AppendsToWhatIsThereAndIsReadableAtOnce) {
    const auto file = std::filesystem::temp_directory_path() / ("update-log-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(file) << "earlier\n";
    const auto contents = [&] {
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    };
    {
        RequestLog log(file);
        ASSERT_TRUE(log.IsOpen());
        log.Append({"GET", "/a", "q=1", "ua"});
        EXPECT_EQ(contents(), "earlier\nGET\t/a\tq=1\tua\n");
        log.Append({"POST", "/b", "", "ua"});
    }
    EXPECT_EQ(contents(), "earlier\nGET\t/a\tq=1\tua\nPOST\t/b\t\tua\n");
    std::filesystem::remove(file);
    EXPECT_FALSE(RequestLog(file.parent_path() / "no-such-folder" / "log.txt").IsOpen());
}

}  // namespace
}  // namespace testbed
