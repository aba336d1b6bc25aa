#include "PortFile.h"

#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace testbed {

bool WritePortFile(const std::filesystem::path& file, int port) {
    auto temporary = file;
    temporary += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << port << '\n';
        out.close();
        if (!out) return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (!error) return true;
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace testbed
