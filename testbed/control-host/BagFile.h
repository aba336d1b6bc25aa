#pragma once
// A property bag as a UTF-8 text file: a first line "QvPropertyBag 1", then
// one line per entry in bag order: percent-encoded name, VARTYPE, value
// (percent-encoded text, a decimal number, "-" for empty, or for an object
// VT_UNKNOWN and its stream in hexadecimal).
#include <string>
#include <string_view>

#include "HostPropertyBag.h"

namespace control_host {

std::string BagToText(const HostPropertyBag& bag);
// Appends the entries to `bag`; false (bag partly filled) on a malformed line.
bool BagFromText(std::string_view text, HostPropertyBag& bag);

bool SaveBagFile(const HostPropertyBag& bag, const std::wstring& path);
bool LoadBagFile(const std::wstring& path, HostPropertyBag& bag);

}  // namespace control_host
