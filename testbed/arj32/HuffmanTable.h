#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "BitInput.h"

namespace arj {

// Canonical prefix code given by code lengths (shorter codes first, then by
// symbol), as the packed data's code-length tables describe them. Codes up to
// kRootBits long decode with one look-up; longer ones by comparing with each
// length's range.
class HuffmanTable {
public:
    static constexpr int kMaxLength = 16;

    // lengths[i] is symbol i's code length, 0 when unused. Throws ArjError for
    // lengths over 16 or an over-full code.
    void Build(const std::uint8_t* lengths, int symbols);
    // Every decode yields symbol without reading a bit (a block with one symbol).
    void SetSingle(int symbol);

    int Decode(BitInput& in) const {
        if (single_ >= 0) return single_;
        const std::uint32_t v = in.Peek(kMaxLength);
        const Entry e = root_[v >> (kMaxLength - kRootBits)];
        if (e.length != 0) {
            in.Skip(e.length);
            return e.symbol;
        }
        return DecodeLong(in, v);
    }

private:
    static constexpr int kRootBits = 12;
    struct Entry {
        std::uint16_t symbol = 0;
        std::uint8_t length = 0;  // 0: longer code or unassigned
    };

    int DecodeLong(BitInput& in, std::uint32_t v) const;

    int single_ = -1;
    std::array<Entry, 1 << kRootBits> root_{};
    std::array<std::uint32_t, kMaxLength + 2> start_{};  // first code of each length, left-aligned to 16 bits
    std::array<std::uint16_t, kMaxLength + 1> firstIndex_{};
    std::vector<std::uint16_t> sorted_;
};

}  // namespace arj
