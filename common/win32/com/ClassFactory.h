#pragma once
// A class factory that makes objects through a creator function.
//
//   auto factory = qv::win::com::MakeObject<qv::win::com::ClassFactory>(
//       [](REFIID iid, void** out) { return qv::win::com::CreateAndQuery<Thing>(iid, out); });
//   // in-process: DllGetClassObject answers factory->QueryInterface(iid, out);
//   //             DllCanUnloadNow answers ModuleLifetime::Count() == 0 ? S_OK : S_FALSE.
//   // local server: LocalClassRegistration keeps it registered for its lifetime.
//
// The factory itself holds no module lock (COM keeps a reference to a
// registered factory for as long as it is registered); LockServer does.
// Aggregation is refused.
#include <functional>

#include "ComObject.h"
#include "ComError.h"

namespace qv::win::com {

using ObjectCreator = std::function<HRESULT(REFIID iid, void** out)>;

// Makes a T (constructor exceptions become COM errors) and asks it for `iid`.
template <class T>
HRESULT CreateAndQuery(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    ComPtr<T> object;
    const HRESULT made = ComEntry(IID_IClassFactory, "", [&] { object = MakeObject<T>(); });
    return FAILED(made) ? made : object->QueryInterface(iid, out);
}

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
public:
    static constexpr InterfaceEntry<ClassFactory> kInterfaces[] = {
        Expose<ClassFactory, IClassFactory>(IID_IClassFactory)};

    explicit ClassFactory(ObjectCreator create) : create_(std::move(create)) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ObjectCreator create_;
};

// CoRegisterClassObject for a local server (REGCLS_MULTIPLEUSE), revoked on destruction.
class LocalClassRegistration {
public:
    LocalClassRegistration(REFCLSID clsid, IClassFactory* factory);
    ~LocalClassRegistration();
    LocalClassRegistration(const LocalClassRegistration&) = delete;
    LocalClassRegistration& operator=(const LocalClassRegistration&) = delete;
    HRESULT Result() const noexcept { return result_; }

private:
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

}  // namespace qv::win::com
