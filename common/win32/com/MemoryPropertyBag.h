#pragma once
// A property bag held in memory, in the order its entries were written. Objects
// (a font, a picture) are kept as their persisted bytes, so a read gives a
// fresh object, as a bag kept in a file would. The controls use it to save
// and load themselves through a stream (IPersistStreamInit) with the same
// code that serves a container's bag.
#include <string>
#include <vector>

#include "ComObject.h"
#include "Variant.h"
#include <ocidl.h>

namespace qv::win::com {

class MemoryPropertyBag final : public ComObject<MemoryPropertyBag, IPropertyBag> {
public:
    static constexpr InterfaceEntry<MemoryPropertyBag> kInterfaces[] = {
        Expose<MemoryPropertyBag, IPropertyBag>(IID_IPropertyBag)};

    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

    // The entries as written: name and type, in order.
    std::vector<std::pair<std::wstring, VARTYPE>> Entries() const;

    // The bytes of all entries, and the reverse; ReadFrom replaces the entries.
    HRESULT WriteTo(IStream* stream) const;
    HRESULT ReadFrom(IStream* stream);

private:
    struct Entry {
        std::wstring name;
        Variant value;              // anything but an object
        ComPtr<IStream> object;     // an object's persisted bytes (class id first)
    };
    Entry* Find(LPCOLESTR name);

    std::vector<Entry> entries_;
};

}  // namespace qv::win::com
