#include "MsxmlHttpClient.h"

#include "common/win32/Bstr.h"
#include "common/win32/ComPtr.h"
#include "MsxmlDocument.h"
#include "common/win32/Variant.h"
#include "common/win32/WindowsApi.h"
#include <msxml2.h>

#include <cstdio>

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

std::string HresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// The answer's length in bytes; -1 when it cannot be read.
long BodySize(IServerXMLHTTPRequest& request) {
    qv::win::Variant body;
    long upper = -1;
    if (FAILED(request.get_responseBody(body.Address())) || body.Get().vt != (VT_ARRAY | VT_UI1) ||
        FAILED(SafeArrayGetUBound(body.Get().parray, 1, &upper))) {
        return -1;
    }
    return upper + 1;
}

// The response document of a synchronous GET that ended with status 200.
// `outcome` says how the exchange went, for the log.
ComPtr<IDispatch> Get(IServerXMLHTTPRequest& request, const std::string& url, std::string& outcome) {
    const Bstr method(std::string_view("GET"));
    const Bstr address(url);
    const Bstr header(std::string_view("User-Agent"));
    const Bstr agent(std::string_view("Quorvel.client"));
    const auto synchronous = qv::win::Variant::FromBool(false);
    long readyState = 0;
    long status = 0;
    ComPtr<IDispatch> response;
    HRESULT hr = S_OK;
    const auto failed = [&](const char* step, HRESULT result) {
        hr = result;
        if (SUCCEEDED(hr)) return false;
        outcome = std::string(step) + " failed " + HresultText(hr);
        return true;
    };
    if (failed("setTimeouts",
               request.setTimeouts(kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs, kReceiveTimeoutMs)) ||
        failed("open", request.open(method.Get(), address.Get(), synchronous.Get(), Missing(), Missing()))) {
        return response;
    }
    if (!CheckServerCertificates(request)) {
        outcome = "the server certificate check could not be turned on";
        return response;
    }
    if (failed("setRequestHeader", request.setRequestHeader(header.Get(), agent.Get())) ||
        failed("send", request.send(Missing())) || failed("readyState", request.get_readyState(&readyState)) ||
        failed("status", request.get_status(&status))) {
        return response;
    }
    outcome = "HTTP status " + std::to_string(status) + ", " + std::to_string(BodySize(request)) + " bytes";
    if (readyState != kReadyStateCompleted || status != kStatusOk) return response;
    request.get_responseXML(response.Address());
    return response;
}

}  // namespace

bool MsxmlHttpClient::HttpGetXml(const std::string& url, std::unique_ptr<IXmlDocument>& document) {
    const auto request = CreateRequest();
    if (!request) {
        LogEvent(log_, "answer: MSXML2.ServerXMLHTTP.6.0 could not be created");
        return false;
    }
    std::string outcome;
    const auto response = Get(*request.Get(), url, outcome);
    auto parsed = MsxmlDocument::FromDispatch(response.Get());
    LogEvent(log_, "answer: " + outcome + (parsed || !response ? "" : ", not an XML document"));
    if (!parsed) {
        return false;
    }
    document = std::move(parsed);
    return true;
}

}  // namespace launcher::win
