// The archiver's command line, parsed and run as the launcher calls it.
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "testbed/arj32/ArjCommand.h"
#include "testbed/arj32/MemberName.h"
#include "TestArchives.h"

namespace arj::test {
namespace {

TEST(CommandLine, AcceptsTheLaunchersFormAndRejectsOthers) {
    struct Case {
        std::vector<std::string> args;
        bool valid;
        std::string archive, destination;
    };
    const std::vector<Case> cases = {
        {{"e", "C:\\dl\\a.dll.comps", "-y", "C:\\app\\ "}, true, "C:\\dl\\a.dll.comps", "C:\\app\\"},
        {{"e", "a.arj", "-y", "out/  "}, true, "a.arj", "out/"},
        {{"-y", "E", "a.arj"}, true, "a.arj", ""},
        {{"e", "a.arj", "d", "extra"}, false, "", ""},
        {{"x", "a.arj", "d"}, false, "", ""},
        {{"e"}, false, "", ""},
        {{}, false, "", ""},
    };
    for (const auto& c : cases) {
        const auto command = ParseCommandLine(c.args);
        ASSERT_EQ(command.has_value(), c.valid) << (c.args.empty() ? "" : c.args.back());
        if (command) {
            EXPECT_EQ(command->archive, c.archive);
            EXPECT_EQ(command->destination, c.destination);
        }
    }
}

TEST(CommandLine, AForcedExitCodeAppliesToTheNamedArchiveOnly) {
    EXPECT_EQ(ForcedExitCode("2", "C:\\dl\\a.dll.comps"), 2);
    EXPECT_EQ(ForcedExitCode("7@a.dll.comps", "C:\\x\\.update\\2\\a.dll.comps"), 7);
    EXPECT_EQ(ForcedExitCode("7@a.dll.comps", "out/a.dll.comps"), 7);
    EXPECT_EQ(ForcedExitCode("7@a.dll.comps", "C:\\x\\b.dll.comps"), std::nullopt);
    EXPECT_EQ(ForcedExitCode("7@a.dll.comps", "C:\\x\\xa.dll.comps"), std::nullopt);
    for (const char* bad : {"", "@a.dll.comps", "x@a.dll.comps", "2x"}) {
        EXPECT_EQ(ForcedExitCode(bad, "a.dll.comps"), std::nullopt) << bad;
    }
}

TEST(MemberNames, KeepOnlyPlainFileNames) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a.txt", "a.txt"},
        {"dir/sub/b.dll", "b.dll"},
        {"..\\..\\c.exe", "c.exe"},
        {"名字.txt", "名字.txt"},
        {"..", ""},
        {"...", ""},
        {"x/. .", ""},
        {"", ""},
        {"a:b", ""},
        {"bad|name", ""},
        {"tab\tname", ""},
        {"com1.log", ""},
        {"CON", ""},
        {"console.txt", "console.txt"},
        {"lpt10", "lpt10"},
    };
    for (const auto& [stored, expected] : cases) EXPECT_EQ(PlainMemberName(stored).value_or(""), expected) << stored;
}

TEST(Program, ExitCodesAndMessages) {
    ScratchFolder work("program");
    WriteFile(work.path() / "f.txt", MakeText(3000, 9));
    ASSERT_EQ(RunArj(work.path(), 1, "ok.arj", {"f.txt"}), 0);
    Bytes damaged = ReadFile(work.path() / "ok.arj");
    damaged[damaged.size() / 2] ^= 0x55;
    WriteFile(work.path() / "bad.arj", damaged);

    const auto dir = work.path().string();
    std::ostringstream out, err;
    EXPECT_EQ(RunArj32({"e", dir + "/ok.arj", "-y", dir + "/out/ "}, out, err), 0) << err.str();
    EXPECT_TRUE(ReadFile(work.path() / "out" / "f.txt") == ReadFile(work.path() / "f.txt"));

    std::ostringstream out2, err2;
    EXPECT_EQ(RunArj32({"e", dir + "/bad.arj", "-y", dir + "/bad/ "}, out2, err2), 1);
    EXPECT_NE(err2.str().find("bad.arj"), std::string::npos) << err2.str();

    std::ostringstream out3, err3;
    EXPECT_EQ(RunArj32({"e", dir + "/missing.arj", "-y", dir + "/m/ "}, out3, err3), 1);
    EXPECT_NE(err3.str().find("cannot open"), std::string::npos) << err3.str();

    // The built program gives the same exit code to its caller.
    const std::string command =
        std::string(ARJ32_NATIVE) + " e '" + dir + "/bad.arj' -y '" + dir + "/bad2/ ' 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

}  // namespace
}  // namespace arj::test
