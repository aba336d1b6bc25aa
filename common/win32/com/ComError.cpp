#include "ComError.h"

#include <new>

#include "common/win32/Bstr.h"
#include "common/win32/ComPtr.h"
#include "common/win32/TextConvert.h"

namespace qv::win::com {

HRESULT SetComError(HRESULT result, const IID& iid, std::string_view source, std::string_view description) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Address()))) {
        const std::wstring wideSource = Widen(source);
        const std::wstring wideDescription = Widen(description);
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(wideSource.c_str()));
        create->SetDescription(const_cast<LPOLESTR>(wideDescription.c_str()));
        if (ComPtr<IErrorInfo> info = create.As<IErrorInfo>()) {
            SetErrorInfo(0, info.Get());
        }
    }
    return result;
}

HRESULT CurrentExceptionToComError(const IID& iid, std::string_view source) noexcept {
    try {
        try {
            throw;
        } catch (const qv::AppError& error) {
            return SetComError(ErrorNumberToHResult(error.Number()), iid, source, error.what());
        } catch (const ComFailure& failure) {
            return SetComError(failure.Result(), iid, source, failure.what());
        } catch (const std::bad_alloc&) {
            return SetComError(E_OUTOFMEMORY, iid, source, "内存不足");
        } catch (const std::exception& error) {
            return SetComError(E_UNEXPECTED, iid, source, error.what());
        } catch (...) {
            return SetComError(E_UNEXPECTED, iid, source, "");
        }
    } catch (...) {
        return E_UNEXPECTED;  // no memory left even for the error information
    }
}

HRESULT SupportsErrorInfo(REFIID iid, std::initializer_list<const IID*> interfaces) noexcept {
    for (const IID* candidate : interfaces) {
        if (IsEqualIID(iid, *candidate)) {
            return S_OK;
        }
    }
    return S_FALSE;
}

ErrorReport TakeErrorReport(HRESULT result) {
    ErrorReport report;
    report.result = result;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Address()) == S_OK && info) {
        Bstr description;
        Bstr source;
        info->GetDescription(description.Address());
        info->GetSource(source.Address());
        report.description = description.ToUtf8();
        report.source = source.ToUtf8();
    } else {
        report.description = LastErrorText(static_cast<DWORD>(result));
    }
    return report;
}

ErrorReport TakeErrorReport(EXCEPINFO& exception) {
    if (exception.pfnDeferredFillIn) {
        exception.pfnDeferredFillIn(&exception);
    }
    ErrorReport report;
    report.result = exception.scode != 0 ? exception.scode : ErrorNumberToHResult(exception.wCode);
    Bstr description;
    Bstr source;
    Bstr help;
    description.Attach(exception.bstrDescription);
    source.Attach(exception.bstrSource);
    help.Attach(exception.bstrHelpFile);
    exception = EXCEPINFO{};
    report.description = description.ToUtf8();
    report.source = source.ToUtf8();
    return report;
}

}  // namespace qv::win::com
