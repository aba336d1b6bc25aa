// keystroke_control_bench: one keystroke (WM_CHAR) that the real TextColor
// control judges and refuses on a 32 767-character text, against the baseline
// of a keystroke the control drops before its rules (a character without an
// ANSI code), in the same process. The difference is the rules' own work:
// the KeyPress event, reading the box's text and judging the key. Typing, the
// text changes with every key: keys judged and taken at the end of a text
// that grows to 32 767 characters are timed against the same keys typed into
// a plain EDIT box subclassed the same way (the box's own insertion costs
// milliseconds under Wine, so the messages that reach the box per key are
// counted too). The control is loaded straight from Lumen_Control.ocx beside
// this program (no registration).
#include "common/win32/WindowsApi.h"

#include <commctrl.h>
#include <ocidl.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/win32/ComPtr.h"
#include "common/win32/Variant.h"
#include "common/win32/com/DispatchCall.h"

namespace {

constexpr int kLength = 32767;
constexpr int kKeystrokes = 300;
constexpr int kBatches = 5;
constexpr wchar_t kNoAnsiCode = L'\x0E01';  // a Thai letter: in neither code page 936 nor 1252

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring BesideThisProgram(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

// The class identifier of the library's coclass `name`, read from its type library.
bool ClassOf(const std::wstring& library, const wchar_t* name, CLSID& clsid) {
    qv::win::ComPtr<ITypeLib> types;
    if (FAILED(LoadTypeLibEx(library.c_str(), REGKIND_NONE, types.Address()))) return false;
    for (UINT i = 0; i < types->GetTypeInfoCount(); ++i) {
        BSTR found = nullptr;
        if (FAILED(types->GetDocumentation(static_cast<INT>(i), &found, nullptr, nullptr, nullptr))) continue;
        const bool match = found && std::wstring(found) == name;
        SysFreeString(found);
        TYPEKIND kind;
        if (!match || FAILED(types->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS) continue;
        qv::win::ComPtr<ITypeInfo> info;
        TYPEATTR* attributes = nullptr;
        if (FAILED(types->GetTypeInfo(i, info.Address())) || FAILED(info->GetTypeAttr(&attributes))) return false;
        clsid = attributes->guid;
        info->ReleaseTypeAttr(attributes);
        return true;
    }
    return false;
}

qv::win::ComPtr<IDispatch> CreateTextColor() {
    const std::wstring library = BesideThisProgram(L"Lumen_Control.ocx");
    const HMODULE module = LoadLibraryW(library.c_str());
    CLSID clsid;
    if (!module || !ClassOf(library, L"TextColor", clsid)) return {};
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    qv::win::ComPtr<IClassFactory> factory;
    qv::win::ComPtr<IDispatch> control;
    if (!getClassObject ||
        FAILED(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Address()))) ||
        FAILED(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(control.Address())))) {
        return {};
    }
    return control;
}

bool Put(IDispatch* control, const wchar_t* name, const qv::win::Variant& value) {
    return SUCCEEDED(qv::win::com::PutProperty(control, qv::win::com::DispatchIdOf(control, name), value.Get()));
}

HWND InnerWindow(IDispatch* control) {
    qv::win::Variant handle;
    qv::win::com::CallMethod(control, qv::win::com::DispatchIdOf(control, L"hWnd"), {}, handle, nullptr,
                             DISPATCH_PROPERTYGET);
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle.Get().lVal));
}

// Median over batches of the microseconds one refused keystroke takes; -1 when a key got through.
double MicrosPerKeystroke(HWND box, wchar_t key) {
    const int before = GetWindowTextLengthW(box);
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        SendMessageW(box, EM_SETSEL, before, before);
        const double started = Now();
        for (int i = 0; i < kKeystrokes; ++i) SendMessageW(box, WM_CHAR, key, 1);
        batches.push_back((Now() - started) * 1e6 / kKeystrokes);
    }
    if (GetWindowTextLengthW(box) != before) return -1;
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

// Median over batches of the microseconds `call` takes.
template <class Call>
double MicrosPerCall(Call&& call) {
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        const double started = Now();
        for (int i = 0; i < kKeystrokes; ++i) call();
        batches.push_back((Now() - started) * 1e6 / kKeystrokes);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

// One GetWindowTextW of the whole box.
double MicrosToReadText(HWND box) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    return MicrosPerCall([&] { GetWindowTextW(box, text.data(), static_cast<int>(text.size())); });
}

// One EM_GETSEL: where the caret stands, which every judgement asks.
double MicrosToAskSelection(HWND box) {
    return MicrosPerCall([&] {
        DWORD start = 0, end = 0;
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    });
}

// Medians over batches of the microseconds one key takes when typed at the
// end of each box, each batch from `text` on, the boxes' batches taking turns
// (the machine's drift then falls on both); -1 when a key was not taken.
struct TypedMicros {
    double first = -1;
    double second = -1;
    double spread = 0;  // the widest range of one box's batches
};

TypedMicros MicrosPerTypedKey(HWND first, HWND second, const std::wstring& text, wchar_t key) {
    const auto length = static_cast<LPARAM>(text.size());
    std::vector<double> batches[2];
    for (int b = 0; b < kBatches; ++b) {
        int which = 0;
        for (HWND box : {first, second}) {
            SetWindowTextW(box, text.c_str());
            SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(length), length);
            const double started = Now();
            for (int i = 0; i < kKeystrokes; ++i) SendMessageW(box, WM_CHAR, key, 1);
            batches[which++].push_back((Now() - started) * 1e6 / kKeystrokes);
            if (GetWindowTextLengthW(box) != length + kKeystrokes) return {};
        }
    }
    for (auto& each : batches) std::sort(each.begin(), each.end());
    const double spread = std::max(batches[0].back() - batches[0].front(), batches[1].back() - batches[1].front());
    return {batches[0][kBatches / 2], batches[1][kBatches / 2], spread};
}

// Messages sent to one window, counted by a hook on this thread.
HWND g_counted = nullptr;
long g_messages = 0;

LRESULT CALLBACK CountMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->hwnd == g_counted) ++g_messages;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// How many messages reach `box` per key typed at the end of `text`, the key's own included.
double MessagesPerTypedKey(HWND box, const std::wstring& text, wchar_t key) {
    const auto length = static_cast<LPARAM>(text.size());
    SetWindowTextW(box, text.c_str());
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(length), length);
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountMessage, nullptr, GetCurrentThreadId());
    if (!hook) return -1;
    g_counted = box;
    g_messages = 0;
    constexpr int kCounted = 20;
    for (int i = 0; i < kCounted; ++i) SendMessageW(box, WM_CHAR, key, 1);
    UnhookWindowsHookEx(hook);
    return static_cast<double>(g_messages) / kCounted;
}

LRESULT CALLBACK PassThrough(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    return DefSubclassProc(window, message, wParam, lParam);
}

// A plain EDIT box like the control's inner one, in a window of its own;
// `subclassed` as the control's is, by a procedure that passes everything on.
struct PlainBox {
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 40, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_LEFT, 0, 0,
                                400, 40, frame, nullptr, nullptr, nullptr);
    explicit PlainBox(bool subclassed = false) {
        SendMessageW(edit, EM_LIMITTEXT, kLength, 0);
        if (subclassed) SetWindowSubclass(edit, PassThrough, 1, 0);
    }
    ~PlainBox() { DestroyWindow(frame); }
    PlainBox(const PlainBox&) = delete;
    PlainBox& operator=(const PlainBox&) = delete;
};

struct Typed {
    const char* name;
    wchar_t key;
    bool chaTwoByte;
    long maxLength;
};

struct Case {
    const char* name;
    std::wstring text;
    bool chaTwoByte;
    long maxLength;
    bool isNumeric;
};

}  // namespace

int wmain() {
    if (FAILED(OleInitialize(nullptr))) return 3;
    int status = 0;
    {
        const qv::win::ComPtr<IDispatch> control = CreateTextColor();
        if (!control) {
            std::fprintf(stderr, "keystroke_control_bench: no control (is Lumen_Control.ocx beside it?)\n");
            status = 4;
        }
        const std::vector<Case> cases = {
            {"byte budget, full ASCII text", std::wstring(kLength, L'a'), false, kLength, false},
            {"byte budget, double-byte text", std::wstring(kLength, L'\x4E2D'), true, 2 * kLength, false},
            {"number, digit at the end", std::wstring(kLength, L'9'), false, 0, true},
        };
        std::printf("one refused keystroke on a %d-character text (median of %d x %d, under Wine)\n", kLength, kBatches,
                    kKeystrokes);
        for (const Case& c : cases) {
            if (status != 0) break;
            const HWND box = InnerWindow(control.Get());
            if (!box || !Put(control.Get(), L"ChaTwoByte", qv::win::Variant::FromBool(c.chaTwoByte)) ||
                !Put(control.Get(), L"MaxLength", qv::win::Variant::FromLong(c.maxLength)) ||
                !Put(control.Get(), L"IsNumeric", qv::win::Variant::FromBool(c.isNumeric))) {
                status = 5;
                break;
            }
            SetWindowTextW(box, c.text.c_str());
            const double judged = MicrosPerKeystroke(box, c.isNumeric ? L'7' : L'x');
            const double dropped = MicrosPerKeystroke(box, kNoAnsiCode);
            if (judged < 0 || dropped < 0) {
                std::fprintf(stderr, "keystroke_control_bench: a key that should be refused got through\n");
                status = 6;
                break;
            }
            std::printf("  %s\n", c.name);
            std::printf("    judged and refused          %9.2f us\n", judged);
            std::printf("    dropped before the rules    %9.2f us  (baseline)\n", dropped);
            std::printf("    the rules' own work         %9.2f us  (goal under 50 us)\n", judged - dropped);
            std::printf("    ratio judged/dropped        %9.2f\n", judged / dropped);
            std::printf("    reading the text            %9.2f us  (GetWindowTextW)\n", MicrosToReadText(box));
            std::printf("    asking for the selection    %9.2f us  (EM_GETSEL)\n", MicrosToAskSelection(box));
            std::printf("    an empty message            %9.2f us  (WM_NULL)\n",
                        MicrosPerCall([&] { SendMessageW(box, WM_NULL, 0, 0); }));
            std::printf("    text length                 %9.2f us  (WM_GETTEXTLENGTH)\n",
                        MicrosPerCall([&] { SendMessageW(box, WM_GETTEXTLENGTH, 0, 0); }));
        }
    }
    if (status == 0) {
        const qv::win::ComPtr<IDispatch> control = CreateTextColor();
        const PlainBox plain(true);
        const std::vector<Typed> typed = {
            {"byte budget, ASCII key", L'x', false, kLength},
            {"two-byte budget, double-byte key", L'\x4E2D', true, 2 * kLength},
        };
        std::printf("keys typed and taken at the end, the text growing to %d characters\n", kLength);
        for (const Typed& t : typed) {
            const HWND box = control ? InnerWindow(control.Get()) : nullptr;
            if (!box || !plain.edit || !Put(control.Get(), L"ChaTwoByte", qv::win::Variant::FromBool(t.chaTwoByte)) ||
                !Put(control.Get(), L"MaxLength", qv::win::Variant::FromLong(t.maxLength))) {
                status = 5;
                break;
            }
            const std::wstring text(kLength - kKeystrokes, t.key);
            const TypedMicros micros = MicrosPerTypedKey(box, plain.edit, text, t.key);
            if (micros.first < 0 || micros.second < 0) {
                std::fprintf(stderr, "keystroke_control_bench: a typed key was not taken\n");
                status = 6;
                break;
            }
            std::printf("  %s\n", t.name);
            std::printf("    through the control         %9.2f us\n", micros.first);
            std::printf("    into a plain EDIT box       %9.2f us  (baseline: subclassed the same way)\n",
                        micros.second);
            std::printf(
                "    the control's own work      %9.2f us  (rules, events, colours; batches spread over %.0f us)\n",
                micros.first - micros.second, micros.spread);
            std::printf("    ratio control/plain         %9.2f\n", micros.first / micros.second);
            std::printf("    messages to the box per key %9.2f  (the key's own included)\n",
                        MessagesPerTypedKey(box, text, t.key));
        }
    }
    if (status == 0) {
        // What one message costs the control's box, a plain one subclassed the same way and a plain one.
        const qv::win::ComPtr<IDispatch> control = CreateTextColor();
        const PlainBox plain;
        const PlainBox subclassed(true);
        const HWND boxes[] = {control ? InnerWindow(control.Get()) : nullptr, subclassed.edit, plain.edit};
        const char* names[] = {"the control's box", "a subclassed EDIT", "a plain EDIT box"};
        std::printf("an empty message (WM_NULL)\n");
        for (int i = 0; i < 3 && boxes[i]; ++i) {
            for (int length : {0, kLength}) {
                SetWindowTextW(boxes[i], std::wstring(static_cast<std::size_t>(length), L'a').c_str());
                const double micros = MicrosPerCall([&] { SendMessageW(boxes[i], WM_NULL, 0, 0); });
                std::printf("  to %-18s holding %5d characters %9.2f us\n", names[i], length, micros);
            }
        }
    }
    OleUninitialize();
    return status;
}
