#include "HostPropertyBag.h"

#include <cstring>

#include "ComPtr.h"

namespace control_host {
namespace {

using qv::win::ComPtr;

HRESULT SaveObject(IUnknown* object, std::vector<unsigned char>& bytes) {
    ComPtr<IPersistStream> persist;
    HRESULT hr = object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.Address()));
    ComPtr<IStream> stream;
    if (SUCCEEDED(hr)) {
        hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.Address());
    }
    if (SUCCEEDED(hr)) {
        hr = OleSaveToStream(persist.Get(), stream.Get());
    }
    HGLOBAL memory = nullptr;
    if (SUCCEEDED(hr)) {
        hr = GetHGlobalFromStream(stream.Get(), &memory);
    }
    STATSTG stat{};
    if (SUCCEEDED(hr)) {
        hr = stream->Stat(&stat, STATFLAG_NONAME);
    }
    if (SUCCEEDED(hr)) {
        const auto* data = static_cast<const unsigned char*>(GlobalLock(memory));
        bytes.assign(data, data + stat.cbSize.QuadPart);
        GlobalUnlock(memory);
    }
    return hr;
}

HRESULT LoadObject(const std::vector<unsigned char>& bytes, REFIID iid, void** object) {
    ComPtr<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.Address());
    if (SUCCEEDED(hr) && !bytes.empty()) {
        hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    }
    if (SUCCEEDED(hr)) {
        const LARGE_INTEGER start{};
        hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
    }
    return SUCCEEDED(hr) ? OleLoadFromStream(stream.Get(), iid, object) : hr;
}

// Colours are written as 32-bit integers of either sign; a reader may ask for
// the other one, and the bits are what counts.
HRESULT ChangeSameSizeInteger(VARIANT* target, const VARIANT& source, VARTYPE wanted) {
    if ((source.vt == VT_I4 && wanted == VT_UI4) || (source.vt == VT_UI4 && wanted == VT_I4)) {
        target->vt = wanted;
        target->lVal = source.lVal;
        return S_OK;
    }
    return DISP_E_OVERFLOW;
}

}  // namespace

BagEntry* HostPropertyBag::Find(LPCOLESTR name) {
    for (BagEntry& entry : entries_) {
        if (CompareStringOrdinal(entry.name.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL) {
            return &entry;
        }
    }
    return nullptr;
}

void HostPropertyBag::Put(BagEntry entry) {
    if (BagEntry* old = Find(entry.name.c_str())) {
        entry.name = std::move(old->name);  // the first spelling stays
        *old = std::move(entry);
    } else {
        entries_.push_back(std::move(entry));
    }
}

HRESULT STDMETHODCALLTYPE HostPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) {
        return E_POINTER;
    }
    const BagEntry* entry = Find(name);
    if (!entry) {
        return E_INVALIDARG;
    }
    const VARTYPE wanted = value->vt;
    // The caller's VARIANT holds only the type it asks for: overwritten, never cleared.
    if (entry->isObject) {
        if (wanted != VT_EMPTY && wanted != VT_UNKNOWN && wanted != VT_DISPATCH) {
            return DISP_E_TYPEMISMATCH;
        }
        const bool dispatch = wanted == VT_DISPATCH;
        void* object = nullptr;
        const HRESULT hr = LoadObject(entry->object, dispatch ? IID_IDispatch : IID_IUnknown, &object);
        if (FAILED(hr)) {
            return hr;
        }
        VariantInit(value);
        value->vt = dispatch ? VT_DISPATCH : VT_UNKNOWN;
        value->punkVal = static_cast<IUnknown*>(object);
        return S_OK;
    }
    VARIANT result;
    VariantInit(&result);
    // The conversion functions take a non-const source that they leave alone.
    VARIANT& stored = const_cast<VARIANT&>(entry->value.Get());
    HRESULT hr = wanted == VT_EMPTY ? VariantCopy(&result, &stored) : VariantChangeType(&result, &stored, 0, wanted);
    if (hr == DISP_E_OVERFLOW) {
        hr = ChangeSameSizeInteger(&result, entry->value.Get(), wanted);
    }
    if (SUCCEEDED(hr)) {
        *value = result;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE HostPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) {
        return E_POINTER;
    }
    BagEntry entry;
    entry.name = name;
    const VARTYPE type = value->vt & ~VT_BYREF;
    if (type == VT_UNKNOWN || type == VT_DISPATCH) {
        IUnknown* object = (value->vt & VT_BYREF) ? (value->ppunkVal ? *value->ppunkVal : nullptr) : value->punkVal;
        if (object) {
            entry.isObject = true;
            const HRESULT hr = SaveObject(object, entry.object);
            if (FAILED(hr)) {
                return hr;
            }
            Put(std::move(entry));
            return S_OK;
        }
    }
    const HRESULT hr = VariantCopyInd(entry.value.Address(), value);
    if (FAILED(hr)) {
        return hr;
    }
    Put(std::move(entry));
    return S_OK;
}

}  // namespace control_host
