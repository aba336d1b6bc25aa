#include "AdoConnection.h"

#include <initializer_list>

#include "common/win32/Bstr.h"
#include "common/win32/TextConvert.h"

namespace launcher::win {
namespace {

using qv::win::Bstr;
using qv::win::ComPtr;

ComPtr<IUnknown> CreateConnectionObject(HRESULT& hr) {
    ComPtr<IUnknown> object;
    CLSID classId{};
    hr = CLSIDFromProgID(L"ADODB.Connection", &classId);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(object.Address()));
    }
    return object;
}

// The description the object left in the thread's error information, else
// the system's text for the code.
std::string ErrorDescription(IUnknown* object, const IID& interfaceId, HRESULT hr) {
    ComPtr<ISupportErrorInfo> support;
    object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.Address()));
    ComPtr<IErrorInfo> info;
    if (support && support->InterfaceSupportsErrorInfo(interfaceId) == S_OK &&
        GetErrorInfo(0, info.Address()) == S_OK && info) {
        Bstr description;
        if (SUCCEEDED(info->GetDescription(description.Address())) && description.Length() > 0) {
            return description.ToUtf8();
        }
    }
    return qv::win::LastErrorText(static_cast<DWORD>(hr));
}

}  // namespace

AdoConnection::AdoConnection() {
    const auto object = CreateConnectionObject(m_hrCreate);
    if (object) {
        Attach(object.Get());
    }
}

AdoConnection::AdoConnection(IUnknown* connection) {
    if (connection) {
        Attach(connection);
    }
}

void AdoConnection::Attach(IUnknown* connection) {
    for (const IID& candidate : {kIidAdoConnection, kIidAdoConnectionBefore6}) {
        m_hrCreate = connection->QueryInterface(candidate, reinterpret_cast<void**>(m_oConnection.Address()));
        if (SUCCEEDED(m_hrCreate)) {
            m_iidConnection = candidate;
            return;
        }
    }
}

bool AdoConnection::Open(const std::string& connectionString, const std::string& userId, const std::string& password,
                         long options, std::string& errorDescription) {
    if (!m_oConnection) {
        errorDescription = qv::win::LastErrorText(static_cast<DWORD>(m_hrCreate));
        return false;
    }
    const Bstr text(connectionString);
    const Bstr user(userId);
    const Bstr secret(password);
    const HRESULT hr = m_oConnection->Open(text.Get(), user.Get(), secret.Get(), options);
    if (FAILED(hr)) {
        errorDescription = ErrorDescription(m_oConnection.Get(), m_iidConnection, hr);
        return false;
    }
    return true;
}

bool AdoConnection::IsOpen() const {
    LONG state = 0;
    return m_oConnection && SUCCEEDED(m_oConnection->get_State(&state)) && (state & kAdoStateOpen) != 0;
}

}  // namespace launcher::win
