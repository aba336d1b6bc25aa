#pragma once
// The keys of the launcher's [Update] settings and the checks they get,
// whichever source holds them (startqvl.ini or the machine's registry key).
#include <functional>
#include <optional>
#include <string>

#include "launcher/Platform.h"

namespace launcher::win {

// One key's text from a source; nothing when the source lacks the key.
using UpdateKeyReader = std::function<std::optional<std::string>(const wchar_t* key)>;

// Reads every key through `read`. `place` names the source at the start of a
// message for the user ("设置文件 … 的 [Update] 节"). The settings are only
// changed when every required key is there and valid; the service address
// comes back without a trailing "/".
bool LoadUpdateSection(const UpdateKeyReader& read, const std::string& place, LauncherSettings& settings,
                       std::string& error);

}  // namespace launcher::win
