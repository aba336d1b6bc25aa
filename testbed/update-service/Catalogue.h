#pragma once
// The catalogue: which customer the service knows, the salt it signs with, and
// the program files it lists, each as the child elements it is to answer with.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testbed {

struct FileField {
    std::string name;
    std::string text;
};

// One <File>: its child elements in document order, unknown names included.
using CatalogueFile = std::vector<FileField>;

struct Catalogue {
    std::string customer;
    std::string salt;
    std::vector<CatalogueFile> files;
};

// nullopt with a reason in error when the XML is unreadable or the root lacks
// its customer or salt.
std::optional<Catalogue> ParseCatalogue(std::string_view xml, std::string& error);
std::optional<Catalogue> ReadCatalogue(const std::filesystem::path& file, std::string& error);

// Replaces every "{base}" in the files' texts by base.
void ExpandBase(Catalogue& catalogue, std::string_view base);

}  // namespace testbed
