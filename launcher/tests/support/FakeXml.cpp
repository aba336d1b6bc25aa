#include "FakeXml.h"

#include <algorithm>
#include <utility>

namespace launcher {
namespace {

using ElementPtr = std::shared_ptr<const FakeXmlElement>;

std::string TextOf(const FakeXmlElement& element) {
    std::string text = element.text;
    for (const auto& child : element.children) text += TextOf(child);
    return text;
}

std::vector<std::string> SplitSteps(const std::string& path) {
    std::vector<std::string> steps;
    std::string::size_type start = 0;
    while (start <= path.size()) {
        const auto slash = std::min(path.find('/', start), path.size());
        if (slash > start) steps.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return steps;
}

// Elements share ownership of the whole tree through the aliasing constructor.
std::vector<ElementPtr> Select(const ElementPtr& document, const ElementPtr& context, const std::string& xpath) {
    std::vector<ElementPtr> current{xpath.starts_with("/") ? document : context};
    for (const auto& step : SplitSteps(xpath)) {
        std::vector<ElementPtr> next;
        for (const auto& element : current) {
            for (const auto& child : element->children) {
                if (child.name == step) next.emplace_back(document, &child);
            }
        }
        current = std::move(next);
    }
    return current;
}

class FakeXmlNode : public IXmlNode {
public:
    FakeXmlNode(ElementPtr document, ElementPtr element)
        : document_(std::move(document)), element_(std::move(element)) {}

    std::string Text() const override { return TextOf(*element_); }
    std::unique_ptr<IXmlNode> SelectSingleNode(const std::string& xpath) const override {
        auto found = SelectNodes(xpath);
        return found.empty() ? nullptr : std::move(found.front());
    }
    std::vector<std::unique_ptr<IXmlNode>> SelectNodes(const std::string& xpath) const override {
        std::vector<std::unique_ptr<IXmlNode>> nodes;
        for (auto& element : Select(document_, element_, xpath)) {
            nodes.push_back(std::make_unique<FakeXmlNode>(document_, std::move(element)));
        }
        return nodes;
    }

private:
    ElementPtr document_;
    ElementPtr element_;
};

}  // namespace

FakeXmlElement El(std::string name, std::string text) { return {std::move(name), std::move(text), {}}; }

FakeXmlElement El(std::string name, std::vector<FakeXmlElement> children) {
    return {std::move(name), {}, std::move(children)};
}

FakeXmlDocument::FakeXmlDocument(FakeXmlElement root)
    : document_(std::make_shared<const FakeXmlElement>(FakeXmlElement{{}, {}, {std::move(root)}})) {}

std::string FakeXmlDocument::Text() const { return document_ ? TextOf(*document_) : std::string(); }

std::unique_ptr<IXmlNode> FakeXmlDocument::SelectSingleNode(const std::string& xpath) const {
    return document_ ? FakeXmlNode(document_, document_).SelectSingleNode(xpath) : nullptr;
}

std::vector<std::unique_ptr<IXmlNode>> FakeXmlDocument::SelectNodes(const std::string& xpath) const {
    if (!document_) return {};
    return FakeXmlNode(document_, document_).SelectNodes(xpath);
}

}  // namespace launcher
