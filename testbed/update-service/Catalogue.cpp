#include "Catalogue.h"

#include <pugixml.hpp>

namespace testbed {
namespace {

// Keeps a text that is only blanks, such as <cIfReg> </cIfReg>, instead of
// dropping it: the answer must carry it unchanged.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

std::optional<Catalogue> FromDocument(const pugi::xml_document& document, std::string& error) {
    const auto root = document.child("catalogue");
    if (!root) {
        error = "the root element is not <catalogue>";
        return std::nullopt;
    }
    const auto customer = root.attribute("customer");
    const auto salt = root.attribute("salt");
    if (!customer || !salt) {
        error = "<catalogue> needs the attributes customer and salt";
        return std::nullopt;
    }
    Catalogue catalogue{customer.value(), salt.value(), {}};
    for (const auto file : root.children("File")) {
        CatalogueFile fields;
        for (const auto child : file.children()) {
            if (child.type() == pugi::node_element) fields.push_back({child.name(), child.text().get()});
        }
        catalogue.files.push_back(std::move(fields));
    }
    return catalogue;
}

std::optional<Catalogue> Checked(const pugi::xml_document& document, const pugi::xml_parse_result& parsed,
                                 std::string& error) {
    if (!parsed) {
        error = std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset);
        return std::nullopt;
    }
    return FromDocument(document, error);
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::optional<Catalogue> ParseCatalogue(std::string_view xml, std::string& error) {
    pugi::xml_document document;
    const auto parsed = document.load_buffer(xml.data(), xml.size(), kParseOptions, pugi::encoding_utf8);
    return Checked(document, parsed, error);
}

std::optional<Catalogue> ReadCatalogue(const std::filesystem::path& file, std::string& error) {
    pugi::xml_document document;
    const auto parsed = document.load_file(file.c_str(), kParseOptions);
    return Checked(document, parsed, error);
}

void ExpandBase(Catalogue& catalogue, std::string_view base) {
    for (auto& file : catalogue.files) {
        for (auto& field : file) ReplaceAll(field.text, "{base}", base);
    }
}

}  // namespace testbed
