#pragma once
// The record of a switch in progress, written before the first installed file
// is moved: for every staged file its position, the installed path, whether a
// file was there to move aside and whether it is registered. With it the
// launcher can put everything back after it was stopped half way.
#include <optional>
#include <string>
#include <vector>

namespace launcher {

struct SwitchStep {
    int nPosition = 0;        // the entry's staging folder
    std::string strTarget;    // the installed file
    bool bRegister = false;   // regsvr32 after the move
    bool bHadTarget = false;  // a file stood there before the switch

    bool operator==(const SwitchStep&) const = default;
};

std::string FormatJournal(const std::vector<SwitchStep>& steps);
// nullopt for anything but a complete journal.
std::optional<std::vector<SwitchStep>> ParseJournal(const std::string& text);

// The file name part of a path (after its last "\").
std::string FileNameOf(const std::string& path);

}  // namespace launcher
