#pragma once
// The test container's command language: one command line in, one JSON line
// out, always with "call" and "hr". Words are separated by blanks; texts are
// percent-encoded (PercentText.h), values typed (CommandWords.h).
//   create <name> <progid> [<bagfile>]   destroy <name>
//   make <name> <progid> (the object only: no site, no loading, no window)   activate <name> [<bagfile>]
//   get <name> <member>                  set <name> <member> <typed>
//   setref <name> Font <face> <points>   call <name> <method> <typed>...
//   focus <name>   blur   other (the plain box's text)   type <text>   key <vk> [shift|ctrl]   click <name>
//   events   notifications   rule <dispid> <from> <to>   norules
//   save <name> <bagfile>   stream <name>   ambientfont <face> <points>
//   window <name>   resize <name> <w> <h>   atl <progid>   quit
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "HostForm.h"
#include "JsonText.h"
#include "common/win32/WindowsApi.h"

namespace control_host {

class HostCommands {
public:
    HostCommands(HWND form, HWND other);

    // The answer line; Quitting() tells whether it was "quit".
    std::string Run(const std::string& line);
    bool Quitting() const noexcept { return quitting_; }
    bool PreTranslate(MSG& message) { return form_.PreTranslate(message); }

private:
    struct Reply {
        HRESULT hr = S_OK;
        Json fields = Json::object();  // further members of the answer
    };
    using Words = std::vector<std::string>;

    // Commands that name a control in their second word get it found first.
    Reply Create(const Words& words);
    Reply Make(const Words& words);
    Reply Activate(HostedControl& control, const Words& words);
    Reply Destroy(HostedControl& control, const Words& words);
    Reply Get(HostedControl& control, const Words& words);
    Reply Set(HostedControl& control, const Words& words);
    Reply SetRef(HostedControl& control, const Words& words);
    Reply Call(HostedControl& control, const Words& words);
    Reply Focus(HostedControl& control, const Words& words);
    Reply Blur(const Words& words);
    Reply Other(const Words& words);
    Reply Type(const Words& words);
    Reply Key(const Words& words);
    Reply Click(HostedControl& control, const Words& words);
    Reply Events(const Words& words);
    Reply Notifications(const Words& words);
    Reply Rule(const Words& words);
    Reply NoRules(const Words& words);
    Reply Save(HostedControl& control, const Words& words);
    Reply Stream(HostedControl& control, const Words& words);
    Reply AmbientFont(const Words& words);
    Reply Window(HostedControl& control, const Words& words);
    Reply Resize(HostedControl& control, const Words& words);
    Reply Atl(const Words& words);
    Reply Quit(const Words& words);

    Reply Dispatch(const std::string& command, const Words& words);
    Reply Placed(const std::string& name, HRESULT hr, const char* step);
    HWND WindowOf(const HostedControl& control) const;
    void Settle();

    struct LibraryFree {
        void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
    };
    // Before the form: the foreign container's window class lives in it.
    std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFree> atl_;
    HostForm form_;
    HWND other_;
    bool quitting_ = false;
};

}  // namespace control_host
