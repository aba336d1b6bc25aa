#include "TypeLibrary.h"

#include <mutex>

#include "ComError.h"
#include <ocidl.h>

#if defined(__MINGW32__)
// In oleaut32 but missing from MinGW's headers.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDir);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND kind);
}
#endif

namespace qv::win::com {

HMODULE CurrentModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&CurrentModule), &module);
    return module;
}

std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

ComPtr<ITypeLib> ModuleTypeLibrary() {
    // Kept until the process ends: releasing it from a static destructor could
    // run after COM is shut down.
    static std::once_flag once;
    static ITypeLib* library = nullptr;
    std::call_once(once, [] {
        const std::wstring path = ModulePath(CurrentModule());
        if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library))) {
            library = nullptr;
        }
    });
    return ComPtr<ITypeLib>(library);
}

ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    if (ComPtr<ITypeLib> library = ModuleTypeLibrary()) {
        library->GetTypeInfoOfGuid(guid, info.Address());
    }
    return info;
}

HRESULT RegisterModuleTypeLibrary(RegistryScope scope) {
    ComPtr<ITypeLib> library = ModuleTypeLibrary();
    if (!library) {
        return TYPE_E_CANTLOADLIBRARY;
    }
    std::wstring path = ModulePath(CurrentModule());
    return scope == RegistryScope::User ? RegisterTypeLibForUser(library.Get(), path.data(), nullptr)
                                        : RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterModuleTypeLibrary(RegistryScope scope) {
    ComPtr<ITypeLib> library = ModuleTypeLibrary();
    if (!library) {
        return TYPE_E_CANTLOADLIBRARY;
    }
    TLIBATTR* attributes = nullptr;
    HRESULT result = library->GetLibAttr(&attributes);
    if (FAILED(result)) {
        return result;
    }
    const TLIBATTR copy = *attributes;
    library->ReleaseTLibAttr(attributes);
    return scope == RegistryScope::User
               ? UnRegisterTypeLibForUser(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind)
               : UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
}

HRESULT DefaultEventInterface(IUnknown* object, ComPtr<ITypeInfo>& events, IID& iid) {
    if (!object) return E_POINTER;
    ComPtr<IProvideClassInfo> classInfo;
    ComPtr<ITypeInfo> coclass;
    HRESULT hr = object->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(classInfo.Address()));
    if (SUCCEEDED(hr)) hr = classInfo->GetClassInfo(coclass.Address());
    TYPEATTR* attributes = nullptr;
    if (SUCCEEDED(hr)) hr = coclass->GetTypeAttr(&attributes);
    if (FAILED(hr)) return hr;
    const WORD count = attributes->cImplTypes;
    coclass->ReleaseTypeAttr(attributes);
    constexpr INT kDefaultSource = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    for (UINT index = 0; index < count; ++index) {
        INT flags = 0;
        HREFTYPE reference = 0;
        if (FAILED(coclass->GetImplTypeFlags(index, &flags)) || (flags & kDefaultSource) != kDefaultSource ||
            FAILED(coclass->GetRefTypeOfImplType(index, &reference)) ||
            FAILED(coclass->GetRefTypeInfo(reference, events.Address())) || FAILED(events->GetTypeAttr(&attributes))) {
            continue;
        }
        iid = attributes->guid;
        events->ReleaseTypeAttr(attributes);
        return S_OK;
    }
    events.Reset();
    return E_NOINTERFACE;
}

}  // namespace qv::win::com
