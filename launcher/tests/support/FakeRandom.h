#pragma once
// Hands out the given values in order, then repeats the last one (0 when none).
#include <cstddef>
#include <utility>
#include <vector>

#include "launcher/Platform.h"

namespace launcher {

class FakeRandom : public IRandom {
public:
    explicit FakeRandom(std::vector<float> values = {}) : values_(std::move(values)) {}

    float NextSingle() override {
        const std::size_t index = draws_++;
        if (values_.empty()) return 0.0f;
        return index < values_.size() ? values_[index] : values_.back();
    }
    std::size_t Draws() const { return draws_; }

private:
    std::vector<float> values_;
    std::size_t draws_ = 0;
};

}  // namespace launcher
