#include "launcher/clsConnectDB.h"

#include <gtest/gtest.h>

#include <string>

namespace launcher {
namespace {

class RecordingConnection : public IAdoConnection {
public:
    bool Open(const std::string& connectionString, const std::string& userId, const std::string& password, long options,
              std::string& errorDescription) override {
        ++calls;
        opened = connectionString + "|" + userId + "|" + password + "|" + std::to_string(options);
        if (!failure.empty()) errorDescription = failure;
        return failure.empty();
    }
    std::string failure;
    std::string opened;
    int calls = 0;
};

clsConnectDB Filled(std::int16_t nDBType, const std::string& strPassword = "p;w=1") {
    clsConnectDB db;
    db.SetDBType(nDBType);
    db.SetServer(" srv\\inst ");
    db.SetDataBaseName("school");
    db.SetUserName("sa");
    db.SetPassword(strPassword);
    return db;
}

TEST(clsConnectDB, ConnectionStringPerKindWithValuesVerbatim) {
    struct Case {
        std::int16_t type;
        const char* password;
        const char* expected;
    };
    const Case cases[] = {
        {0, "p;w=1", "DRIVER={IBM DB2 ODBC DRIVER};DBALIAS=school;UID=sa;PWD=p;w=1;SERVER= srv\\inst "},
        {0, "", "DRIVER={IBM DB2 ODBC DRIVER};DBALIAS=school;UID=sa;PWD=;SERVER= srv\\inst "},
        {1, "p;w=1",
         "Provider=SQLOLEDB.1;Password=p;w=1;Persist Security Info=False;User ID=sa;"
         "Initial Catalog=school;Data Source= srv\\inst "},
        {2, "x", ""},
        {-1, "x", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Filled(c.type, c.password).ConnectionString(), c.expected) << c.type;
    }
    EXPECT_EQ(clsConnectDB().ConnectionString(), "DRIVER={IBM DB2 ODBC DRIVER};DBALIAS=;UID=;PWD=;SERVER=");
}

TEST(clsConnectDB, ConnectOpensWithComposedStringAndNoCredentials) {
    RecordingConnection connection;
    std::string strError = "earlier";
    clsConnectDB db = Filled(1);
    EXPECT_TRUE(db.Connect(connection, strError));
    EXPECT_EQ(connection.opened, db.ConnectionString() + "|||-1");
    EXPECT_EQ(strError, "earlier");
}

TEST(clsConnectDB, RefusedOpenReportsDescriptionEvenForUnknownKind) {
    RecordingConnection connection;
    connection.failure = "登录失败";
    std::string strError;
    EXPECT_FALSE(Filled(0).Connect(connection, strError));
    EXPECT_EQ(strError, "登录失败");

    strError.clear();
    EXPECT_FALSE(Filled(7).Connect(connection, strError));
    EXPECT_EQ(connection.opened, "|||-1");
    EXPECT_EQ(connection.calls, 2);
    EXPECT_EQ(strError, "登录失败");
}

}  // namespace
}  // namespace launcher
