#pragma once
// The container's property bag in memory, entries in the order they were
// first written. An object (a font, a picture) is kept as the bytes that
// OleSaveToStream writes, class identifier included, and every read of it
// makes a fresh object, as a bag read from a file would.
#include <string>
#include <vector>

#include "ComObject.h"
#include "Variant.h"
#include <ocidl.h>

namespace control_host {

struct BagEntry {
    std::wstring name;
    qv::win::Variant value;              // VT_EMPTY for an object
    std::vector<unsigned char> object;   // the object's stream, when it is one
    bool isObject = false;
};

class HostPropertyBag final : public qv::win::com::ComObject<HostPropertyBag, IPropertyBag> {
public:
    static constexpr qv::win::com::InterfaceEntry<HostPropertyBag> kInterfaces[] = {
        qv::win::com::Expose<HostPropertyBag, IPropertyBag>(IID_IPropertyBag)};

    // A missing name is E_INVALIDARG. The caller's vt asks for a type
    // (VariantChangeType); VT_EMPTY takes the value as stored.
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

    const std::vector<BagEntry>& Entries() const noexcept { return entries_; }
    // Appends or replaces, keeping the first write's place.
    void Put(BagEntry entry);
    void Clear() noexcept { entries_.clear(); }

private:
    BagEntry* Find(LPCOLESTR name);

    std::vector<BagEntry> entries_;
};

}  // namespace control_host
