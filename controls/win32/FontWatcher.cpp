#include "FontWatcher.h"

namespace controls::win {

void FontWatcher::Watch(IUnknown* font) {
    Stop();
    if (!font) return;
    qv::win::ComPtr<IConnectionPointContainer> container;
    if (FAILED(font->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Address()))) ||
        FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, point_.Address()))) {
        point_.Reset();
        return;
    }
    if (FAILED(point_->Advise(static_cast<IPropertyNotifySink*>(this), &cookie_))) point_.Reset();
}

void FontWatcher::Stop() noexcept {
    if (point_) point_->Unadvise(cookie_);
    point_.Reset();
    cookie_ = 0;
}

HRESULT STDMETHODCALLTYPE FontWatcher::OnChanged(DISPID) {
    if (onChange_) onChange_();
    return S_OK;
}

}  // namespace controls::win
