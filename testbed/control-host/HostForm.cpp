#include "HostForm.h"

#include <set>

namespace control_host {
namespace {

constexpr int kRows = 7;

}  // namespace

HostForm::HostForm(HWND window) : window_(window), frame_(qv::win::com::MakeObject<HostFrame>(window)) {}

HostForm::~HostForm() { DestroyAll(); }

RECT HostForm::SlotPlace(int slot) {
    const int column = slot / kRows;
    const int row = slot % kRows;
    const int left = 10 + column * 240;
    const int top = 10 + row * 32;
    return {left, top, left + 200, top + 24};
}

int HostForm::FreeSlot() const {
    std::set<int> used;
    for (const auto& entry : controls_) {
        used.insert(entry.second.slot);
    }
    int slot = 0;
    while (used.count(slot)) {
        ++slot;
    }
    return slot;
}

HRESULT HostForm::Create(const std::string& name, const std::wstring& progid, const LoadSource& source,
                         const char** failedStep) {
    const HRESULT hr = Prepare(name, progid, failedStep);
    return SUCCEEDED(hr) ? Activate(name, source, failedStep) : hr;
}

HRESULT HostForm::Prepare(const std::string& name, const std::wstring& progid, const char** failedStep) {
    Destroy(name);
    HostedControl control;
    control.progid = progid;
    control.slot = FreeSlot();
    control.site = qv::win::com::MakeObject<ControlSite>(name, window_, frame_, &ambient_, journal_);
    const HRESULT hr = control.site->Instantiate(progid);
    if (failedStep) {
        *failedStep = control.site->FailedStep();
    }
    if (control.site->Object()) {
        control.dispatch = control.site->Dispatch();
        controls_.emplace(name, std::move(control));
    }
    return hr;
}

HRESULT HostForm::Activate(const std::string& name, const LoadSource& source, const char** failedStep) {
    HostedControl* control = Find(name);
    if (!control || !control->site) {
        return E_INVALIDARG;
    }
    const HRESULT hr = control->site->Activate(SlotPlace(control->slot), source);
    if (failedStep) {
        *failedStep = control->site->FailedStep();
    }
    if (!control->site->Object()) {
        Destroy(name);
    }
    return hr;
}

HRESULT HostForm::AddForeign(const std::string& name, const std::wstring& progid, int slot, HWND window,
                             IDispatch* dispatch) {
    Destroy(name);
    HostedControl control;
    control.progid = progid;
    control.slot = slot;
    control.dispatch = qv::win::ComPtr<IDispatch>(dispatch);
    control.foreignWindow = window;
    controls_.emplace(name, std::move(control));
    return S_OK;
}

void HostForm::Destroy(const std::string& name) {
    const auto found = controls_.find(name);
    if (found == controls_.end()) {
        return;
    }
    HostedControl control = std::move(found->second);
    controls_.erase(found);
    control.dispatch.Reset();
    if (control.site) {
        control.site->Destroy();
    }
    if (control.foreignWindow) {
        DestroyWindow(control.foreignWindow);
    }
}

void HostForm::DestroyAll() {
    while (!controls_.empty()) {
        Destroy(controls_.begin()->first);
    }
}

HostedControl* HostForm::Find(const std::string& name) {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : &found->second;
}

HRESULT HostForm::SetAmbientFont(const std::wstring& face, double points) {
    HRESULT hr = ambient_.SetFont(face, points, 134);
    for (auto& entry : controls_) {
        if (SUCCEEDED(hr) && entry.second.site) {
            const HRESULT told = entry.second.site->AmbientChanged(DISPID_AMBIENT_FONT);
            if (FAILED(told) && told != E_NOINTERFACE) {
                hr = told;
            }
        }
    }
    return hr;
}

}  // namespace control_host
