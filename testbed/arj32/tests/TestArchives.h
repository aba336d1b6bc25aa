#pragma once
// Test helpers: files to archive, Debian's arj to pack them, and hand-made
// stored archives for what arj itself would never write.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace arj::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the test's working folder, removed by the destructor.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& tag);
    ~ScratchFolder();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

Bytes ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

// Deterministic contents: word-like text (compresses, has long matches) and noise.
Bytes MakeText(std::size_t size, unsigned seed);
Bytes MakeNoise(std::size_t size, unsigned seed);

// Runs `arj a -m<method> -y archive files...` in folder; returns arj's exit code.
int RunArj(const std::filesystem::path& folder, int method, const std::string& archive,
           const std::vector<std::string>& files);

struct CraftedMember {
    std::string name;
    Bytes data;
    std::uint8_t flags = 0;
    std::uint8_t method = 0;  // the data is stored as given whatever this says
    std::uint8_t fileType = 0;
};

// A well-formed archive (valid header CRCs and data CRCs) holding the members.
Bytes CraftArchive(const std::vector<CraftedMember>& members, std::uint8_t mainFlags = 0);

}  // namespace arj::test
