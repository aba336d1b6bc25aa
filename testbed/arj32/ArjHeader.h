#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ByteStreams.h"

namespace arj {

enum ArjFlags : std::uint8_t {
    kGarbled = 0x01,  // password-protected
    kVolume = 0x04,   // continued in the next volume
    kExtFile = 0x08,  // continued from the previous volume
};

enum class FileType : std::uint8_t {
    Binary = 0,
    Text = 1,
    CommentHeader = 2,
    Directory = 3,
    VolumeLabel = 4,
    ChapterLabel = 5,
};

struct MainHeader {
    std::uint8_t flags = 0;
    std::string name;
};

struct LocalHeader {
    std::uint8_t flags = 0;
    std::uint8_t method = 0;
    std::uint8_t fileType = 0;
    std::uint32_t packedSize = 0;
    std::uint32_t originalSize = 0;
    std::uint32_t crc = 0;
    std::string name;  // as stored: folders separated by '/'
};

// Reads one header block (id, basic header, its CRC and any extended headers, whose
// CRCs are checked and whose contents are skipped). Returns the basic header's bytes,
// or nothing at the end-of-archive marker. Throws ArjError on a damaged block.
std::optional<std::vector<std::uint8_t>> ReadHeaderBlock(ByteSource& source);

// Throw ArjError when the block is too short for its fields or lacks its texts.
MainHeader ParseMainHeader(const std::vector<std::uint8_t>& block);
LocalHeader ParseLocalHeader(const std::vector<std::uint8_t>& block);

}  // namespace arj
