#include "ClassFactory.h"

namespace qv::win::com {

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    return create_(iid, out);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ModuleLifetime::Lock();
    } else {
        ModuleLifetime::Unlock();
    }
    return S_OK;
}

LocalClassRegistration::LocalClassRegistration(REFCLSID clsid, IClassFactory* factory) {
    result_ = CoRegisterClassObject(clsid, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

LocalClassRegistration::~LocalClassRegistration() {
    if (SUCCEEDED(result_)) {
        CoRevokeClassObject(cookie_);
    }
}

}  // namespace qv::win::com
