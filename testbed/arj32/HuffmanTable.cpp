#include "HuffmanTable.h"

#include "ArjError.h"

namespace arj {

void HuffmanTable::SetSingle(int symbol) { single_ = symbol; }

void HuffmanTable::Build(const std::uint8_t* lengths, int symbols) {
    single_ = -1;
    std::array<int, kMaxLength + 1> count{};
    for (int i = 0; i < symbols; ++i) {
        if (lengths[i] > kMaxLength) throw ArjError("damaged data: bad code length");
        ++count[lengths[i]];
    }
    count[0] = 0;
    std::uint32_t next = 0;
    std::uint16_t index = 0;
    for (int len = 1; len <= kMaxLength; ++len) {
        start_[len] = next;
        firstIndex_[len] = index;
        next += std::uint32_t(count[len]) << (kMaxLength - len);
        index = static_cast<std::uint16_t>(index + count[len]);
    }
    if (next > (1u << kMaxLength)) throw ArjError("damaged data: bad code table");
    start_[kMaxLength + 1] = next;

    sorted_.assign(index, 0);
    std::array<std::uint16_t, kMaxLength + 1> fill = firstIndex_;
    root_.fill(Entry{});
    for (int sym = 0; sym < symbols; ++sym) {
        const int len = lengths[sym];
        if (len == 0) continue;
        const std::uint16_t rank = static_cast<std::uint16_t>(fill[len]++ - firstIndex_[len]);
        sorted_[firstIndex_[len] + rank] = static_cast<std::uint16_t>(sym);
        if (len <= kRootBits) {
            const std::uint32_t first =
                (start_[len] >> (kMaxLength - kRootBits)) + (std::uint32_t(rank) << (kRootBits - len));
            const std::uint32_t span = 1u << (kRootBits - len);
            for (std::uint32_t k = 0; k < span; ++k)
                root_[first + k] = Entry{static_cast<std::uint16_t>(sym), static_cast<std::uint8_t>(len)};
        }
    }
}

int HuffmanTable::DecodeLong(BitInput& in, std::uint32_t v) const {
    for (int len = kRootBits + 1; len <= kMaxLength; ++len) {
        if (v >= start_[len] && v < start_[len + 1]) {
            in.Skip(len);
            return sorted_[firstIndex_[len] + ((v - start_[len]) >> (kMaxLength - len))];
        }
    }
    throw ArjError("damaged data: unknown code");
}

}  // namespace arj
