#include "MemoryPropertyBag.h"

#include <cstdint>
#include <cstring>

namespace qv::win::com {
namespace {

constexpr std::uint32_t kMagic = 0x42505651;  // "QVPB"
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::uint32_t kMostEntries = 4096;
constexpr std::uint32_t kLongestText = 1u << 20;

bool IsObject(VARTYPE type) { return type == VT_UNKNOWN || type == VT_DISPATCH; }

std::size_t ScalarSize(VARTYPE type) {
    switch (type) {
    case VT_I2: case VT_BOOL: case VT_UI2: return 2;
    case VT_I4: case VT_UI4: case VT_R4: case VT_ERROR: case VT_INT: case VT_UINT: return 4;
    case VT_R8: case VT_CY: case VT_DATE: case VT_I8: case VT_UI8: return 8;
    case VT_I1: case VT_UI1: return 1;
    default: return 0;
    }
}

HRESULT Put(IStream* stream, const void* data, ULONG size) {
    ULONG written = 0;
    const HRESULT result = stream->Write(data, size, &written);
    return FAILED(result) ? result : (written == size ? S_OK : STG_E_MEDIUMFULL);
}

HRESULT Take(IStream* stream, void* data, ULONG size) {
    ULONG read = 0;
    const HRESULT result = stream->Read(data, size, &read);
    return FAILED(result) ? result : (read == size ? S_OK : STG_E_READFAULT);
}

HRESULT PutText(IStream* stream, const wchar_t* text, std::uint32_t length) {
    HRESULT result = Put(stream, &length, sizeof length);
    return SUCCEEDED(result) ? Put(stream, text, length * sizeof(wchar_t)) : result;
}

HRESULT TakeText(IStream* stream, std::wstring& text) {
    std::uint32_t length = 0;
    HRESULT result = Take(stream, &length, sizeof length);
    if (FAILED(result)) return result;
    if (length > kLongestText) return STG_E_READFAULT;
    text.assign(length, L'\0');
    return length ? Take(stream, text.data(), length * sizeof(wchar_t)) : S_OK;
}

HRESULT CopyStream(IStream* from, IStream* to) {
    LARGE_INTEGER start{};
    ULARGE_INTEGER size{};
    HRESULT result = from->Seek(start, STREAM_SEEK_END, &size);
    if (SUCCEEDED(result)) result = from->Seek(start, STREAM_SEEK_SET, nullptr);
    if (SUCCEEDED(result)) {
        const auto length = static_cast<std::uint32_t>(size.QuadPart);
        result = Put(to, &length, sizeof length);
        if (SUCCEEDED(result)) result = from->CopyTo(to, size, nullptr, nullptr);
    }
    return result;
}

HRESULT NewMemoryStream(ComPtr<IStream>& stream) {
    return CreateStreamOnHGlobal(nullptr, TRUE, stream.Address());
}

}  // namespace

MemoryPropertyBag::Entry* MemoryPropertyBag::Find(LPCOLESTR name) {
    for (Entry& entry : entries_) {
        if (_wcsicmp(entry.name.c_str(), name) == 0) return &entry;
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE MemoryPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    Entry* entry = Find(name);
    if (!entry) return E_INVALIDARG;
    const VARTYPE wanted = value->vt;
    if (entry->object) {
        if (wanted != VT_EMPTY && !IsObject(wanted)) return DISP_E_TYPEMISMATCH;
        LARGE_INTEGER start{};
        entry->object->Seek(start, STREAM_SEEK_SET, nullptr);
        ComPtr<IUnknown> object;
        const HRESULT loaded = OleLoadFromStream(entry->object.Get(), IID_IUnknown,
                                                 reinterpret_cast<void**>(object.Address()));
        if (FAILED(loaded)) return loaded;
        VariantInit(value);
        if (wanted == VT_DISPATCH) {
            value->vt = VT_DISPATCH;
            return object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&value->pdispVal));
        }
        value->vt = VT_UNKNOWN;
        value->punkVal = object.Detach();
        return S_OK;
    }
    if (wanted == VT_EMPTY) {
        VariantInit(value);
        return VariantCopy(value, const_cast<VARIANT*>(&entry->value.Get()));
    }
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT result = VariantChangeType(&converted, const_cast<VARIANT*>(&entry->value.Get()), 0, wanted);
    if (FAILED(result)) return result;
    VariantInit(value);
    *value = converted;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    Entry fresh;
    fresh.name = name;
    if (IsObject(value->vt)) {
        if (!value->punkVal) return E_INVALIDARG;
        ComPtr<IPersistStream> persist;
        HRESULT result = value->punkVal->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.Address()));
        if (SUCCEEDED(result)) result = NewMemoryStream(fresh.object);
        if (SUCCEEDED(result)) result = OleSaveToStream(persist.Get(), fresh.object.Get());
        if (FAILED(result)) return result;
    } else if (ScalarSize(value->vt) != 0 || value->vt == VT_BSTR || value->vt == VT_EMPTY) {
        const HRESULT result = VariantCopy(fresh.value.Address(), value);
        if (FAILED(result)) return result;
    } else {
        return DISP_E_BADVARTYPE;
    }
    try {
        if (Entry* existing = Find(name)) {
            // Names match without regard to case; the first spelling stays.
            fresh.name = existing->name;
            *existing = std::move(fresh);
        } else {
            entries_.push_back(std::move(fresh));
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

std::vector<std::pair<std::wstring, VARTYPE>> MemoryPropertyBag::Entries() const {
    std::vector<std::pair<std::wstring, VARTYPE>> result;
    for (const Entry& entry : entries_) {
        result.emplace_back(entry.name, entry.object ? VARTYPE{VT_UNKNOWN} : entry.value.Type());
    }
    return result;
}

HRESULT MemoryPropertyBag::WriteTo(IStream* stream) const {
    if (!stream) return E_POINTER;
    const std::uint32_t header[3] = {kMagic, kFormatVersion, static_cast<std::uint32_t>(entries_.size())};
    HRESULT result = Put(stream, header, sizeof header);
    for (const Entry& entry : entries_) {
        if (FAILED(result)) break;
        result = PutText(stream, entry.name.c_str(), static_cast<std::uint32_t>(entry.name.size()));
        const VARTYPE type = entry.object ? VARTYPE{VT_UNKNOWN} : entry.value.Type();
        if (SUCCEEDED(result)) result = Put(stream, &type, sizeof type);
        if (FAILED(result)) break;
        const VARIANT& value = entry.value.Get();
        if (entry.object) {
            result = CopyStream(entry.object.Get(), stream);
        } else if (type == VT_BSTR) {
            result = PutText(stream, value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
        } else if (const std::size_t size = ScalarSize(type)) {
            result = Put(stream, &value.llVal, static_cast<ULONG>(size));
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
    std::vector<Entry> read;
    for (std::uint32_t index = 0; index < header[2]; ++index) {
        Entry entry;
        VARTYPE type = VT_EMPTY;
        result = TakeText(stream, entry.name);
        if (SUCCEEDED(result)) result = Take(stream, &type, sizeof type);
        if (FAILED(result)) return result;
        VARIANT& value = *entry.value.Address();
        if (IsObject(type)) {
            std::uint32_t length = 0;
            result = Take(stream, &length, sizeof length);
            if (SUCCEEDED(result)) result = NewMemoryStream(entry.object);
            if (SUCCEEDED(result)) {
                ULARGE_INTEGER size{};
                size.QuadPart = length;
                ULARGE_INTEGER copied{};
                result = stream->CopyTo(entry.object.Get(), size, nullptr, &copied);
                if (SUCCEEDED(result) && copied.QuadPart != length) result = STG_E_READFAULT;
            }
        } else if (type == VT_BSTR) {
            std::wstring text;
            result = TakeText(stream, text);
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
