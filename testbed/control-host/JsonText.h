#pragma once
// The pieces of the one-line JSON answers: quoted texts, numbers, HRESULTs,
// and VARIANTs (by-reference values read through; a font shows its name,
// size and weight).
#include <string>
#include <string_view>

#include "common/win32/WindowsApi.h"
#include <oaidl.h>

namespace control_host {

std::string JsonQuoted(std::string_view utf8);
// The shortest text that reads back as the same double.
std::string JsonNumber(double number);
std::string HexResult(HRESULT result);
std::string VariantJson(const VARIANT& value);

}  // namespace control_host
