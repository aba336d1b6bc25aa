#include "BitInput.h"

#include "ArjError.h"

namespace arj {
namespace {
constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kMaxPadding = 8;
}  // namespace

BitInput::BitInput(ByteSource& source) : source_(source), buffer_(kBufferSize) {}

void BitInput::Refill() {
    while (count_ <= 56) {
        if (position_ == end_) {
            end_ = source_.Read(buffer_.data(), buffer_.size());
            position_ = 0;
            if (end_ == 0) {
                if (++padding_ > kMaxPadding) throw ArjError("damaged data: the packed data ends too early");
                count_ += 8;
                continue;
            }
        }
        bits_ |= std::uint64_t(buffer_[position_++]) << (56 - count_);
        count_ += 8;
    }
}

}  // namespace arj
