#include "MsxmlHttpClient.h"

#include "common/win32/Bstr.h"
#include "common/win32/ComPtr.h"
#include "MsxmlDocument.h"
#include "common/win32/Variant.h"
#include "common/win32/WindowsApi.h"
#include <msxml2.h>

namespace launcher::win {
namespace {

using qv::win::Bstr;
using qv::win::ComPtr;

// Absent from MinGW's import libraries.
constexpr IID kIidServerXmlHttpRequest = {0x2e9196bf, 0x13ba, 0x4dd4, {0x91, 0xca, 0x6c, 0x57, 0x1f, 0x28, 0x14, 0x95}};

constexpr long kResolveTimeoutMs = 10000;
constexpr long kConnectTimeoutMs = 10000;
constexpr long kSendTimeoutMs = 120000;
constexpr long kReceiveTimeoutMs = 60000;
constexpr long kReadyStateCompleted = 4;
constexpr long kStatusOk = 200;

ComPtr<IServerXMLHTTPRequest> CreateRequest() {
    ComPtr<IServerXMLHTTPRequest> request;
    CLSID classId{};
    if (SUCCEEDED(CLSIDFromProgID(L"MSXML2.ServerXMLHTTP.6.0", &classId))) {
        CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, kIidServerXmlHttpRequest,
                         reinterpret_cast<void**>(request.Address()));
    }
    return request;
}

// An optional argument left out, as automation callers pass it.
VARIANT Missing() {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_ERROR;
    value.scode = DISP_E_PARAMNOTFOUND;
    return value;
}

// Left as it is, the request ignores every server certificate error (the
// option's default is "ignore all"); the launcher wants them all to fail the
// request. Wine checks certificates regardless and does not implement the
// option, so E_NOTIMPL alone is no failure.
bool CheckServerCertificates(IServerXMLHTTPRequest& request) {
    const auto none = qv::win::Variant::FromLong(0);
    const HRESULT hr = request.setOption(SXH_OPTION_IGNORE_SERVER_SSL_CERT_ERROR_FLAGS, none.Get());
    return SUCCEEDED(hr) || hr == E_NOTIMPL;
}

// The response document of a synchronous GET that ended with status 200.
ComPtr<IDispatch> Get(IServerXMLHTTPRequest& request, const std::string& url) {
    const Bstr method(std::string_view("GET"));
    const Bstr address(url);
    const Bstr header(std::string_view("User-Agent"));
    const Bstr agent(std::string_view("Quorvel.client"));
    const auto synchronous = qv::win::Variant::FromBool(false);
    long readyState = 0;
    long status = 0;
    ComPtr<IDispatch> response;
    if (FAILED(request.setTimeouts(kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs, kReceiveTimeoutMs)) ||
        FAILED(request.open(method.Get(), address.Get(), synchronous.Get(), Missing(), Missing())) ||
        !CheckServerCertificates(request) || FAILED(request.setRequestHeader(header.Get(), agent.Get())) ||
        FAILED(request.send(Missing())) || FAILED(request.get_readyState(&readyState)) ||
        FAILED(request.get_status(&status)) || readyState != kReadyStateCompleted || status != kStatusOk) {
        return response;
    }
    request.get_responseXML(response.Address());
    return response;
}

}  // namespace

bool MsxmlHttpClient::HttpGetXml(const std::string& url, std::unique_ptr<IXmlDocument>& document) {
    const auto request = CreateRequest();
    if (!request) {
        return false;
    }
    const auto response = Get(*request.Get(), url);
    auto parsed = MsxmlDocument::FromDispatch(response.Get());
    if (!parsed) {
        return false;
    }
    document = std::move(parsed);
    return true;
}

}  // namespace launcher::win
