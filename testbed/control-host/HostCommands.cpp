#include "HostCommands.h"

#include <charconv>
#include <map>
#include <utility>

#include "BagFile.h"
#include "CommandWords.h"
#include "InputSender.h"
#include "JsonText.h"
#include "MemberCall.h"
#include "PercentText.h"
#include "common/win32/TextConvert.h"

namespace control_host {
namespace {

using qv::win::ComPtr;
using qv::win::Variant;

constexpr HRESULT kUsage = E_INVALIDARG;

bool ReadLong(const std::string& word, long& number) {
    const auto read = std::from_chars(word.data(), word.data() + word.size(), number);
    return read.ec == std::errc() && read.ptr == word.data() + word.size();
}

bool ReadReal(const std::string& word, double& number) {
    const auto read = std::from_chars(word.data(), word.data() + word.size(), number);
    return read.ec == std::errc() && read.ptr == word.data() + word.size();
}

std::wstring DecodedWide(const std::string& word, bool& ok) {
    const auto text = PercentDecode(word);
    ok = ok && text.has_value();
    return text ? qv::win::Widen(*text) : std::wstring();
}

Json RectJson(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

std::string ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return qv::win::Narrow(name);
}

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

Json ArgumentsJson(const std::vector<Variant>& arguments) {
    Json list = Json::array();
    for (const Variant& argument : arguments) {
        list.push_back(VariantJson(argument.Get()));
    }
    return list;
}

Json FailureFields(const MemberOutcome& outcome) { return {{"description", outcome.description}}; }

Json Error(const std::string& text) { return {{"error", text}}; }

// A put or a call answers the failure's description, and nothing more on success.
Json FieldsOf(const MemberOutcome& outcome) { return FAILED(outcome.result) ? FailureFields(outcome) : Json::object(); }

// A property bag read from the file a command names (its `index`th word), if it names one.
bool ReadBag(const std::vector<std::string>& words, std::size_t index, ComPtr<MemoryPropertyBag>& bag) {
    if (words.size() <= index) {
        return true;
    }
    bool ok = true;
    bag = qv::win::com::MakeObject<MemoryPropertyBag>();
    return LoadBagFile(DecodedWide(words[index], ok), *bag.Get()) && ok;
}

}  // namespace

HostCommands::HostCommands(HWND form, HWND other) : form_(form), other_(other) {}

std::string HostCommands::Run(const std::string& line) {
    const Words words = SplitWords(line);
    const std::string command = words.empty() ? std::string() : words[0];
    Reply reply;
    try {
        reply = Dispatch(command, words);
    } catch (const std::exception& failure) {
        reply = {E_FAIL, Error(failure.what())};
    }
    Json answer = {{"call", command}, {"hr", HexResult(reply.hr)}};
    answer.update(reply.fields);
    return JsonLine(answer);
}

HostCommands::Reply HostCommands::Dispatch(const std::string& command, const Words& words) {
    using Handler = Reply (HostCommands::*)(const Words&);
    using NamedHandler = Reply (HostCommands::*)(HostedControl&, const Words&);
    static const std::map<std::string, Handler> kHandlers = {{"create", &HostCommands::Create},
                                                             {"make", &HostCommands::Make},
                                                             {"blur", &HostCommands::Blur},
                                                             {"other", &HostCommands::Other},
                                                             {"type", &HostCommands::Type},
                                                             {"key", &HostCommands::Key},
                                                             {"events", &HostCommands::Events},
                                                             {"notifications", &HostCommands::Notifications},
                                                             {"rule", &HostCommands::Rule},
                                                             {"norules", &HostCommands::NoRules},
                                                             {"ambientfont", &HostCommands::AmbientFont},
                                                             {"atl", &HostCommands::Atl},
                                                             {"quit", &HostCommands::Quit}};
    static const std::map<std::string, NamedHandler> kNamedHandlers = {
        {"activate", &HostCommands::Activate}, {"destroy", &HostCommands::Destroy}, {"get", &HostCommands::Get},
        {"set", &HostCommands::Set},           {"setref", &HostCommands::SetRef},   {"call", &HostCommands::Call},
        {"focus", &HostCommands::Focus},       {"click", &HostCommands::Click},     {"save", &HostCommands::Save},
        {"stream", &HostCommands::Stream},     {"window", &HostCommands::Window},   {"resize", &HostCommands::Resize}};
    if (const auto handler = kHandlers.find(command); handler != kHandlers.end()) {
        return (this->*handler->second)(words);
    }
    const auto named = kNamedHandlers.find(command);
    if (named == kNamedHandlers.end()) {
        return {E_NOTIMPL, Error("unknown command")};
    }
    HostedControl* control = words.size() > 1 ? form_.Find(words[1]) : nullptr;
    if (!control) {
        return {E_INVALIDARG, Error("no such control")};
    }
    return (this->*named->second)(*control, words);
}

HWND HostCommands::WindowOf(const HostedControl& control) const {
    return control.site ? control.site->ControlWindow() : control.foreignWindow;
}

void HostCommands::Settle() {
    PumpUntilQuiet([this](MSG& message) { return form_.PreTranslate(message); });
}

HostCommands::Reply HostCommands::Create(const Words& words) {
    if (words.size() != 3 && words.size() != 4) {
        return {kUsage, Error("create <name> <progid> [<bagfile>]")};
    }
    bool ok = true;
    const std::wstring progid = DecodedWide(words[2], ok);
    ComPtr<MemoryPropertyBag> bag;
    if (!ok || !ReadBag(words, 3, bag)) {
        return {STG_E_FILENOTFOUND, Error("bag file unreadable")};
    }
    const char* step = "";
    const HRESULT hr = form_.Create(words[1], progid, {bag.Get(), nullptr}, &step);
    return Placed(words[1], hr, step);
}

HostCommands::Reply HostCommands::Make(const Words& words) {
    if (words.size() != 3) {
        return {kUsage, Error("make <name> <progid>")};
    }
    bool ok = true;
    const std::wstring progid = DecodedWide(words[2], ok);
    const char* step = "";
    const HRESULT hr = ok ? form_.Prepare(words[1], progid, &step) : kUsage;
    return {hr, {{"step", step}}};
}

HostCommands::Reply HostCommands::Activate(HostedControl&, const Words& words) {
    if (words.size() != 2 && words.size() != 3) {
        return {kUsage, Error("activate <name> [<bagfile>]")};
    }
    ComPtr<MemoryPropertyBag> bag;
    if (!ReadBag(words, 2, bag)) {
        return {STG_E_FILENOTFOUND, Error("bag file unreadable")};
    }
    const char* step = "";
    const HRESULT hr = form_.Activate(words[1], {bag.Get(), nullptr}, &step);
    return Placed(words[1], hr, step);
}

HostCommands::Reply HostCommands::Placed(const std::string& name, HRESULT hr, const char* step) {
    const HostedControl* control = form_.Find(name);
    const DWORD misc = control && control->site ? control->site->MiscStatus() : 0;
    Settle();
    return {hr, {{"misc", misc}, {"step", step}}};
}

HostCommands::Reply HostCommands::Destroy(HostedControl&, const Words& words) {
    form_.Destroy(words[1]);
    Settle();
    return {};
}

HostCommands::Reply HostCommands::Get(HostedControl& control, const Words& words) {
    if (words.size() != 3) {
        return {kUsage, Error("get <name> <member>")};
    }
    const MemberOutcome outcome = CallMember(control.dispatch.Get(), qv::win::Widen(words[2]), MemberAccess::Get, {});
    if (FAILED(outcome.result)) {
        return {outcome.result, FailureFields(outcome)};
    }
    return {outcome.result, {{"value", VariantJson(outcome.value.Get())}, {"vt", outcome.value.Type()}}};
}

HostCommands::Reply HostCommands::Set(HostedControl& control, const Words& words) {
    Variant value;
    if (words.size() != 4 || !ParseTypedValue(words[3], value)) {
        return {kUsage, Error("set <name> <member> <typed value>")};
    }
    std::vector<Variant> arguments;
    arguments.push_back(std::move(value));
    const MemberOutcome outcome =
        CallMember(control.dispatch.Get(), qv::win::Widen(words[2]), MemberAccess::Put, std::move(arguments));
    Settle();
    return {outcome.result, FieldsOf(outcome)};
}

HostCommands::Reply HostCommands::SetRef(HostedControl& control, const Words& words) {
    bool ok = words.size() == 5;
    double points = 0;
    const std::wstring face = ok ? DecodedWide(words[3], ok) : std::wstring();
    if (!ok || !ReadReal(words[4], points)) {
        return {kUsage, Error("setref <name> <member> <face> <points>")};
    }
    ComPtr<IFontDisp> font;
    const HRESULT made = CreateFontObject(face, points, 134, font.Address());
    if (FAILED(made)) {
        return {made};
    }
    std::vector<Variant> arguments;
    arguments.push_back(Variant::FromDispatch(font.Get()));
    const MemberOutcome outcome =
        CallMember(control.dispatch.Get(), qv::win::Widen(words[2]), MemberAccess::PutRef, std::move(arguments));
    Settle();
    return {outcome.result, FieldsOf(outcome)};
}

HostCommands::Reply HostCommands::Call(HostedControl& control, const Words& words) {
    if (words.size() < 3) {
        return {kUsage, Error("call <name> <method> <typed value>...")};
    }
    std::vector<Variant> arguments(words.size() - 3);
    for (std::size_t i = 3; i < words.size(); ++i) {
        if (!ParseTypedValue(words[i], arguments[i - 3])) {
            return {kUsage, Error("bad value " + words[i])};
        }
    }
    const MemberOutcome outcome =
        CallMember(control.dispatch.Get(), qv::win::Widen(words[2]), MemberAccess::Method, std::move(arguments));
    Settle();
    Json fields = FAILED(outcome.result) ? FailureFields(outcome) : Json{{"result", VariantJson(outcome.value.Get())}};
    fields["args"] = ArgumentsJson(outcome.arguments);
    return {outcome.result, std::move(fields)};
}

HostCommands::Reply HostCommands::Focus(HostedControl& control, const Words&) {
    SetForegroundWindow(form_.Window());
    HRESULT hr = S_OK;
    if (control.site) {
        hr = control.site->Focus();
    } else if (HWND window = WindowOf(control)) {
        HWND inner = GetWindow(window, GW_CHILD);
        SetFocus(inner ? inner : window);
    }
    Settle();
    return {hr, {{"focus", ClassOf(GetFocus())}}};
}

HostCommands::Reply HostCommands::Blur(const Words&) {
    SetForegroundWindow(form_.Window());
    SetFocus(other_);
    Settle();
    return {GetFocus() == other_ ? S_OK : E_FAIL};
}

// What typing reached the plain box: a check of the input path itself.
HostCommands::Reply HostCommands::Other(const Words&) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(other_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(other_, text.data(), static_cast<int>(text.size()))));
    return {S_OK, {{"text", qv::win::Narrow(text)}}};
}

HostCommands::Reply HostCommands::Type(const Words& words) {
    bool ok = words.size() == 2;
    const std::wstring text = ok ? DecodedWide(words[1], ok) : std::wstring();
    if (!ok) {
        return {kUsage, Error("type <text>")};
    }
    const UINT sent = SendText(text);
    Settle();
    return {sent == text.size() * 2 ? S_OK : HRESULT_FROM_WIN32(GetLastError()), {{"sent", sent}}};
}

HostCommands::Reply HostCommands::Key(const Words& words) {
    long key = 0;
    if (words.size() < 2 || words.size() > 3 || !ReadLong(words[1], key) || key <= 0 || key > 255 ||
        (words.size() == 3 && words[2] != "shift" && words[2] != "ctrl")) {
        return {kUsage, Error("key <vk> [shift|ctrl]")};
    }
    const KeyModifier modifier = words.size() < 3      ? KeyModifier::None
                                 : words[2] == "shift" ? KeyModifier::Shift
                                                       : KeyModifier::Control;
    const UINT sent = SendKey(static_cast<WORD>(key), modifier);
    Settle();
    return {sent > 0 ? S_OK : HRESULT_FROM_WIN32(GetLastError())};
}

HostCommands::Reply HostCommands::Click(HostedControl& control, const Words&) {
    RECT rect{};
    if (HWND window = WindowOf(control)) {
        GetWindowRect(window, &rect);
    } else {
        rect = control.site ? control.site->Place() : HostForm::SlotPlace(control.slot);
        MapWindowPoints(form_.Window(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    SetForegroundWindow(form_.Window());
    const UINT sent = SendClick({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    Settle();
    return {sent == 3 ? S_OK : HRESULT_FROM_WIN32(GetLastError())};
}

HostCommands::Reply HostCommands::Events(const Words&) {
    Json list = Json::array();
    for (const EventRecord& event : std::exchange(form_.Journal().events, {})) {
        list.push_back({{"control", event.control},
                        {"dispid", event.dispid},
                        {"name", event.name},
                        {"args", ArgumentsJson(event.arguments)}});
    }
    return {S_OK, {{"events", std::move(list)}}};
}

HostCommands::Reply HostCommands::Notifications(const Words&) {
    HostJournal& journal = form_.Journal();
    return {S_OK,
            {{"changed", std::exchange(journal.changed, {})}, {"requestEdit", std::exchange(journal.requestEdit, {})}}};
}

HostCommands::Reply HostCommands::Rule(const Words& words) {
    ByRefRule rule;
    if (words.size() != 4 || !ReadLong(words[1], rule.dispid) || !ReadLong(words[2], rule.from) ||
        !ReadLong(words[3], rule.to)) {
        return {kUsage, Error("rule <dispid> <from> <to>")};
    }
    form_.Journal().rules.push_back(rule);
    return {S_OK, {{"rules", form_.Journal().rules.size()}}};
}

HostCommands::Reply HostCommands::NoRules(const Words&) {
    form_.Journal().rules.clear();
    return {S_OK};
}

HostCommands::Reply HostCommands::Save(HostedControl& control, const Words& words) {
    bool ok = words.size() == 3;
    const std::wstring path = ok ? DecodedWide(words[2], ok) : std::wstring();
    if (!ok || !control.site) {
        return {kUsage, Error("save <name> <bagfile>")};
    }
    ComPtr<MemoryPropertyBag> bag = qv::win::com::MakeObject<MemoryPropertyBag>();
    const HRESULT hr = control.site->Save(bag.Get());
    if (FAILED(hr)) {
        return {hr};
    }
    if (!SaveBagFile(*bag.Get(), path)) {
        return {STG_E_CANTSAVE, Error("bag file not written")};
    }
    Json list = Json::array();
    for (const BagEntry& entry : bag->Entries()) {
        Variant shown;
        const VARIANT* value = &entry.value.Get();
        if (entry.isObject) {
            bag->Read(entry.name.c_str(), shown.Address(), nullptr);
            value = &shown.Get();
        }
        list.push_back({{"name", qv::win::Narrow(entry.name)},
                        {"vt", entry.isObject ? VARTYPE{VT_UNKNOWN} : entry.value.Type()},
                        {"value", VariantJson(*value)}});
    }
    return {hr, {{"entries", std::move(list)}}};
}

HostCommands::Reply HostCommands::Stream(HostedControl& control, const Words& words) {
    if (!control.site) {
        return {kUsage, Error("not hosted here")};
    }
    ComPtr<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.Address());
    if (SUCCEEDED(hr)) {
        hr = control.site->Save(stream.Get());
    }
    STATSTG stat{};
    if (SUCCEEDED(hr)) {
        hr = stream->Stat(&stat, STATFLAG_NONAME);
    }
    if (SUCCEEDED(hr)) {
        const LARGE_INTEGER start{};
        hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
    }
    if (FAILED(hr)) {
        return {hr};
    }
    const std::wstring progid = control.progid;
    const char* step = "";
    hr = form_.Create(words[1], progid, {nullptr, stream.Get()}, &step);
    Settle();
    return {hr, {{"bytes", stat.cbSize.QuadPart}, {"step", step}}};
}

HostCommands::Reply HostCommands::AmbientFont(const Words& words) {
    bool ok = words.size() == 3;
    double points = 0;
    const std::wstring face = ok ? DecodedWide(words[1], ok) : std::wstring();
    if (!ok || !ReadReal(words[2], points)) {
        return {kUsage, Error("ambientfont <face> <points>")};
    }
    const HRESULT hr = form_.SetAmbientFont(face, points);
    Settle();
    return {hr};
}

HostCommands::Reply HostCommands::Window(HostedControl& control, const Words&) {
    HWND window = WindowOf(control);
    if (!window) {
        return {E_NOINTERFACE, Error("no window")};
    }
    Json children = Json::array();
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back({{"class", ClassOf(child)},
                            {"rect", RectJson(RectInParent(child))},
                            {"visible", IsWindowVisible(child) != FALSE}});
    }
    RECT screen{};
    GetWindowRect(window, &screen);
    return {S_OK,
            {{"hwnd", reinterpret_cast<UINT_PTR>(window)},
             {"class", ClassOf(window)},
             {"rect", RectJson(RectInParent(window))},
             {"screen", RectJson(screen)},
             {"visible", IsWindowVisible(window) != FALSE},
             {"children", std::move(children)}}};
}

HostCommands::Reply HostCommands::Resize(HostedControl& control, const Words& words) {
    long width = 0;
    long height = 0;
    if (words.size() != 4 || !ReadLong(words[2], width) || !ReadLong(words[3], height) || width < 0 || height < 0 ||
        !control.site) {
        return {kUsage, Error("resize <name> <width> <height>")};
    }
    RECT place = control.site->Place();
    place.right = place.left + width;
    place.bottom = place.top + height;
    const HRESULT hr = control.site->Resize(place);
    Settle();
    return {hr};
}

HostCommands::Reply HostCommands::Atl(const Words& words) {
    bool ok = words.size() == 2;
    const std::wstring progid = ok ? DecodedWide(words[1], ok) : std::wstring();
    if (!ok) {
        return {kUsage, Error("atl <progid>")};
    }
    form_.Destroy("atl");
    if (!atl_) {
        atl_.reset(LoadLibraryW(L"atl100.dll"));
    }
    using WinInit = BOOL(WINAPI*)();
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto init =
        atl_ ? reinterpret_cast<WinInit>(reinterpret_cast<void*>(GetProcAddress(atl_.get(), "AtlAxWinInit"))) : nullptr;
    const auto getControl =
        atl_ ? reinterpret_cast<GetControl>(reinterpret_cast<void*>(GetProcAddress(atl_.get(), "AtlAxGetControl")))
             : nullptr;
    if (!init || !getControl || !init()) {
        return {HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), {{"created", false}}};
    }
    const int slot = form_.FreeSlot();
    const RECT place = HostForm::SlotPlace(slot);
    HWND window = CreateWindowExW(0, L"AtlAxWin100", progid.c_str(), WS_CHILD | WS_VISIBLE, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, form_.Window(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ComPtr<IUnknown> unknown;
    HRESULT hr = window ? getControl(window, unknown.Address()) : HRESULT_FROM_WIN32(GetLastError());
    ComPtr<IDispatch> dispatch = unknown.As<IDispatch>();
    if (SUCCEEDED(hr) && !dispatch) {
        hr = E_NOINTERFACE;
    }
    if (FAILED(hr)) {
        if (window) {
            DestroyWindow(window);
        }
        return {hr, {{"created", false}}};
    }
    form_.AddForeign("atl", progid, slot, window, dispatch.Get());
    std::vector<Variant> text;
    text.push_back(Variant::FromText("ATL"));
    MemberOutcome outcome = CallMember(dispatch.Get(), L"Text", MemberAccess::Put, std::move(text));
    if (SUCCEEDED(outcome.result)) {
        outcome = CallMember(dispatch.Get(), L"Text", MemberAccess::Get, {});
    }
    Settle();
    Json fields = {{"created", true}, {"text", VariantJson(outcome.value.Get())}};
    fields.update(FieldsOf(outcome));
    return {outcome.result, std::move(fields)};
}

HostCommands::Reply HostCommands::Quit(const Words&) {
    form_.DestroyAll();
    quitting_ = true;
    return {S_OK};
}

}  // namespace control_host
