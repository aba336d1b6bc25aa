#pragma once
// A property bag held in memory, entries in the order they were first
// written. An object (a font, a picture) is kept as the bytes that
// OleSaveToStream writes, class identifier included, and every read of it
// makes a fresh object, as a bag read from a file would. The controls save
// themselves through a stream (IPersistStreamInit) with this bag's stream
// form; containers keep forms in it.
#include <string>
#include <vector>

#include "ComObject.h"
#include "common/win32/Variant.h"
#include <ocidl.h>

namespace qv::win::com {

struct BagEntry {
    std::wstring name;
    Variant value;                      // VT_EMPTY for an object
    std::vector<unsigned char> object;  // the object's stream, when it is one
    bool isObject = false;
};

class MemoryPropertyBag final : public ComObject<MemoryPropertyBag, IPropertyBag> {
public:
    static constexpr InterfaceEntry<MemoryPropertyBag> kInterfaces[] = {
        Expose<MemoryPropertyBag, IPropertyBag>(IID_IPropertyBag)};

    // A missing name is E_INVALIDARG. The caller's vt asks for a type
    // (VariantChangeType); VT_EMPTY takes the value as stored.
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

    const std::vector<BagEntry>& Entries() const noexcept { return entries_; }
    // Appends, or replaces an entry of the same name (any case) in its place
    // and with its first spelling.
    void Put(BagEntry entry);
    void Clear() noexcept { entries_.clear(); }

    // The bytes of all entries, and the reverse; ReadFrom replaces the
    // entries only when the whole stream reads well.
    HRESULT WriteTo(IStream* stream) const;
    HRESULT ReadFrom(IStream* stream);

private:
    BagEntry* Find(LPCOLESTR name);

    std::vector<BagEntry> entries_;
};

}  // namespace qv::win::com
