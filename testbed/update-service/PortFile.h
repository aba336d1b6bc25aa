#pragma once
// The bound port, published for whoever started the service.
#include <filesystem>

namespace testbed {

// Writes the port in decimal and a newline to a temporary file beside it and
// renames that into place, so a reader never sees a partial number.
bool WritePortFile(const std::filesystem::path& file, int port);

}  // namespace testbed
