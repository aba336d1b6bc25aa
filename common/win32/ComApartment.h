#pragma once
// COM on the calling thread for the object's lifetime: CoInitializeEx at
// construction, CoUninitialize at destruction when it succeeded.
#include <objbase.h>

namespace qv::win {

class ComApartment {
public:
    explicit ComApartment(DWORD model) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace qv::win
