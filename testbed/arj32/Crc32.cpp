#include "Crc32.h"

#include <array>

namespace arj {
namespace {

// Eight tables so that the loop takes eight bytes per step: extraction spends much of its time here.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
    Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (std::size_t i = 0; i < 256; ++i)
        for (std::size_t k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
    return t;
}

constexpr Tables kTables = MakeTables();

}  // namespace

void Crc32::Update(const std::uint8_t* data, std::size_t size) {
    std::uint32_t c = state_;
    while (size >= 8) {
        const std::uint32_t lo = c ^ (std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                                      std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24);
        c = kTables[7][lo & 0xFFu] ^ kTables[6][(lo >> 8) & 0xFFu] ^ kTables[5][(lo >> 16) & 0xFFu] ^
            kTables[4][lo >> 24] ^ kTables[3][data[4]] ^ kTables[2][data[5]] ^ kTables[1][data[6]] ^
            kTables[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size-- > 0) c = (c >> 8) ^ kTables[0][(c ^ *data++) & 0xFFu];
    state_ = c;
}

std::uint32_t Crc32::Of(const std::uint8_t* data, std::size_t size) {
    Crc32 crc;
    crc.Update(data, size);
    return crc.Value();
}

}  // namespace arj
