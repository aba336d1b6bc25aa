// Archives made by Debian's arj with every method extract byte for byte.
#include <gtest/gtest.h>

#include "testbed/arj32/ArjExtractor.h"
#include "testbed/arj32/FolderOutput.h"
#include "TestArchives.h"

namespace arj::test {
namespace {

struct Sample {
    const char* name;
    Bytes contents;
};

std::vector<Sample> Samples() {
    Bytes big = MakeText(30u << 20, 7);
    const Bytes noise = MakeNoise(20u << 20, 8);
    big.insert(big.end(), noise.begin(), noise.end());  // 50 MB: long text, then incompressible
    return {{"text.txt", MakeText(300000, 1)},
            {"random.bin", MakeNoise(200000, 2)},
            {"empty.bin", {}},
            {"one.bin", {0x5A}},
            {"big.bin", std::move(big)}};
}

class RoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(RoundTrip, EveryFileComesBackByteForByte) {
    ScratchFolder work("roundtrip");
    const auto samples = Samples();
    std::vector<std::string> names;
    for (const auto& s : samples) {
        WriteFile(work.path() / s.name, s.contents);
        names.push_back(s.name);
    }
    ASSERT_EQ(RunArj(work.path(), GetParam(), "all.arj", names), 0);

    FileSource archive(work.path() / "all.arj");
    FolderOutput output(work.path() / "out");
    EXPECT_EQ(ExtractArchive(archive, output), static_cast<int>(samples.size()));
    for (const auto& s : samples) {
        const Bytes extracted = ReadFile(work.path() / "out" / s.name);
        EXPECT_EQ(extracted.size(), s.contents.size()) << s.name;
        EXPECT_TRUE(extracted == s.contents) << s.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, RoundTrip, ::testing::Values(0, 1, 2, 3, 4),
                         [](const auto& info) { return "m" + std::to_string(info.param); });

TEST(RoundTripFolders, MembersInFoldersLandFlatAndOverwriteOldFiles) {
    ScratchFolder work("flat");
    std::filesystem::create_directories(work.path() / "sub" / "deeper");
    const Bytes a = MakeText(5000, 3), b = MakeNoise(777, 4);
    WriteFile(work.path() / "sub" / "a.txt", a);
    WriteFile(work.path() / "sub" / "deeper" / "b.bin", b);
    ASSERT_EQ(RunArj(work.path(), 1, "tree.arj", {"-r", "sub"}), 0);

    std::filesystem::create_directories(work.path() / "out");
    WriteFile(work.path() / "out" / "a.txt", Bytes(100000, 'x'));
    FileSource archive(work.path() / "tree.arj");
    FolderOutput output(work.path() / "out");
    EXPECT_EQ(ExtractArchive(archive, output), 2);
    EXPECT_TRUE(ReadFile(work.path() / "out" / "a.txt") == a);
    EXPECT_TRUE(ReadFile(work.path() / "out" / "b.bin") == b);
    EXPECT_FALSE(std::filesystem::exists(work.path() / "out" / "sub"));
}

}  // namespace
}  // namespace arj::test
