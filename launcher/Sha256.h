#pragma once
// SHA-256 of a byte stream fed in pieces, for checking downloaded archives.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace launcher {

using Sha256Bytes = std::array<unsigned char, 32>;

class Sha256 {
public:
    Sha256();
    void Update(const char* data, std::size_t size);
    // The hash takes no more data after either of these.
    Sha256Bytes Digest();
    std::string HexDigest();  // lower-case hexadecimal

private:
    void Block(const unsigned char* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<unsigned char, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0;
};

// 64 hexadecimal digits in either case, returned in lower case; empty when not.
std::string NormalisedSha256Text(const std::string& text);

}  // namespace launcher
