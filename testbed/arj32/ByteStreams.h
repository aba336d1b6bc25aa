#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace arj {

// Where archive bytes come from. Read returns fewer than size bytes only at the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// Where a member's bytes go. Throws ArjError when it cannot take them.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

class FileSource : public ByteSource {
public:
    // Throws ArjError when the file cannot be opened.
    explicit FileSource(const std::filesystem::path& path);
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

private:
    std::ifstream file_;
};

// Passes on at most limit bytes of another source: one member's packed data.
class LimitedSource : public ByteSource {
public:
    LimitedSource(ByteSource& inner, std::uint64_t limit) : inner_(inner), left_(limit) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;
    // Consumes what the decoder left unread; throws ArjError if the archive ends first.
    void SkipRest();

private:
    ByteSource& inner_;
    std::uint64_t left_;
};

// Reads exactly size bytes or throws ArjError naming what was cut off.
void ReadExactly(ByteSource& source, std::uint8_t* buffer, std::size_t size);

// Builds a path from UTF-8 text on every platform.
std::filesystem::path PathFromUtf8(const std::string& text);

}  // namespace arj
