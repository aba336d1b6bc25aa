#pragma once
// The leading part of ADO's connection interface, in its documented vtable
// order, up to the members the launcher calls. It is called through the vtable
// because calls by name need ADO's type library, which is not always registered.
#include "common/win32/WindowsApi.h"
#include <oaidl.h>

namespace launcher::win {

// Current ADO versions answer to the first identifier; older ones, and some
// reimplementations, only to the second. Both interfaces begin alike.
inline constexpr IID kIidAdoConnection = {0x00001550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x6d, 0x2e, 0xa4}};
inline constexpr IID kIidAdoConnectionBefore6 = {
    0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x6d, 0x2e, 0xa4}};

// Bit of the State property.
inline constexpr LONG kAdoStateOpen = 1;

struct AdoConnectionMethods : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Properties(IDispatch** properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionString(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionString(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CommandTimeout(LONG* seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CommandTimeout(LONG seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionTimeout(LONG* seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(LONG seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Execute(BSTR command, VARIANT* recordsAffected, long options,
                                              IDispatch** recordset) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginTrans(long* level) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommitTrans() = 0;
    virtual HRESULT STDMETHODCALLTYPE RollbackTrans() = 0;
    virtual HRESULT STDMETHODCALLTYPE Open(BSTR connectionString, BSTR userId, BSTR password, long options) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Errors(IDispatch** errors) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefaultDatabase(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefaultDatabase(BSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsolationLevel(long* level) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsolationLevel(long level) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Attributes(long* attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Attributes(long attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CursorLocation(long* location) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CursorLocation(long location) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Mode(long* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Mode(long mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Provider(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Provider(BSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_State(LONG* state) = 0;
};

}  // namespace launcher::win
