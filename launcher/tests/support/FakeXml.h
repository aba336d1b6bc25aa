#pragma once
// An XML document built in code, for tests that must not depend on an XML
// parser. Paths: absolute "/a/b/c" from the document, or a bare child name
// relative to the node; every element on every matching branch is found.
#include <memory>
#include <string>
#include <vector>

#include "launcher/Platform.h"

namespace launcher {

struct FakeXmlElement {
    std::string name;
    std::string text;  // the element's own text, before its children's
    std::vector<FakeXmlElement> children;
};

// Shorthand for building trees: El("a", {El("b", "1"), El("c", "2")}).
FakeXmlElement El(std::string name, std::string text = {});
FakeXmlElement El(std::string name, std::vector<FakeXmlElement> children);

class FakeXmlDocument : public IXmlDocument {
public:
    FakeXmlDocument() = default;  // no nodes at all, like a response that is not XML
    explicit FakeXmlDocument(FakeXmlElement root);

    std::string Text() const override;
    std::unique_ptr<IXmlNode> SelectSingleNode(const std::string& xpath) const override;
    std::vector<std::unique_ptr<IXmlNode>> SelectNodes(const std::string& xpath) const override;

private:
    // The document itself as a nameless element whose one child is the root.
    std::shared_ptr<const FakeXmlElement> document_;
};

}  // namespace launcher
