#pragma once
// C++ failures at a COM entry point become an HRESULT plus the thread's error
// information (IErrorInfo: description, source, interface), so that automation
// clients see a number and a description.
//
//   HRESULT STDMETHODCALLTYPE Thing::Method(long value) {
//       return qv::win::com::ComEntry(IID_IThing, "Lib.Thing", [&] { core_.Method(value); });
//   }
//
// qv::AppError(n, text) becomes 0x800A0000|n with its text; ComFailure keeps
// its HRESULT; std::bad_alloc is E_OUTOFMEMORY; anything else E_UNEXPECTED.
// Classes that report errors this way also expose ISupportErrorInfo.
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/AppError.h"
#include "common/win32/WindowsApi.h"
#include <oaidl.h>

namespace qv::win::com {

constexpr HRESULT ErrorNumberToHResult(long number) {
    return static_cast<HRESULT>(0x800A0000UL | (static_cast<unsigned long>(number) & 0xFFFFUL));
}

// A failed COM call carried through C++ code.
class ComFailure : public std::runtime_error {
public:
    ComFailure(HRESULT result, const std::string& description) : std::runtime_error(description), result_(result) {}
    HRESULT Result() const noexcept { return result_; }

private:
    HRESULT result_;
};

inline void ThrowIfFailed(HRESULT result, const char* what) {
    if (FAILED(result)) {
        throw ComFailure(result, what);
    }
}

// Sets the thread's error information and returns `result`.
HRESULT SetComError(HRESULT result, const IID& iid, std::string_view source, std::string_view description);

// Call only inside a catch block: turns the exception being handled into an HRESULT.
HRESULT CurrentExceptionToComError(const IID& iid, std::string_view source) noexcept;

template <class Body>
HRESULT ComEntry(const IID& iid, std::string_view source, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return CurrentExceptionToComError(iid, source);
    }
}

// ISupportErrorInfo::InterfaceSupportsErrorInfo for a class whose listed interfaces report errors.
HRESULT SupportsErrorInfo(REFIID iid, std::initializer_list<const IID*> interfaces) noexcept;

// What a caller sees after a failed call: the error information, if the
// callee left any, else the system's text for the HRESULT.
struct ErrorReport {
    HRESULT result = S_OK;
    std::string description;
    std::string source;
};
ErrorReport TakeErrorReport(HRESULT result);
// The same from an EXCEPINFO filled by IDispatch::Invoke (DISP_E_EXCEPTION);
// clears the EXCEPINFO.
ErrorReport TakeErrorReport(EXCEPINFO& exception);

}  // namespace qv::win::com
