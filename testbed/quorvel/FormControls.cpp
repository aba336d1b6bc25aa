#include "FormControls.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "testbed/control-host/BagFile.h"
#include "FormFile.h"
#include "testbed/control-host/MemberCall.h"
#include "common/win32/Variant.h"

namespace testbed {
namespace {

using control_host::CallMember;
using control_host::MemberAccess;
using qv::win::Variant;

enum class Kind { Amount, Code, Date };

struct ControlRow {
    const char* name;
    const wchar_t* label;
    const wchar_t* progid;
    Kind kind;
};

constexpr ControlRow kRows[] = {
    {"amount", L"金额", L"Lumen_Control.TextColor", Kind::Amount},
    {"code", L"代码", L"Lumen_Control.TextColor", Kind::Code},
    {"date", L"日期", L"Lumen_Control.InputDate", Kind::Date},
};

constexpr int kLeft = 16;
constexpr int kLabelWidth = 56;
constexpr int kControlLeft = 80;
constexpr int kControlWidth = 220;
constexpr int kRowHeight = 34;

Variant Typed(VARTYPE type, double number) {
    Variant value;
    VARIANT* slot = value.Address();
    slot->vt = type;
    if (type == VT_R8) {
        slot->dblVal = number;
    } else if (type == VT_I2) {
        slot->iVal = static_cast<SHORT>(number);
    } else {
        slot->lVal = static_cast<LONG>(number);
    }
    return value;
}

HRESULT Put(IDispatch* control, const wchar_t* member, Variant value) {
    std::vector<Variant> arguments;
    arguments.push_back(std::move(value));
    return CallMember(control, member, MemberAccess::Put, std::move(arguments)).result;
}

std::string Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

// What the form's code sets after loading; the first failure is returned.
HRESULT SetUp(IDispatch* control, Kind kind, bool loaded) {
    HRESULT hr = S_OK;
    const auto step = [&hr](HRESULT result) {
        if (SUCCEEDED(hr)) {
            hr = result;
        }
    };
    switch (kind) {
        case Kind::Amount:
            step(Put(control, L"IsNumeric", Variant::FromBool(true)));
            step(Put(control, L"MaxNumber", Typed(VT_R8, 99999)));
            step(Put(control, L"DigitNumber", Typed(VT_I2, 2)));
            break;
        case Kind::Code:
            step(Put(control, L"IsVarName", Variant::FromBool(true)));
            // With no length budget the name box refuses every typed key.
            step(Put(control, L"MaxLength", Typed(VT_I4, 20)));
            break;
        case Kind::Date: {
            std::vector<Variant> layout;
            layout.push_back(Typed(VT_I2, 1));
            step(CallMember(control, L"SetFormat", MemberAccess::Method, std::move(layout)).result);
            step(Put(control, L"Text", Variant::FromText(Today())));
            return hr;
        }
    }
    // A text box placed anew would show its default text; the form starts empty.
    if (!loaded) {
        step(Put(control, L"Text", Variant::FromText("")));
    }
    return hr;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : std::string();
}

HWND CreateLabel(HWND parent, const wchar_t* text, int top) {
    HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kLeft, top + 4,
                                 kLabelWidth, 20, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return label;
}

}  // namespace

FormControls::FormControls(HWND window) : m_form(window), m_window(window) {}

HRESULT FormControls::Create(const std::wstring& formFile) {
    const std::map<std::string, std::string> sections = SplitFormSections(ReadWholeFile(formFile));
    for (int row = 0; row < static_cast<int>(std::size(kRows)); ++row) {
        const auto found = sections.find(kRows[row].name);
        bool loaded = found != sections.end();
        const HRESULT hr = CreateOne(row, loaded, loaded ? found->second : std::string());
        if (FAILED(hr)) {
            Destroy();
            return hr;
        }
    }
    for (int row = 0; row < m_count; ++row) {
        CreateLabel(m_window, kRows[row].label, kControlsTop + row * kRowHeight);
    }
    return S_OK;
}

HRESULT FormControls::CreateOne(int row, bool& loaded, const std::string& bagText) {
    const ControlRow& entry = kRows[row];
    qv::win::ComPtr<control_host::MemoryPropertyBag> bag;
    if (loaded) {
        bag = qv::win::com::MakeObject<control_host::MemoryPropertyBag>();
        // A damaged section counts as none: the control starts anew.
        loaded = control_host::BagFromText(bagText, *bag.Get());
    }
    control_host::LoadSource source;
    source.bag = loaded ? bag.Get() : nullptr;
    const char* failedStep = "";
    HRESULT hr = m_form.Create(entry.name, entry.progid, source, &failedStep);
    control_host::HostedControl* control = m_form.Find(entry.name);
    if (SUCCEEDED(hr) && !(control && control->site)) {
        hr = E_NOINTERFACE;
    }
    if (FAILED(hr)) {
        return hr;
    }
    const int top = kControlsTop + row * kRowHeight;
    control->site->Resize({kControlLeft, top, kControlLeft + kControlWidth, top + 24});
    hr = SetUp(control->dispatch.Get(), entry.kind, loaded);
    if (SUCCEEDED(hr)) {
        ++m_count;
    }
    return hr;
}

HRESULT FormControls::Save(const std::wstring& formFile) {
    if (m_count == 0) {
        return S_FALSE;
    }
    std::map<std::string, std::string> sections;
    for (const ControlRow& entry : kRows) {
        control_host::HostedControl* control = m_form.Find(entry.name);
        if (!control || !control->site) {
            continue;
        }
        auto bag = qv::win::com::MakeObject<control_host::MemoryPropertyBag>();
        if (const HRESULT hr = control->site->Save(bag.Get()); FAILED(hr)) {
            return hr;
        }
        sections[entry.name] = control_host::BagToText(*bag.Get());
    }
    std::ofstream file(std::filesystem::path(formFile), std::ios::binary | std::ios::trunc);
    file << JoinFormSections(sections);
    return file.flush() ? S_OK : E_FAIL;
}

void FormControls::Destroy() {
    m_form.DestroyAll();
    m_count = 0;
}

}  // namespace testbed
