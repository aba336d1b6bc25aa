#pragma once
// The launcher's XML document and nodes on the MSXML DOM. Selections take
// XPath; texts come out as UTF-8.
#include <memory>
#include <string>
#include <vector>

#include "common/win32/ComPtr.h"
#include "launcher/Platform.h"
#include "common/win32/WindowsApi.h"
#include <msxml2.h>

namespace launcher::win {

class MsxmlNode final : public IXmlNode {
public:
    explicit MsxmlNode(qv::win::ComPtr<IXMLDOMNode> node) : m_oNode(std::move(node)) {}

    std::string Text() const override;
    std::unique_ptr<IXmlNode> SelectSingleNode(const std::string& xpath) const override;
    std::vector<std::unique_ptr<IXmlNode>> SelectNodes(const std::string& xpath) const override;

private:
    qv::win::ComPtr<IXMLDOMNode> m_oNode;
};

class MsxmlDocument final : public IXmlDocument {
public:
    // The document behind a DOM object such as a response's responseXML;
    // null when the object is no DOM node.
    static std::unique_ptr<MsxmlDocument> FromDispatch(IDispatch* document);

    std::string Text() const override { return m_oRoot.Text(); }
    std::unique_ptr<IXmlNode> SelectSingleNode(const std::string& xpath) const override {
        return m_oRoot.SelectSingleNode(xpath);
    }
    std::vector<std::unique_ptr<IXmlNode>> SelectNodes(const std::string& xpath) const override {
        return m_oRoot.SelectNodes(xpath);
    }

private:
    explicit MsxmlDocument(qv::win::ComPtr<IXMLDOMNode> root) : m_oRoot(std::move(root)) {}

    MsxmlNode m_oRoot;
};

}  // namespace launcher::win
