#pragma once
// Calls on a control's members by name through IDispatch, as a script
// would: property get, put, put by reference, and methods whose [in, out]
// parameters are passed by reference (the type information says which;
// without it 16- and 32-bit integers go by reference).
#include <string>
#include <vector>

#include "common/win32/com/ComError.h"
#include "common/win32/Variant.h"
#include <oaidl.h>

namespace control_host {

enum class MemberAccess { Get, Put, PutRef, Method };

struct MemberOutcome {
    HRESULT result = S_OK;                    // the callee's own code on DISP_E_EXCEPTION
    std::string description;                  // the callee's EXCEPINFO text, if any
    qv::win::Variant value;                   // the return value
    std::vector<qv::win::Variant> arguments;  // after the call, by-reference changes included
};

MemberOutcome CallMember(IDispatch* object, const std::wstring& name, MemberAccess access,
                         std::vector<qv::win::Variant> arguments);

}  // namespace control_host
