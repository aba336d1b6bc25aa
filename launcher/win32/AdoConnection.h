#pragma once
// An ADO connection object for clsConnectDB. The calling thread must have
// initialised COM; the object belongs to that thread.
#include <string>

#include "AdoConnectionInterface.h"
#include "common/win32/ComPtr.h"
#include "launcher/IAdoConnection.h"

namespace launcher::win {

class AdoConnection final : public IAdoConnection {
public:
    // A new "ADODB.Connection"; when it cannot be made, Open reports why.
    AdoConnection();
    // The caller's connection object.
    explicit AdoConnection(IUnknown* connection);

    // False with the error's description, never an exception.
    bool Open(const std::string& connectionString, const std::string& userId, const std::string& password, long options,
              std::string& errorDescription) override;
    bool IsOpen() const;

private:
    void Attach(IUnknown* connection);

    qv::win::ComPtr<AdoConnectionMethods> m_oConnection;
    IID m_iidConnection{};
    HRESULT m_hrCreate = E_FAIL;
};

}  // namespace launcher::win
