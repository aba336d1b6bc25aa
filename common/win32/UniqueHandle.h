#pragma once
// Sole owner of a kernel handle. Win32 reports "no handle" as nullptr from some
// functions and INVALID_HANDLE_VALUE from others; both count as empty here.
#include <utility>

#include "WindowsApi.h"

namespace qv::win {

class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    static bool IsValid(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

    HANDLE Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return IsValid(handle_); }

    // Closes the handle held (unless it is the one passed) and keeps `handle`.
    void Reset(HANDLE handle = nullptr) noexcept {
        if (handle == handle_) {
            return;
        }
        const HANDLE old = std::exchange(handle_, handle);
        if (IsValid(old)) {
            CloseHandle(old);
        }
    }

    // Gives the handle up without closing it.
    [[nodiscard]] HANDLE Release() noexcept { return std::exchange(handle_, nullptr); }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace qv::win
