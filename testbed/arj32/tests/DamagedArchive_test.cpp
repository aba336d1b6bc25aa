// Damaged, truncated, hostile and unsupported archives end in an error, leave no
// partial file and write nothing outside the destination.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "testbed/arj32/ArjError.h"
#include "testbed/arj32/ArjExtractor.h"
#include "testbed/arj32/FolderOutput.h"
#include "TestArchives.h"

namespace arj::test {
namespace {

// Runs the extractor on bytes with the destination inside a sandbox; checks that
// the sandbox holds nothing but the destination and that the destination holds
// no partial file. Returns the error text, empty when there was none.
std::string ExtractInSandbox(const Bytes& archive, const std::filesystem::path& sandbox) {
    std::filesystem::remove_all(sandbox);
    std::filesystem::create_directories(sandbox / "dest");
    std::string error;
    try {
        MemorySource source(archive.data(), archive.size());
        FolderOutput output(sandbox / "dest");
        ExtractArchive(source, output);
    } catch (const ArjError& e) {
        error = e.what();
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sandbox)) {
        const auto relative = std::filesystem::relative(entry.path(), sandbox).generic_string();
        EXPECT_TRUE(relative == "dest" || relative.starts_with("dest/")) << "written outside: " << relative;
        EXPECT_EQ(entry.path().string().find(".arj-partial"), std::string::npos) << relative;
        EXPECT_FALSE(entry.is_directory() && relative != "dest") << relative;
    }
    return error;
}

struct Damage {
    const char* what;
    std::function<void(Bytes&, std::size_t firstData)> apply;
};

TEST(DamagedArchive, FlippedBytesAndTruncationEndInAnErrorWithNoPartialFiles) {
    ScratchFolder work("damage");
    const Bytes text = MakeText(60000, 5);
    const Bytes noise = MakeNoise(4000, 6);
    WriteFile(work.path() / "text.txt", text);
    WriteFile(work.path() / "noise.bin", noise);
    ASSERT_EQ(RunArj(work.path(), 1, "good.arj", {"text.txt", "noise.bin"}), 0);
    const Bytes good = ReadFile(work.path() / "good.arj");
    ASSERT_EQ(ExtractInSandbox(good, work.path() / "box"), "");

    // The first member's data starts after the main block and its own header block.
    const std::size_t mainEnd = 4 + (good[2] | good[3] << 8) + 4 + 2;
    const std::size_t firstData = mainEnd + 4 + (good[mainEnd + 2] | good[mainEnd + 3] << 8) + 4 + 2;
    const std::size_t firstPacked = good[mainEnd + 4 + 12] | good[mainEnd + 4 + 13] << 8 | good[mainEnd + 4 + 14] << 16;

    auto flip = [](std::size_t at) { return [at](Bytes& b, std::size_t) { b[at] ^= 0xFF; }; };
    auto cut = [](std::size_t size) { return [size](Bytes& b, std::size_t) { b.resize(size); }; };
    const std::vector<Damage> damages = {
        {"header id", flip(0)},
        {"main header size", flip(3)},
        {"main header field", flip(10)},
        {"main header CRC", flip(mainEnd - 3)},
        {"local header id", flip(mainEnd)},
        {"local header packed size", flip(mainEnd + 4 + 12)},
        {"local header data CRC", flip(mainEnd + 4 + 20)},
        {"local header name", flip(firstData - 12)},
        {"packed data, middle", flip(firstData + firstPacked / 2)},
        {"packed data, late", flip(firstData + firstPacked - 40)},
        {"second member's data", flip(good.size() - 4 - 2000)},
        {"end marker", flip(good.size() - 3)},
        {"cut inside the main header", cut(20)},
        {"cut after the main header", cut(mainEnd)},
        {"cut inside the local header", cut(mainEnd + 20)},
        {"cut inside the first data", cut(firstData + firstPacked / 2)},
        {"cut inside the second data", cut(good.size() - 1000)},
        {"cut before the end marker", cut(good.size() - 4)},
        {"empty file", cut(0)},
    };
    for (const auto& damage : damages) {
        Bytes bad = good;
        damage.apply(bad, firstData);
        const std::string error = ExtractInSandbox(bad, work.path() / "box");
        EXPECT_NE(error, "") << damage.what;
        // What did come out is whole and right.
        const auto dest = work.path() / "box" / "dest";
        if (std::filesystem::exists(dest / "text.txt")) {
            EXPECT_TRUE(ReadFile(dest / "text.txt") == text) << damage.what;
        }
        if (std::filesystem::exists(dest / "noise.bin")) {
            EXPECT_TRUE(ReadFile(dest / "noise.bin") == noise) << damage.what;
        }
    }
}

struct Crafted {
    const char* what;
    std::vector<CraftedMember> members;
    std::uint8_t mainFlags;
    const char* errorPart;  // nullptr: extracts
    std::vector<std::string> expectedFiles;
};

TEST(CraftedArchive, PathsAreDroppedAndWhatCannotBeReadIsRefused) {
    ScratchFolder work("crafted");
    const Bytes data = {'o', 'k'};
    const std::vector<Crafted> cases = {
        {"parent folders", {{"../../evil.txt", data}}, 0, nullptr, {"evil.txt"}},
        {"absolute and backslashes", {{"/etc/a.txt", data}, {"C:\\win\\b.txt", data}}, 0, nullptr, {"a.txt", "b.txt"}},
        {"directory entry skipped", {{"folder", {}, 0, 0, 3}, {"folder/c.txt", data}}, 0, nullptr, {"c.txt"}},
        {"dot-dot name", {{"a/..", data}}, 0, "unsafe", {}},
        {"empty name", {{"", data}}, 0, "unsafe", {}},
        {"folder only", {{"a/b/", data}}, 0, "unsafe", {}},
        {"drive-relative", {{"C:evil.txt", data}}, 0, "unsafe", {}},
        {"device name", {{"x/NUL.txt", data}}, 0, "unsafe", {}},
        {"password-protected member", {{"p.txt", data, 0x01}}, 0, "password", {}},
        {"split member", {{"v.txt", data, 0x04}}, 0, "multi-volume", {}},
        {"continued member", {{"v.txt", data, 0x08}}, 0, "multi-volume", {}},
        {"multi-volume archive", {{"v.txt", data}}, 0x04, "multi-volume", {}},
        {"unknown method", {{"m.txt", data, 0, 7}}, 0, "unsupported compression method 7", {}},
    };
    for (const auto& c : cases) {
        const std::string error = ExtractInSandbox(CraftArchive(c.members, c.mainFlags), work.path() / "box");
        if (c.errorPart) {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.what << ": " << error;
        } else {
            EXPECT_EQ(error, "") << c.what;
        }
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(work.path() / "box" / "dest"))
            files.push_back(entry.path().filename().string());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, c.expectedFiles) << c.what;
    }
}

}  // namespace
}  // namespace arj::test
