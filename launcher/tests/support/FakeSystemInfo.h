#pragma once
// A fixed system folder; counts how often it was asked for.
#include <string>
#include <utility>

#include "launcher/Platform.h"

namespace launcher {

class FakeSystemInfo : public ISystemInfo {
public:
    explicit FakeSystemInfo(std::string systemDirectory = "C:\\WINDOWS\\system32")
        : systemDirectory_(std::move(systemDirectory)) {}

    std::string SystemDirectory() override {
        ++calls_;
        return systemDirectory_;
    }
    int Calls() const { return calls_; }

private:
    std::string systemDirectory_;
    int calls_ = 0;
};

}  // namespace launcher
