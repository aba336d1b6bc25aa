#include "Bstr.h"

#include <climits>
#include <new>

#include "TextConvert.h"

namespace qv::win {
namespace {

// Embedded NULs are kept: the length is explicit.
BSTR Allocate(std::wstring_view text) {
    if (text.size() > UINT_MAX / sizeof(wchar_t)) {
        throw std::bad_alloc();
    }
    const BSTR result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!result) {
        throw std::bad_alloc();
    }
    return result;
}

}  // namespace

Bstr::Bstr(std::string_view utf8) : text_(Allocate(Widen(utf8))) {}

Bstr::Bstr(std::wstring_view utf16) : text_(Allocate(utf16)) {}

std::string Bstr::ToUtf8() const { return Narrow(std::wstring_view(text_, Length())); }

BSTR Bstr::Copy() const { return text_ ? Allocate(std::wstring_view(text_, Length())) : nullptr; }

}  // namespace qv::win
