#pragma once
// The XML document interface on pugixml, so that the answer reader can be
// tested on real XML texts.
#include <memory>
#include <string_view>

#include "launcher/Platform.h"

namespace launcher {

// A text that is not well-formed XML gives a document with no nodes.
std::unique_ptr<IXmlDocument> ParseXmlDocument(std::string_view xml);

}  // namespace launcher
