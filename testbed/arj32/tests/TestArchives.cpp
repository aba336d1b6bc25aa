#include "TestArchives.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "testbed/arj32/Crc32.h"

namespace arj::test {

ScratchFolder::ScratchFolder(const std::string& tag) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "arj32-" + tag + "-" + (info ? std::string(info->name()) : std::string("suite"));
    for (char& c : name)
        if (c == '/') c = '_';
    path_ = std::filesystem::current_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes MakeText(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> words;
    for (int i = 0; i < 4000; ++i) {
        std::string word(2 + random() % 9, 'a');
        for (char& c : word) c = static_cast<char>('a' + random() % 26);
        words.push_back(word);
    }
    Bytes text;
    text.reserve(size + 16);
    while (text.size() < size) {
        const std::string& word = words[random() % words.size()];
        text.insert(text.end(), word.begin(), word.end());
        text.push_back(random() % 12 == 0 ? '\n' : ' ');
    }
    text.resize(size);
    return text;
}

Bytes MakeNoise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes noise(size);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    return noise;
}

int RunArj(const std::filesystem::path& folder, int method, const std::string& archive,
           const std::vector<std::string>& files) {
    std::ostringstream command;
    command << "cd '" << folder.string() << "' && " << ARJ_PROGRAM << " a -m" << method << " -y " << archive;
    for (const auto& file : files) command << " " << file;
    command << " >/dev/null 2>&1";
    return std::system(command.str().c_str());
}

namespace {

void Put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, v & 0xFFFFu);
    Put16(out, v >> 16);
}

void PutBlock(Bytes& out, Bytes fixed, const std::string& name) {
    fixed[0] = static_cast<std::uint8_t>(fixed.size());
    fixed.insert(fixed.end(), name.begin(), name.end());
    fixed.push_back(0);
    fixed.push_back(0);  // empty comment
    out.push_back(0x60);
    out.push_back(0xEA);
    Put16(out, static_cast<std::uint32_t>(fixed.size()));
    out.insert(out.end(), fixed.begin(), fixed.end());
    Put32(out, Crc32::Of(fixed.data(), fixed.size()));
    Put16(out, 0);  // no extended header
}

}  // namespace

Bytes CraftArchive(const std::vector<CraftedMember>& members, std::uint8_t mainFlags) {
    Bytes out;
    Bytes main(30, 0);
    main[1] = 11;
    main[2] = 1;
    main[3] = 2;
    main[4] = mainFlags;
    main[6] = 2;  // archive header
    PutBlock(out, main, "crafted.arj");
    for (const auto& m : members) {
        Bytes local(30, 0);
        local[1] = 11;
        local[2] = 1;
        local[3] = 2;
        local[4] = m.flags;
        local[5] = m.method;
        local[6] = m.fileType;
        Bytes sizes;
        Put32(sizes, static_cast<std::uint32_t>(m.data.size()));
        Put32(sizes, static_cast<std::uint32_t>(m.data.size()));
        Put32(sizes, Crc32::Of(m.data.data(), m.data.size()));
        std::copy(sizes.begin(), sizes.end(), local.begin() + 12);
        PutBlock(out, local, m.name);
        out.insert(out.end(), m.data.begin(), m.data.end());
    }
    out.push_back(0x60);
    out.push_back(0xEA);
    Put16(out, 0);
    return out;
}

}  // namespace arj::test
