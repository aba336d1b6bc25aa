#pragma once
// The controls on the stand-in's form, hosted in place by the test bed's
// container: "金额" a numeric text box, "代码" a name box, "日期" a date box,
// each with its label. Their saved properties live in one form file (see
// FormFile.h); the rules the form's code sets (numeric, name mode, layout)
// are not saved and are set again after every load.
#include <string>

#include "testbed/control-host/HostForm.h"
#include "common/win32/WindowsApi.h"

namespace testbed {

// Where the rows of controls go in the window's client area.
inline constexpr int kControlsTop = 44;
inline constexpr int kControlsBottom = 150;

class FormControls {
public:
    explicit FormControls(HWND window);
    ~FormControls() { Destroy(); }
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;

    // Creates every control, loading each from `formFile` when it holds it.
    // On the first failure no control is left and its HRESULT is returned;
    // REGDB_E_CLASSNOTREG and CO_E_CLASSSTRING when the library is not registered.
    HRESULT Create(const std::wstring& formFile);
    int Count() const noexcept { return m_count; }
    HRESULT Save(const std::wstring& formFile);
    void Destroy();
    bool PreTranslate(MSG& message) { return m_form.PreTranslate(message); }

private:
    HRESULT CreateOne(int row, bool& loaded, const std::string& bagText);

    control_host::HostForm m_form;
    HWND m_window;
    int m_count = 0;
};

}  // namespace testbed
