#pragma once
// Tells an inner box when a property of the font object it shows changes
// (a host may write Font.Bold through the object that Font returned), so the
// box can take the font's new handle.
#include <functional>

#include "common/win32/com/ComObject.h"
#include <ocidl.h>

namespace controls::win {

class FontWatcher final : public qv::win::com::ComObject<FontWatcher, IPropertyNotifySink> {
public:
    static constexpr qv::win::com::InterfaceEntry<FontWatcher> kInterfaces[] = {
        qv::win::com::Expose<FontWatcher, IPropertyNotifySink>(IID_IPropertyNotifySink)};

    explicit FontWatcher(std::function<void()> onChange) : onChange_(std::move(onChange)) {}
    ~FontWatcher() override { Stop(); }

    // Watches `font` from now on (and no longer the one before); nullptr stops.
    void Watch(IUnknown* font);
    void Stop() noexcept;

    HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

private:
    std::function<void()> onChange_;
    qv::win::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace controls::win
