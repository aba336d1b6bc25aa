#include "MsxmlDocument.h"

#include "common/win32/Bstr.h"
#include "common/win32/Variant.h"

namespace launcher::win {
namespace {

using qv::win::Bstr;
using qv::win::ComPtr;

// Own copies of the interface identifiers: not every toolchain's import
// libraries carry them.
constexpr IID kIidXmlDomNode = {0x2933bf80, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
constexpr IID kIidXmlDomDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

template <class T>
ComPtr<T> Query(IUnknown* object, const IID& iid) {
    ComPtr<T> result;
    if (object) {
        object->QueryInterface(iid, reinterpret_cast<void**>(result.Address()));
    }
    return result;
}

// MSXML 6 selects with XPath already; older DOMs default to XSL patterns,
// which read some expressions differently. Saying so keeps the answer the same.
void UseXPath(IXMLDOMNode* document) {
    if (const auto settings = Query<IXMLDOMDocument2>(document, kIidXmlDomDocument2)) {
        const Bstr name(std::string_view("SelectionLanguage"));
        const auto language = qv::win::Variant::FromText("XPath");
        settings->setProperty(name.Get(), language.Get());
    }
}

}  // namespace

std::string MsxmlNode::Text() const {
    Bstr text;
    if (FAILED(m_oNode->get_text(text.Address()))) {
        return {};
    }
    return text.ToUtf8();
}

std::unique_ptr<IXmlNode> MsxmlNode::SelectSingleNode(const std::string& xpath) const {
    const Bstr query(xpath);
    ComPtr<IXMLDOMNode> found;
    // S_FALSE with no node when nothing matches.
    if (m_oNode->selectSingleNode(query.Get(), found.Address()) != S_OK || !found) {
        return nullptr;
    }
    return std::make_unique<MsxmlNode>(std::move(found));
}

std::vector<std::unique_ptr<IXmlNode>> MsxmlNode::SelectNodes(const std::string& xpath) const {
    std::vector<std::unique_ptr<IXmlNode>> nodes;
    const Bstr query(xpath);
    ComPtr<IXMLDOMNodeList> list;
    long count = 0;
    if (FAILED(m_oNode->selectNodes(query.Get(), list.Address())) || !list || FAILED(list->get_length(&count))) {
        return nodes;
    }
    for (long index = 0; index < count; ++index) {
        ComPtr<IXMLDOMNode> node;
        if (list->get_item(index, node.Address()) == S_OK && node) {
            nodes.push_back(std::make_unique<MsxmlNode>(std::move(node)));
        }
    }
    return nodes;
}

std::unique_ptr<MsxmlDocument> MsxmlDocument::FromDispatch(IDispatch* document) {
    auto root = Query<IXMLDOMNode>(document, kIidXmlDomNode);
    if (!root) {
        return nullptr;
    }
    UseXPath(root.Get());
    return std::unique_ptr<MsxmlDocument>(new MsxmlDocument(std::move(root)));
}

}  // namespace launcher::win
