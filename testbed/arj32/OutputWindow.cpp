#include "OutputWindow.h"

namespace arj {
namespace {
constexpr std::size_t kChunk = 1 << 20;
}

OutputWindow::OutputWindow(ByteSink& sink, std::uint32_t sizeHint)
    : sink_(sink), limit_(kHistory + (sizeHint < kChunk ? sizeHint : kChunk)) {
    buffer_.resize(limit_ + kMaxMatch);
}

void OutputWindow::Flush() {
    Finish();
    // Keep the last kHistory bytes at the front for later back-references.
    const std::size_t keep = position_ < kHistory ? position_ : kHistory;
    std::memmove(buffer_.data(), buffer_.data() + position_ - keep, keep);
    position_ = keep;
    pending_ = keep;
}

void OutputWindow::Finish() {
    if (position_ > pending_) {
        sink_.Write(buffer_.data() + pending_, position_ - pending_);
        produced_ += position_ - pending_;
        pending_ = position_;
    }
}

}  // namespace arj
