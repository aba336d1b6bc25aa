#pragma once
#include <cstdint>
#include <vector>

#include "ByteStreams.h"

namespace arj {

// Most-significant-bit-first reader of a member's packed data. Past the end it
// yields zero bits for a few bytes (the coder's last peek may reach beyond its
// final byte), then throws ArjError so that damaged data cannot run on forever.
class BitInput {
public:
    explicit BitInput(ByteSource& source);

    // Next n bits (n <= 16) without consuming them.
    std::uint32_t Peek(int n) {
        if (count_ < n) Refill();
        return static_cast<std::uint32_t>(bits_ >> (64 - n));
    }
    void Skip(int n) {
        if (count_ < n) Refill();
        bits_ <<= n;
        count_ -= n;
    }
    std::uint32_t Get(int n) {
        if (n == 0) return 0;
        const std::uint32_t v = Peek(n);
        Skip(n);
        return v;
    }

private:
    void Refill();

    ByteSource& source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    std::uint64_t bits_ = 0;  // valid bits at the top
    int count_ = 0;
    int padding_ = 0;  // zero bytes given past the end
};

}  // namespace arj
