#pragma once
// Sole owner of a SAFEARRAY. Indexes are the array's own (counted from its
// lower bound), as COM passes them.
#include <utility>

#include "Variant.h"
#include "WindowsApi.h"
#include <oleauto.h>

namespace qv::win {

class SafeArray {
public:
    SafeArray() noexcept = default;
    ~SafeArray() { Attach(nullptr); }

    SafeArray(SafeArray&& other) noexcept : array_(other.Detach()) {}
    SafeArray& operator=(SafeArray&& other) noexcept {
        Attach(other.Detach());
        return *this;
    }
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;

    // A one-dimensional array of `count` empty VARIANTs with the given lower bound.
    static SafeArray CreateVariants(ULONG count, LONG lowerBound = 0);

    SAFEARRAY* Get() const noexcept { return array_; }
    // Bounds and size of the first dimension; an empty holder has none.
    LONG LowerBound() const noexcept;
    LONG UpperBound() const noexcept;
    ULONG Count() const noexcept;

    // Copies of the element out and in: DISP_E_BADINDEX outside the bounds,
    // DISP_E_TYPEMISMATCH for an array of anything but VARIANTs, E_INVALIDARG
    // for one of more than one dimension.
    HRESULT GetElement(LONG index, Variant& value) const;
    HRESULT PutElement(LONG index, const Variant& value);

    // Takes over an array the caller owns.
    void Attach(SAFEARRAY* array) noexcept {
        if (array != array_) {
            if (SAFEARRAY* old = std::exchange(array_, array)) {
                SafeArrayDestroy(old);
            }
        }
    }
    [[nodiscard]] SAFEARRAY* Detach() noexcept { return std::exchange(array_, nullptr); }

private:
    HRESULT CheckVariants() const noexcept;

    SAFEARRAY* array_ = nullptr;
};

}  // namespace qv::win
