#pragma once
// Calling an object through IDispatch::Invoke by dispatch identifier.
//
//   const Variant address = Variant::FromText("10.0.0.5");
//   const Variant port = Variant::FromLong(4370);
//   Variant result;
//   ErrorReport error;
//   HRESULT hr = CallMethod(object, 39, {address.Get(), port.Get()}, result, &error);
//
// Arguments are given in declaration order. For a by-reference argument pass
// a VARIANT of VT_BYREF | type pointing at the caller's storage (ByRef()).
#include <initializer_list>
#include <span>

#include "ComError.h"
#include "common/win32/ComPtr.h"
#include "common/win32/Variant.h"

namespace qv::win::com {

// On DISP_E_EXCEPTION `error` (if given) holds the callee's number and description.
HRESULT CallMethod(IDispatch* object, DISPID id, std::initializer_list<VARIANT> arguments, Variant& result,
                   ErrorReport* error = nullptr, WORD flags = DISPATCH_METHOD);
HRESULT CallMethod(IDispatch* object, DISPID id, std::span<const VARIANT> arguments, Variant& result,
                   ErrorReport* error = nullptr, WORD flags = DISPATCH_METHOD);
HRESULT CallMethod(IDispatch* object, DISPID id, std::initializer_list<VARIANT> arguments,
                   ErrorReport* error = nullptr);

// A property put (or put by reference, for an object); the value stays the caller's.
HRESULT PutProperty(IDispatch* object, DISPID id, VARIANT value, ErrorReport* error = nullptr,
                    bool byReference = false);

VARIANT ByRef(BSTR* text) noexcept;
VARIANT ByRef(short* value) noexcept;
VARIANT ByRefBool(VARIANT_BOOL* value) noexcept;  // VARIANT_BOOL is a short too
VARIANT ByRef(long* value) noexcept;
VARIANT ByRef(float* value) noexcept;

// A DISPID by name (GetIDsOfNames); DISPID_UNKNOWN when the object has none.
DISPID DispatchIdOf(IDispatch* object, const wchar_t* name);

}  // namespace qv::win::com
