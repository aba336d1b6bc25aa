#include "ByteStreams.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ArjError.h"

namespace arj {

std::size_t MemorySource::Read(std::uint8_t* buffer, std::size_t size) {
    const std::size_t n = std::min(size, size_ - position_);
    if (n > 0) std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

FileSource::FileSource(const std::filesystem::path& path) : file_(path, std::ios::binary) {
    if (!file_) throw ArjError("cannot open the archive");
}

std::size_t FileSource::Read(std::uint8_t* buffer, std::size_t size) {
    file_.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(file_.gcount());
}

std::size_t LimitedSource::Read(std::uint8_t* buffer, std::size_t size) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, left_));
    const std::size_t n = wanted > 0 ? inner_.Read(buffer, wanted) : 0;
    left_ -= n;
    return n;
}

void LimitedSource::SkipRest() {
    std::uint8_t scratch[16384];
    while (left_ > 0) {
        if (Read(scratch, sizeof scratch) == 0) throw ArjError("the archive ends inside a member's data");
    }
}

void ReadExactly(ByteSource& source, std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const std::size_t n = source.Read(buffer + done, size - done);
        if (n == 0) throw ArjError("the archive is truncated");
        done += n;
    }
}

std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace arj
