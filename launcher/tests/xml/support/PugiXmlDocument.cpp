#include "PugiXmlDocument.h"

#include <pugixml.hpp>

#include <utility>

namespace launcher {
namespace {

using DocumentPtr = std::shared_ptr<const pugi::xml_document>;

// All text and CDATA below the node, in document order, like the DOM's text.
void AppendText(const pugi::xml_node& node, std::string& text) {
    for (const auto& child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += child.value();
        } else {
            AppendText(child, text);
        }
    }
}

// The document and its elements alike (the document interface adds nothing
// to a node's); attributes and other node kinds are never selected.
class PugiXmlNode : public IXmlDocument {
public:
    PugiXmlNode(DocumentPtr document, pugi::xml_node node) : document_(std::move(document)), node_(node) {}

    std::string Text() const override {
        std::string text;
        AppendText(node_, text);
        return text;
    }

    std::unique_ptr<IXmlNode> SelectSingleNode(const std::string& xpath) const override {
        auto found = SelectNodes(xpath);
        return found.empty() ? nullptr : std::move(found.front());
    }

    std::vector<std::unique_ptr<IXmlNode>> SelectNodes(const std::string& xpath) const override {
        std::vector<std::unique_ptr<IXmlNode>> nodes;
        try {
            for (const auto& found : node_.select_nodes(xpath.c_str())) {
                if (found.node()) nodes.push_back(std::make_unique<PugiXmlNode>(document_, found.node()));
            }
        } catch (const pugi::xpath_exception&) {
            // An invalid expression selects nothing.
        }
        return nodes;
    }

private:
    DocumentPtr document_;  // keeps the tree alive as long as any node of it
    pugi::xml_node node_;
};

}  // namespace

std::unique_ptr<IXmlDocument> ParseXmlDocument(std::string_view xml) {
    auto document = std::make_shared<pugi::xml_document>();
    if (!document->load_buffer(xml.data(), xml.size())) document->reset();
    pugi::xml_node root = *document;
    return std::make_unique<PugiXmlNode>(std::move(document), root);
}

}  // namespace launcher
