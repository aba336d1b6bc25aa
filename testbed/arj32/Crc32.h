#pragma once
#include <cstddef>
#include <cstdint>

namespace arj {

// The usual reflected CRC-32 (polynomial 0xEDB88320) that guards headers and member data.
class Crc32 {
public:
    void Update(const std::uint8_t* data, std::size_t size);
    std::uint32_t Value() const { return ~state_; }

    static std::uint32_t Of(const std::uint8_t* data, std::size_t size);

private:
    std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace arj
