#pragma once
// Signing and checking the File elements of an XML document: a service's
// catalogue or a whole answer, wherever the elements stand.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "EcKey.h"
#include "launcher/FileSignature.h"

namespace publisher {

// The texts of the signed children of one File element (the first of each name).
launcher::SignedFieldTexts SignedFields(const pugi::xml_node& file);

// Gives every File element a cSignature (replacing one it had). With an
// archives folder, each entry's cSHA256 is first set to the digest of
// <folder>/<cFileName>.comps. The number of entries signed, or nullopt with
// the reason; the document may then be partly changed.
std::optional<int> SignDocument(pugi::xml_document& document, const EcKey& key,
                                const std::optional<std::filesystem::path>& archives, std::string& error);

// One line per File element that the launcher with these keys would refuse.
std::vector<std::string> CheckDocument(const pugi::xml_document& document, const launcher::AnswerSigning& signing);

}  // namespace publisher
