#include "MemberCall.h"

#include "common/win32/ComPtr.h"
#include "common/win32/com/DispatchCall.h"

namespace control_host {
namespace {

using qv::win::ComPtr;
using qv::win::Variant;

VARTYPE ResolvedType(ITypeInfo* info, const TYPEDESC& type) {
    if (type.vt != VT_USERDEFINED) {
        return type.vt;
    }
    ComPtr<ITypeInfo> alias;
    TYPEATTR* attributes = nullptr;
    VARTYPE resolved = VT_EMPTY;
    if (SUCCEEDED(info->GetRefTypeInfo(type.hreftype, alias.Address())) && SUCCEEDED(alias->GetTypeAttr(&attributes))) {
        if (attributes->typekind == TKIND_ALIAS) {
            resolved = ResolvedType(alias.Get(), attributes->tdescAlias);
        } else if (attributes->typekind == TKIND_ENUM) {
            resolved = VT_I4;
        }
        alias->ReleaseTypeAttr(attributes);
    }
    return resolved;
}

// For each parameter of method `id`: VT_EMPTY when it is passed by value,
// else the type it points to. Empty when the object has no type information.
std::vector<VARTYPE> ByRefTypes(IDispatch* object, DISPID id) {
    std::vector<VARTYPE> types;
    ComPtr<ITypeInfo> info;
    TYPEATTR* attributes = nullptr;
    if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Address())) || !info ||
        FAILED(info->GetTypeAttr(&attributes))) {
        return types;
    }
    const WORD functions = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < functions; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) {
            continue;
        }
        if (function->memid == id && function->invkind == INVOKE_FUNC) {
            for (SHORT p = 0; p < function->cParams; ++p) {
                const TYPEDESC& type = function->lprgelemdescParam[p].tdesc;
                types.push_back(type.vt == VT_PTR ? ResolvedType(info.Get(), *type.lptdesc) : VARTYPE{VT_EMPTY});
            }
            info->ReleaseFuncDesc(function);
            break;
        }
        info->ReleaseFuncDesc(function);
    }
    return types;
}

// A colour given for a 32-bit integer parameter keeps its bits.
HRESULT ConvertForReference(Variant& value, VARTYPE wanted) {
    if (wanted == VT_VARIANT || wanted == value.Type()) {
        return S_OK;
    }
    Variant converted;
    VARIANT& raw = *converted.Address();
    HRESULT hr = VariantChangeType(&raw, const_cast<VARIANT*>(&value.Get()), 0, wanted);
    if (hr == DISP_E_OVERFLOW && value.Type() == VT_UI4 && wanted == VT_I4) {
        raw.vt = VT_I4;
        raw.lVal = value.Get().lVal;
        hr = S_OK;
    }
    if (SUCCEEDED(hr)) {
        value = std::move(converted);
    }
    return hr;
}

}  // namespace

MemberOutcome CallMember(IDispatch* object, const std::wstring& name, MemberAccess access,
                         std::vector<Variant> arguments) {
    MemberOutcome outcome;
    if (!object) {
        outcome.result = E_POINTER;
        return outcome;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    outcome.result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(outcome.result)) {
        return outcome;
    }
    const std::vector<VARTYPE> byRef = access == MemberAccess::Method ? ByRefTypes(object, id) : std::vector<VARTYPE>();
    std::vector<VARIANT> passed;  // declaration order; views on `arguments`, owning nothing
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        Variant& argument = arguments[i];
        VARTYPE wanted = i < byRef.size() ? byRef[i] : VARTYPE{VT_EMPTY};
        if (byRef.empty() && access == MemberAccess::Method && (argument.Type() == VT_I2 || argument.Type() == VT_I4)) {
            wanted = argument.Type();
        }
        if (wanted == VT_EMPTY) {
            passed.push_back(argument.Get());
            continue;
        }
        outcome.result = ConvertForReference(argument, wanted);
        if (FAILED(outcome.result)) {
            return outcome;
        }
        // The callee writes through into the argument's own storage.
        VARIANT& target = const_cast<VARIANT&>(argument.Get());
        VARIANT reference;
        VariantInit(&reference);
        if (wanted == VT_VARIANT) {
            reference.vt = VT_BYREF | VT_VARIANT;
            reference.pvarVal = &target;
        } else {
            reference.vt = static_cast<VARTYPE>(VT_BYREF | target.vt);
            reference.byref = &target.lVal;  // every member of the value union starts here
        }
        passed.push_back(reference);
    }
    qv::win::com::ErrorReport report;
    if (access == MemberAccess::Put || access == MemberAccess::PutRef) {
        outcome.result = passed.size() == 1
                             ? qv::win::com::PutProperty(object, id, passed[0], &report, access == MemberAccess::PutRef)
                             : DISP_E_BADPARAMCOUNT;
    } else {
        outcome.result = qv::win::com::CallMethod(object, id, std::span<const VARIANT>(passed), outcome.value, &report,
                                                  access == MemberAccess::Get ? DISPATCH_PROPERTYGET : DISPATCH_METHOD);
    }
    if (outcome.result == DISP_E_EXCEPTION) {
        outcome.result = report.result;
        outcome.description = std::move(report.description);
    }
    outcome.arguments = std::move(arguments);
    return outcome;
}

}  // namespace control_host
