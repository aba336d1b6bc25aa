#include "SafeArray.h"

#include <new>

namespace qv::win {

SafeArray SafeArray::CreateVariants(ULONG count, LONG lowerBound) {
    SafeArray result;
    result.array_ = SafeArrayCreateVector(VT_VARIANT, lowerBound, count);
    if (!result.array_) {
        throw std::bad_alloc();
    }
    return result;
}

LONG SafeArray::LowerBound() const noexcept {
    LONG bound = 0;
    if (!array_ || FAILED(SafeArrayGetLBound(array_, 1, &bound))) {
        return 0;
    }
    return bound;
}

LONG SafeArray::UpperBound() const noexcept {
    LONG bound = -1;
    if (!array_ || FAILED(SafeArrayGetUBound(array_, 1, &bound))) {
        return -1;
    }
    return bound;
}

ULONG SafeArray::Count() const noexcept {
    if (!array_ || SafeArrayGetDim(array_) == 0) {
        return 0;
    }
    return static_cast<ULONG>(static_cast<long long>(UpperBound()) - LowerBound() + 1);
}

HRESULT SafeArray::CheckVariants() const noexcept {
    VARTYPE type = VT_EMPTY;
    if (!array_) {
        return DISP_E_BADINDEX;
    }
    if (FAILED(SafeArrayGetVartype(array_, &type)) || type != VT_VARIANT) {
        return DISP_E_TYPEMISMATCH;
    }
    // Element access takes one index per dimension.
    if (SafeArrayGetDim(array_) != 1) {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT SafeArray::GetElement(LONG index, Variant& value) const {
    if (const HRESULT hr = CheckVariants(); FAILED(hr)) {
        return hr;
    }
    return SafeArrayGetElement(array_, &index, value.Address());
}

HRESULT SafeArray::PutElement(LONG index, const Variant& value) {
    if (const HRESULT hr = CheckVariants(); FAILED(hr)) {
        return hr;
    }
    // The array copies the value; the pointer is not written through.
    return SafeArrayPutElement(array_, &index, const_cast<VARIANT*>(&value.Get()));
}

}  // namespace qv::win
