#include "clsConnectDB.h"

namespace launcher {

std::string clsConnectDB::ConnectionString() const {
    switch (m_nDBType) {
        case dbtype::Db2:
            return "DRIVER={IBM DB2 ODBC DRIVER};DBALIAS=" + m_strDataBaseName + ";UID=" + m_strUserName +
                   ";PWD=" + m_strPassword + ";SERVER=" + m_strServer;
        case dbtype::SqlServer:
            return "Provider=SQLOLEDB.1;Password=" + m_strPassword +
                   ";Persist Security Info=False;User ID=" + m_strUserName + ";Initial Catalog=" + m_strDataBaseName +
                   ";Data Source=" + m_strServer;
        default:
            return {};
    }
}

bool clsConnectDB::Connect(IAdoConnection& connection, std::string& strError) {
    // An unknown kind still goes to Open, whose refusal of the empty string is the reported error.
    std::string errorDescription;
    if (connection.Open(ConnectionString(), "", "", -1, errorDescription)) {
        return true;
    }
    strError = errorDescription;
    return false;
}

}  // namespace launcher
