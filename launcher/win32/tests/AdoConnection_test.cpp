#include "launcher/win32/AdoConnection.h"

#include <gtest/gtest.h>

#include <string>

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"
#include "launcher/clsConnectDB.h"
#include <objbase.h>

namespace {

using launcher::clsConnectDB;
using launcher::win::AdoConnection;
using launcher::win::AdoConnectionMethods;

// A connection object that records what Open receives and then opens or
// fails as told; with a description, the failure comes with error information
// the way ADO sets it. Never freed by Release: it lives on the test's stack.
class ScriptedConnection final : public AdoConnectionMethods, public ISupportErrorInfo {
public:
    HRESULT openResult = S_OK;
    const wchar_t* errorDescription = nullptr;
    std::wstring connectionString, userId, password;
    long options = 0;

    HRESULT STDMETHODCALLTYPE Open(BSTR text, BSTR user, BSTR secret, long openOptions) override {
        connectionString.assign(text, SysStringLen(text));
        userId.assign(user, SysStringLen(user));
        password.assign(secret, SysStringLen(secret));
        options = openOptions;
        if (errorDescription) {
            ICreateErrorInfo* created = nullptr;
            IErrorInfo* info = nullptr;
            CreateErrorInfo(&created);
            created->SetDescription(const_cast<wchar_t*>(errorDescription));
            created->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
            SetErrorInfo(0, info);
            info->Release();
            created->Release();
        }
        state_ = SUCCEEDED(openResult) ? launcher::win::kAdoStateOpen : 0;
        return openResult;
    }
    HRESULT STDMETHODCALLTYPE get_State(LONG* state) override {
        *state = state_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, launcher::win::kIidAdoConnection) && errorDescription ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, launcher::win::kIidAdoConnection)) {
            *object = static_cast<AdoConnectionMethods*>(this);
        } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
            *object = static_cast<ISupportErrorInfo*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Properties(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ConnectionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ConnectionString(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CommandTimeout(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_CommandTimeout(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ConnectionTimeout(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Version(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Close() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Execute(BSTR, VARIANT*, long, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BeginTrans(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CommitTrans() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RollbackTrans() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Errors(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DefaultDatabase(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_DefaultDatabase(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsolationLevel(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsolationLevel(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Attributes(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Attributes(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CursorLocation(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_CursorLocation(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Mode(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Mode(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Provider(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Provider(BSTR) override { return E_NOTIMPL; }

private:
    LONG state_ = 0;
};

class AdoConnectionTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }

    static clsConnectDB Db2OnChineseServer() {
        clsConnectDB db;
        db.SetDBType(launcher::dbtype::Db2);
        db.SetServer("数据库服务器;x=1");
        db.SetDataBaseName("QV");
        db.SetUserName("sa");
        return db;
    }
};

// No database server is reachable here, so every kind fails to open on the
// real ADO: the failure must come back as false with a reason.
TEST_F(AdoConnectionTest, RealConnectionThatCannotOpenGivesFalseAndAReason) {
    const std::int16_t kinds[] = {launcher::dbtype::Db2, launcher::dbtype::SqlServer, 7};
    for (const auto kind : kinds) {
        SCOPED_TRACE(kind);
        clsConnectDB db = Db2OnChineseServer();
        db.SetDBType(kind);
        AdoConnection connection;
        std::string strError = "untouched";

        EXPECT_FALSE(db.Connect(connection, strError));
        EXPECT_NE(strError, "untouched");
        EXPECT_FALSE(strError.empty());
        EXPECT_FALSE(connection.IsOpen());
    }
}

TEST_F(AdoConnectionTest, OpenReceivesTheComposedStringUnchangedAndNoCredentials) {
    ScriptedConnection object;
    AdoConnection connection(static_cast<AdoConnectionMethods*>(&object));
    std::string strError = "untouched";

    EXPECT_TRUE(Db2OnChineseServer().Connect(connection, strError));
    EXPECT_EQ(object.connectionString,
              L"DRIVER={IBM DB2 ODBC DRIVER};DBALIAS=QV;UID=sa;PWD=;SERVER=\x6570\x636E\x5E93\x670D\x52A1\x5668;x=1");
    EXPECT_EQ(object.userId, L"");
    EXPECT_EQ(object.password, L"");
    EXPECT_EQ(object.options, -1);
    EXPECT_EQ(strError, "untouched");
    EXPECT_TRUE(connection.IsOpen());
}

TEST_F(AdoConnectionTest, FailureCarriesTheErrorsDescriptionElseTheSystemsText) {
    struct Case {
        HRESULT result;
        const wchar_t* description;
        std::string expected;
    };
    const Case cases[] = {
        {E_FAIL, L"[IBM][CLI Driver] SQL30081N 通讯错误", "[IBM][CLI Driver] SQL30081N 通讯错误"},
        {E_ACCESSDENIED, nullptr, qv::win::LastErrorText(static_cast<DWORD>(E_ACCESSDENIED))},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.expected);
        ScriptedConnection object;
        object.openResult = test.result;
        object.errorDescription = test.description;
        AdoConnection connection(static_cast<AdoConnectionMethods*>(&object));
        std::string strError;

        EXPECT_FALSE(Db2OnChineseServer().Connect(connection, strError));
        EXPECT_EQ(strError, test.expected);
        EXPECT_FALSE(strError.empty());
        EXPECT_FALSE(connection.IsOpen());
    }
}

TEST_F(AdoConnectionTest, ObjectThatIsNoConnectionFailsWithAReason) {
    AdoConnection connection(nullptr);
    std::string strError;
    EXPECT_FALSE(connection.Open("DSN=x", "", "", -1, strError));
    EXPECT_FALSE(strError.empty());
}

}  // namespace
