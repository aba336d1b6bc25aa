#pragma once
// Knows how to reach a database server: composes the connection string for
// the chosen kind and opens the caller's connection with it. Values are kept
// and inserted verbatim, without trimming, quoting or escaping.
#include <cstdint>
#include <string>

#include "IAdoConnection.h"

namespace launcher {

namespace dbtype {
constexpr std::int16_t Db2 = 0;        // IBM DB2 through ODBC
constexpr std::int16_t SqlServer = 1;  // SQL Server through OLE DB
}  // namespace dbtype

class clsConnectDB {
public:
    std::int16_t DBType() const { return m_nDBType; }
    void SetDBType(std::int16_t nDBType) { m_nDBType = nDBType; }
    const std::string& Server() const { return m_strServer; }
    void SetServer(const std::string& strServer) { m_strServer = strServer; }
    const std::string& DataBaseName() const { return m_strDataBaseName; }
    void SetDataBaseName(const std::string& strDataBaseName) { m_strDataBaseName = strDataBaseName; }
    const std::string& UserName() const { return m_strUserName; }
    void SetUserName(const std::string& strUserName) { m_strUserName = strUserName; }
    const std::string& Password() const { return m_strPassword; }
    void SetPassword(const std::string& strPassword) { m_strPassword = strPassword; }

    // Empty for a kind other than DB2 and SQL Server.
    std::string ConnectionString() const;
    // True when the connection was opened; otherwise false with the reason in
    // strError, which is left untouched on success.
    bool Connect(IAdoConnection& connection, std::string& strError);

private:
    std::int16_t m_nDBType = dbtype::Db2;
    std::string m_strServer;
    std::string m_strDataBaseName;
    std::string m_strUserName;
    std::string m_strPassword;
};

}  // namespace launcher
