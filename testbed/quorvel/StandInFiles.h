#pragma once
// The files the stand-in keeps in its own folder: the logs that the tests
// read, the saved form and the file that tells it to end.
#include <string>
#include <string_view>

namespace testbed {

// The folder of the running program, without a trailing backslash.
std::wstring ProgramFolder();

// Appends `line` and CR LF to quorvel.started.log in `folder`, in one write so
// that lines of several copies never interleave. False when it cannot.
bool AppendStandInLog(const std::wstring& folder, std::string_view line);

// The same for quorvel.form.log, the log of the form: its controls and the
// terminal monitor. Kept apart so that quorvel.started.log holds only the
// start and the end.
bool AppendFormLog(const std::wstring& folder, std::string_view line);

// quorvel.form in `folder`.
std::wstring FormFilePath(const std::wstring& folder);

// Whether quorvel.exit exists in `folder`.
bool ExitFileExists(const std::wstring& folder);

}  // namespace testbed
