#pragma once
// One program file that the installation must have, as the update service
// lists it. Filled once by the answer's reader and not changed afterwards.
#include <cstdint>
#include <string>

namespace launcher {

struct clsProgramFile {
    std::string cFileName;      // name without folder; also its key in the version file
    std::int32_t cVersion = 0;  // required version; larger is newer
    std::string cFilePath;      // may hold "[CUR_PATH]" or "[SYS_PATH]"
    std::string cDownLoadPath;  // base URL of the folder holding the archive
    bool cIfReg = false;        // register as a COM component after unpacking
    bool cIfPrivate = false;    // carried along; nothing acts on it
    std::string cSHA256;        // the archive's digest in lower-case hex; empty when the service sent none
};

}  // namespace launcher
