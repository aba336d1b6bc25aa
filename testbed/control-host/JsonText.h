#pragma once
// The values of the one-line JSON answers: HRESULTs, and VARIANTs
// (by-reference values read through; a font shows its name, size and weight).
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "common/win32/WindowsApi.h"
#include <oaidl.h>

namespace control_host {

// Members keep the order they were added in.
using Json = nlohmann::ordered_json;

// One line; text that is not UTF-8 shows replacement characters.
std::string JsonLine(const Json& value);
// The shortest text that reads back as the same double.
std::string JsonNumber(double number);
std::string HexResult(HRESULT result);
Json VariantJson(const VARIANT& value);

}  // namespace control_host
