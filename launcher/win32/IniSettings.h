#pragma once
// The launcher's own settings, from "startqvl.ini" in the launcher folder:
//   [Update]
//   ServiceUrl=http://host:port     (http or https, no path needed)
//   CustomerCode=...
//   SigningSalt=...
//   PublisherKeys=base64,base64   (optional: the publisher's ECDSA P-256 keys)
// The file may be ANSI (system code page) or UTF-16 with a byte-order mark.
#include <string>

#include "launcher/Platform.h"

namespace launcher::win {

class IniSettings final : public ISettingsSource {
public:
    explicit IniSettings(std::string launcherFolder);

    // The three keys above must be present and non-empty; PublisherKeys, when
    // present, must hold valid keys. The service address comes
    // back without trailing "/", so that the request path can be appended.
    bool Load(LauncherSettings& settings, std::string& error) override;

private:
    std::string path_;
};

}  // namespace launcher::win
