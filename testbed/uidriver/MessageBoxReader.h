#pragma once
// Reading and answering the platform's message boxes in any process.
#include <string>
#include <vector>

#include "common/win32/WindowsApi.h"

namespace testbed {

struct BoxButton {
    int id = 0;
    std::string text;  // as shown, with its mnemonic marker ("是(&Y)")
};

struct MessageBoxFacts {
    std::string title;
    std::string text;                // of the static text control 0xFFFF
    std::string icon;                // see RecognizeIcon
    std::vector<BoxButton> buttons;  // visible ones, in window order
    int defaultButton = IDOK;        // the BS_DEFPUSHBUTTON one, else DM_GETDEFID, else IDOK
    bool topmost = false;
    DWORD process = 0;
};

// A visible top-level window of class "#32770" whose controls are all static
// texts, icons and buttons, as a message box's are. Dialogs with other
// controls (a progress bar, an animation) belong to the programs under test
// and are left alone.
bool IsMessageBox(HWND window);

MessageBoxFacts ReadMessageBox(HWND box);

// Presses the button with a posted BM_CLICK, or, when that does not close the box, by
// sending the box the button's WM_COMMAND. True when the box closed.
bool PressButton(HWND box, int button);

}  // namespace testbed
