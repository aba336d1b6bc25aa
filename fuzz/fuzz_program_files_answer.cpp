// Arbitrary response bodies through the XML parser into the answer reader:
// nothing may crash, and an answer read as good holds only file names that
// stay inside their folder (as does every entry kept before a failure).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "launcher/tests/xml/support/PugiXmlDocument.h"
#include "launcher/modWeb.h"

namespace {

bool StaysInFolder(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '\\' || c == '/' || c == ':') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const auto document = launcher::ParseXmlDocument(body);
    launcher::clsProgramFiles files;
    launcher::ReadProgramFilesAnswer(*document, files);
    for (const auto& file : files) {
        if (!file || !StaysInFolder(file->cFileName)) std::abort();
    }
    return 0;
}
