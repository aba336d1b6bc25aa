#pragma once
// The frame of a form that hosts controls in place: no menus, no toolbars,
// no status line. It remembers the active object so that the message loop can
// give it the keyboard messages first.
#include "common/win32/com/ComObject.h"
#include <oleidl.h>

namespace control_host {

class HostFrame final : public qv::win::com::ComObject<HostFrame, IOleInPlaceFrame> {
public:
    static constexpr qv::win::com::InterfaceEntry<HostFrame> kInterfaces[] = {
        qv::win::com::Expose<HostFrame, IOleInPlaceFrame>(IID_IOleInPlaceFrame),
        qv::win::com::Expose<HostFrame, IOleInPlaceUIWindow>(IID_IOleInPlaceUIWindow),
        qv::win::com::Expose<HostFrame, IOleWindow>(IID_IOleWindow)};

    explicit HostFrame(HWND window) : window_(window) {}

    // True when the active object took the message (the loop then drops it).
    bool PreTranslate(MSG& message);
    // UI-deactivates the active object, if any (another one is about to take its place).
    void DeactivateActiveObject();

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND window_;
    qv::win::ComPtr<IOleInPlaceActiveObject> active_;
};

}  // namespace control_host
