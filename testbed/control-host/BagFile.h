#pragma once
// A property bag as a UTF-8 text file: a first line "QvPropertyBag 1", then
// one line per entry in bag order: percent-encoded name, VARTYPE, value
// (percent-encoded text, a decimal number, "-" for empty, or for an object
// VT_UNKNOWN and its stream in hexadecimal).
#include <string>
#include <string_view>

#include "common/win32/com/MemoryPropertyBag.h"

namespace control_host {

// The container keeps its forms in the COM kit's in-memory bag.
using qv::win::com::BagEntry;
using qv::win::com::MemoryPropertyBag;

std::string BagToText(const MemoryPropertyBag& bag);
// Appends the entries to `bag`; false (bag partly filled) on a malformed line.
bool BagFromText(std::string_view text, MemoryPropertyBag& bag);

bool SaveBagFile(const MemoryPropertyBag& bag, const std::wstring& path);
bool LoadBagFile(const std::wstring& path, MemoryPropertyBag& bag);

}  // namespace control_host
