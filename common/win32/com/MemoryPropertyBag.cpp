#include "MemoryPropertyBag.h"

#include <cstdint>

namespace qv::win::com {
namespace {

constexpr std::uint32_t kMagic = 0x42505651;  // "QVPB"
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::uint32_t kMostEntries = 4096;
constexpr std::uint32_t kLongestText = 1u << 20;
constexpr std::uint32_t kLargestObject = 1u << 26;

HRESULT SaveObject(IUnknown* object, std::vector<unsigned char>& bytes) {
    ComPtr<IPersistStream> persist;
    HRESULT hr = object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.Address()));
    ComPtr<IStream> stream;
    if (SUCCEEDED(hr)) hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.Address());
    if (SUCCEEDED(hr)) hr = OleSaveToStream(persist.Get(), stream.Get());
    HGLOBAL memory = nullptr;
    if (SUCCEEDED(hr)) hr = GetHGlobalFromStream(stream.Get(), &memory);
    STATSTG stat{};
    if (SUCCEEDED(hr)) hr = stream->Stat(&stat, STATFLAG_NONAME);
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
    if (SUCCEEDED(hr) && !bytes.empty()) hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
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

// Bytes a value of this type takes in the stream form; 0 for none.
std::size_t ScalarSize(VARTYPE type) {
    switch (type) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_BOOL:
        case VT_UI2:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_R4:
        case VT_ERROR:
        case VT_INT:
        case VT_UINT:
            return 4;
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_I8:
        case VT_UI8:
            return 8;
        default:
            return 0;
    }
}

HRESULT PutBytes(IStream* stream, const void* data, ULONG size) {
    ULONG written = 0;
    const HRESULT result = stream->Write(data, size, &written);
    return FAILED(result) ? result : (written == size ? S_OK : STG_E_MEDIUMFULL);
}

HRESULT Take(IStream* stream, void* data, ULONG size) {
    ULONG read = 0;
    const HRESULT result = size ? stream->Read(data, size, &read) : S_OK;
    return FAILED(result) ? result : (read == size ? S_OK : STG_E_READFAULT);
}

HRESULT PutCounted(IStream* stream, const void* data, std::uint32_t count, ULONG unit) {
    const HRESULT result = PutBytes(stream, &count, sizeof count);
    return SUCCEEDED(result) ? PutBytes(stream, data, count * unit) : result;
}

template <class Container>
HRESULT TakeCounted(IStream* stream, Container& items, std::uint32_t most) {
    std::uint32_t count = 0;
    const HRESULT result = Take(stream, &count, sizeof count);
    if (FAILED(result)) return result;
    if (count > most) return STG_E_READFAULT;
    items.resize(count);
    return Take(stream, items.data(), static_cast<ULONG>(count * sizeof(typename Container::value_type)));
}

}  // namespace

BagEntry* MemoryPropertyBag::Find(LPCOLESTR name) {
    for (BagEntry& entry : entries_) {
        if (CompareStringOrdinal(entry.name.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL) return &entry;
    }
    return nullptr;
}

void MemoryPropertyBag::Put(BagEntry entry) {
    if (BagEntry* old = Find(entry.name.c_str())) {
        entry.name = std::move(old->name);  // the first spelling stays
        *old = std::move(entry);
    } else {
        entries_.push_back(std::move(entry));
    }
}

HRESULT STDMETHODCALLTYPE MemoryPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    const BagEntry* entry = Find(name);
    if (!entry) return E_INVALIDARG;
    const VARTYPE wanted = value->vt;
    // The caller's VARIANT holds only the type it asks for: overwritten, never cleared.
    if (entry->isObject) {
        if (wanted != VT_EMPTY && wanted != VT_UNKNOWN && wanted != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
        const bool dispatch = wanted == VT_DISPATCH;
        void* object = nullptr;
        const HRESULT hr = LoadObject(entry->object, dispatch ? IID_IDispatch : IID_IUnknown, &object);
        if (FAILED(hr)) return hr;
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
    if (hr == DISP_E_OVERFLOW) hr = ChangeSameSizeInteger(&result, entry->value.Get(), wanted);
    if (SUCCEEDED(hr)) *value = result;
    return hr;
}

HRESULT STDMETHODCALLTYPE MemoryPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    BagEntry entry;
    entry.name = name;
    const VARTYPE type = value->vt & ~VT_BYREF;
    if (type == VT_UNKNOWN || type == VT_DISPATCH) {
        IUnknown* object = (value->vt & VT_BYREF) ? (value->ppunkVal ? *value->ppunkVal : nullptr) : value->punkVal;
        if (object) {
            entry.isObject = true;
            const HRESULT hr = SaveObject(object, entry.object);
            if (FAILED(hr)) return hr;
            Put(std::move(entry));
            return S_OK;
        }
    }
    const HRESULT hr = VariantCopyInd(entry.value.Address(), value);
    if (FAILED(hr)) return hr;
    Put(std::move(entry));
    return S_OK;
}

HRESULT MemoryPropertyBag::WriteTo(IStream* stream) const {
    if (!stream) return E_POINTER;
    const std::uint32_t header[3] = {kMagic, kFormatVersion, static_cast<std::uint32_t>(entries_.size())};
    HRESULT result = PutBytes(stream, header, sizeof header);
    for (const BagEntry& entry : entries_) {
        if (FAILED(result)) break;
        result = PutCounted(stream, entry.name.data(), static_cast<std::uint32_t>(entry.name.size()), sizeof(wchar_t));
        const VARIANT& value = entry.value.Get();
        const VARTYPE type = entry.isObject ? VARTYPE{VT_UNKNOWN} : value.vt;
        if (SUCCEEDED(result)) result = PutBytes(stream, &type, sizeof type);
        if (FAILED(result)) break;
        if (entry.isObject) {
            result = PutCounted(stream, entry.object.data(), static_cast<std::uint32_t>(entry.object.size()), 1);
        } else if (type == VT_BSTR) {
            result =
                PutCounted(stream, value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal), sizeof(wchar_t));
        } else if (const std::size_t size = ScalarSize(type)) {
            result = PutBytes(stream, &value.llVal, static_cast<ULONG>(size));
        } else if (type != VT_EMPTY) {
            result = DISP_E_BADVARTYPE;
        }
    }
    return result;
}

HRESULT MemoryPropertyBag::ReadFrom(IStream* stream) {
    if (!stream) return E_POINTER;
    std::uint32_t header[3] = {};
    HRESULT result = Take(stream, header, sizeof header);
    if (FAILED(result)) return result;
    if (header[0] != kMagic || header[1] != kFormatVersion || header[2] > kMostEntries) return STG_E_INVALIDHEADER;
    std::vector<BagEntry> read;
    for (std::uint32_t index = 0; index < header[2]; ++index) {
        BagEntry entry;
        VARTYPE type = VT_EMPTY;
        result = TakeCounted(stream, entry.name, kLongestText);
        if (SUCCEEDED(result)) result = Take(stream, &type, sizeof type);
        if (FAILED(result)) return result;
        VARIANT& value = *entry.value.Address();
        if (type == VT_UNKNOWN) {
            entry.isObject = true;
            result = TakeCounted(stream, entry.object, kLargestObject);
        } else if (type == VT_BSTR) {
            std::wstring text;
            result = TakeCounted(stream, text, kLongestText);
            value.vt = VT_BSTR;
            value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        } else if (const std::size_t size = ScalarSize(type)) {
            value.vt = type;
            result = Take(stream, &value.llVal, static_cast<ULONG>(size));
        } else if (type != VT_EMPTY) {
            result = STG_E_INVALIDHEADER;
        }
        if (FAILED(result)) return result;
        read.push_back(std::move(entry));
    }
    entries_ = std::move(read);
    return S_OK;
}

}  // namespace qv::win::com
