#include "ArjHeader.h"

#include "ArjError.h"
#include "Crc32.h"

namespace arj {
namespace {

constexpr std::uint8_t kId0 = 0x60;
constexpr std::uint8_t kId1 = 0xEA;
constexpr std::size_t kMaxBasicHeader = 2600;
constexpr std::size_t kMainFixedSize = 8;    // through the file type
constexpr std::size_t kLocalFixedSize = 24;  // through the data CRC

std::uint32_t Le16(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

void ReadChecked(ByteSource& source, std::vector<std::uint8_t>& bytes, const char* what) {
    ReadExactly(source, bytes.data(), bytes.size());
    std::uint8_t stored[4];
    ReadExactly(source, stored, 4);
    if (Crc32::Of(bytes.data(), bytes.size()) != Le32(stored)) throw ArjError(std::string("CRC error in ") + what);
}

// The name and the comment follow the fixed fields, each ended by a zero byte.
std::string NameAfter(const std::vector<std::uint8_t>& block, std::size_t fixedSize) {
    const std::size_t start = block[0];
    if (start < fixedSize || start >= block.size()) throw ArjError("damaged header: bad field size");
    std::size_t end = start;
    while (end < block.size() && block[end] != 0) ++end;
    if (end == block.size()) throw ArjError("damaged header: unterminated name");
    return std::string(block.begin() + static_cast<std::ptrdiff_t>(start),
                       block.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadHeaderBlock(ByteSource& source) {
    std::uint8_t lead[4];
    ReadExactly(source, lead, 4);
    if (lead[0] != kId0 || lead[1] != kId1) throw ArjError("not an ARJ archive or damaged header");
    const std::size_t size = Le16(lead + 2);
    if (size == 0) return std::nullopt;
    if (size > kMaxBasicHeader) throw ArjError("damaged header: size too large");
    std::vector<std::uint8_t> block(size);
    ReadChecked(source, block, "header");
    for (;;) {
        std::uint8_t extSize[2];
        ReadExactly(source, extSize, 2);
        if (Le16(extSize) == 0) break;
        std::vector<std::uint8_t> ext(Le16(extSize));
        ReadChecked(source, ext, "extended header");
    }
    return block;
}

MainHeader ParseMainHeader(const std::vector<std::uint8_t>& block) {
    MainHeader h;
    h.name = NameAfter(block, kMainFixedSize);
    h.flags = block[4];
    if (block[6] != static_cast<std::uint8_t>(FileType::CommentHeader))
        throw ArjError("not an ARJ archive: the first header is not the archive header");
    return h;
}

LocalHeader ParseLocalHeader(const std::vector<std::uint8_t>& block) {
    LocalHeader h;
    h.name = NameAfter(block, kLocalFixedSize);
    h.flags = block[4];
    h.method = block[5];
    h.fileType = block[6];
    h.packedSize = Le32(&block[12]);
    h.originalSize = Le32(&block[16]);
    h.crc = Le32(&block[20]);
    return h;
}

}  // namespace arj
