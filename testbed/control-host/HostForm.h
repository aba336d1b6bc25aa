#pragma once
// A form of named controls in one host window: their sites, the shared
// frame, ambient properties and journal, and where each control sits
// (200 x 24 pixels, one under the other in a left column, then a right one).
#include <map>
#include <memory>
#include <string>

#include "AmbientProperties.h"
#include "ControlSite.h"
#include "HostFrame.h"
#include "HostJournal.h"

namespace control_host {

struct HostedControl {
    std::wstring progid;
    qv::win::ComPtr<ControlSite> site;  // empty for a control in a foreign container
    qv::win::ComPtr<IDispatch> dispatch;
    HWND foreignWindow = nullptr;  // that container's window
    int slot = 0;
};

class HostForm {
public:
    explicit HostForm(HWND window);
    ~HostForm();
    HostForm(const HostForm&) = delete;
    HostForm& operator=(const HostForm&) = delete;

    HWND Window() const noexcept { return window_; }
    HostJournal& Journal() noexcept { return *journal_; }
    bool PreTranslate(MSG& message) { return frame_->PreTranslate(message); }

    // Replaces a control of the same name. A failed creation leaves no control
    // unless the object merely lacks the in-place interfaces (see ControlSite).
    HRESULT Create(const std::string& name, const std::wstring& progid, const LoadSource& source,
                   const char** failedStep);
    // The same in two steps: the object alone, reached through its IDispatch
    // before the form places it; then its site, loading and in-place activation.
    HRESULT Prepare(const std::string& name, const std::wstring& progid, const char** failedStep);
    HRESULT Activate(const std::string& name, const LoadSource& source, const char** failedStep);
    // Adds a control that another container (a child window of this form) hosts.
    HRESULT AddForeign(const std::string& name, const std::wstring& progid, int slot, HWND window, IDispatch* dispatch);
    void Destroy(const std::string& name);
    void DestroyAll();
    HostedControl* Find(const std::string& name);

    // The rectangle of a slot in the form's client area.
    static RECT SlotPlace(int slot);
    int FreeSlot() const;

    HRESULT SetAmbientFont(const std::wstring& face, double points);

private:
    HWND window_;
    qv::win::ComPtr<HostFrame> frame_;
    AmbientProperties ambient_;
    std::shared_ptr<HostJournal> journal_ = std::make_shared<HostJournal>();
    std::map<std::string, HostedControl> controls_;
};

}  // namespace control_host
