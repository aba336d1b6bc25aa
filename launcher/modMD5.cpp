#include "modMD5.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace launcher {
namespace {

using Word = std::uint32_t;

constexpr std::array<Word, 64> kSine = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Left-rotation amounts, four per round.
constexpr std::array<int, 16> kShift = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

Word RotateLeft(Word x, int n) { return (x << n) | (x >> (32 - n)); }

void Transform(std::array<Word, 4>& state, const unsigned char* block) {
    std::array<Word, 16> x{};
    for (int i = 0; i < 16; ++i) {
        x[i] = Word(block[4 * i]) | Word(block[4 * i + 1]) << 8 | Word(block[4 * i + 2]) << 16 |
               Word(block[4 * i + 3]) << 24;
    }
    Word a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        Word f = 0;
        int k = 0;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d);
                k = i;
                break;
            case 1:
                f = (b & d) | (c & ~d);
                k = (5 * i + 1) % 16;
                break;
            case 2:
                f = b ^ c ^ d;
                k = (3 * i + 5) % 16;
                break;
            default:
                f = c ^ (b | ~d);
                k = (7 * i) % 16;
                break;
        }
        const Word rotated = RotateLeft(a + f + kSine[i] + x[k], kShift[round * 4 + i % 4]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace

std::optional<std::string> MD5Hex(std::string_view text) {
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return std::nullopt;
    }

    // Message completion: a 1 bit, zeros up to 56 bytes mod 64, then the bit length low byte first.
    std::string message(text);
    const std::uint64_t bitLength = static_cast<std::uint64_t>(text.size()) * 8;
    message += '\x80';
    while (message.size() % 64 != 56) message += '\0';
    for (int i = 0; i < 8; ++i) message += static_cast<char>((bitLength >> (8 * i)) & 0xff);

    std::array<Word, 4> state = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
    for (std::size_t offset = 0; offset < message.size(); offset += 64) Transform(state, bytes + offset);

    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (Word word : state) {
        for (int i = 0; i < 4; ++i) {
            const auto byte = (word >> (8 * i)) & 0xff;
            hex += kHex[byte >> 4];
            hex += kHex[byte & 0xf];
        }
    }
    return hex;
}

}  // namespace launcher
