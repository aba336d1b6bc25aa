#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "ArjError.h"
#include "ByteStreams.h"

namespace arj {

// The decoder's output: keeps enough history for the longest back-reference and
// hands the bytes to the sink in large pieces.
class OutputWindow {
public:
    static constexpr std::size_t kHistory = 1 << 16;  // largest distance any method uses
    static constexpr std::size_t kMaxMatch = 256;

    // sizeHint: the member's size, so that small members get a small buffer.
    OutputWindow(ByteSink& sink, std::uint32_t sizeHint);

    void Put(std::uint8_t byte) {
        buffer_[position_++] = byte;
        if (position_ >= limit_) Flush();
    }

    // Repeats length (<= kMaxMatch) bytes that start distance (1..kHistory) bytes back.
    void Copy(std::size_t distance, std::size_t length) {
        if (distance > position_) throw ArjError("damaged data: reference before the start");
        std::uint8_t* out = buffer_.data() + position_;
        const std::uint8_t* from = out - distance;
        if (distance >= length) {
            std::memcpy(out, from, length);
        } else {
            for (std::size_t i = 0; i < length; ++i) out[i] = from[i];
        }
        position_ += length;
        if (position_ >= limit_) Flush();
    }

    // Writes what is still held back.
    void Finish();

private:
    void Flush();

    ByteSink& sink_;
    std::vector<std::uint8_t> buffer_;
    std::size_t position_ = 0;
    std::size_t pending_ = 0;  // start of what the sink has not had yet
    std::size_t limit_;
    std::uint64_t produced_ = 0;  // bytes already handed to the sink
};

}  // namespace arj
