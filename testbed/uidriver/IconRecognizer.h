#pragma once
#include <string>

#include "common/win32/WindowsApi.h"

namespace testbed {

// The standard icon that a message box shows: "stop", "exclamation",
// "information", "question", "none" when its icon control shows none, or
// "unknown". The icon handle of a box in this process is compared with the
// system icons directly. Another process's handle cannot be read here (Wine
// refuses it), so for those the pixels on the screen under the icon control
// are compared with the system icons drawn here: that needs the box
// unobscured, which a topmost box is.
std::string RecognizeIcon(HWND box);

}  // namespace testbed
