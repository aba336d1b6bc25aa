#pragma once
// Sole owner of a BSTR. A null BSTR is COM's empty text and reads as "".
#include <string>
#include <string_view>
#include <utility>

#include "WindowsApi.h"
#include <oleauto.h>

namespace qv::win {

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::string_view utf8);
    explicit Bstr(std::wstring_view utf16);
    ~Bstr() { SysFreeString(text_); }

    Bstr(Bstr&& other) noexcept : text_(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept {
        Attach(other.Detach());
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const noexcept { return text_; }
    UINT Length() const noexcept { return SysStringLen(text_); }  // UTF-16 units
    std::string ToUtf8() const;
    // A new BSTR with the same text, for handing out through an out parameter.
    [[nodiscard]] BSTR Copy() const;

    // For out parameters: frees what is held, then gives the slot.
    BSTR* Address() noexcept {
        Attach(nullptr);
        return &text_;
    }
    // Takes over a BSTR the caller owns.
    void Attach(BSTR text) noexcept {
        if (text != text_) {
            SysFreeString(std::exchange(text_, text));
        }
    }
    [[nodiscard]] BSTR Detach() noexcept { return std::exchange(text_, nullptr); }

private:
    BSTR text_ = nullptr;
};

}  // namespace qv::win
