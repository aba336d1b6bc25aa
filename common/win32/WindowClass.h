#pragma once
// Window classes, registered once per module: a second window of the same
// kind finds its class already there, which is no failure.
//
//   WNDCLASSEXW windowClass = WindowClass(L"QvThing", &Thing::Procedure, instance);
//   windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
//   if (!RegisterWindowClass(windowClass)) { /* GetLastError() says why */ }
#include "WindowsApi.h"

namespace qv::win {

// A class of that name and procedure with the arrow pointer; nothing else set.
WNDCLASSEXW WindowClass(const wchar_t* name, WNDPROC procedure, HINSTANCE instance);

// True when the class is there to use, registered now or before.
bool RegisterWindowClass(const WNDCLASSEXW& windowClass);

}  // namespace qv::win
