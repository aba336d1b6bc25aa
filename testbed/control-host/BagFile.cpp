#include "BagFile.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/win32/Bstr.h"
#include "CommandWords.h"
#include "JsonText.h"
#include "PercentText.h"
#include "common/win32/TextConvert.h"

namespace control_host {
namespace {

constexpr std::string_view kHeader = "QvPropertyBag 1";

bool IsReal(VARTYPE type) { return type == VT_R4 || type == VT_R8 || type == VT_DATE || type == VT_CY; }

std::string ValueText(const BagEntry& entry) {
    static const char kHex[] = "0123456789abcdef";
    if (entry.isObject) {
        std::string hex;
        for (const unsigned char byte : entry.object) {
            hex += kHex[byte >> 4];
            hex += kHex[byte & 15];
        }
        return hex.empty() ? "-" : hex;
    }
    // VariantChangeType takes a non-const source it does not change.
    VARIANT& value = const_cast<VARIANT&>(entry.value.Get());
    qv::win::Variant converted;
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
        return "-";
    }
    if (value.vt == VT_BSTR) {
        return PercentEncode(qv::win::Bstr(std::wstring_view(value.bstrVal ? value.bstrVal : L"")).ToUtf8());
    }
    if (value.vt == VT_BOOL) {
        return value.boolVal ? "-1" : "0";
    }
    if (IsReal(value.vt) && SUCCEEDED(VariantChangeType(converted.Address(), &value, 0, VT_R8))) {
        return JsonNumber(converted.Get().dblVal);
    }
    if (SUCCEEDED(VariantChangeType(converted.Address(), &value, 0, VT_I8))) {
        return std::to_string(converted.Get().llVal);
    }
    return "-";
}

std::vector<unsigned char> HexBytes(std::string_view hex, bool& ok) {
    std::vector<unsigned char> bytes;
    ok = hex.size() % 2 == 0;
    for (std::size_t i = 0; ok && i < hex.size(); i += 2) {
        unsigned value = 0;
        const auto read = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        ok = read.ec == std::errc() && read.ptr == hex.data() + i + 2;
        bytes.push_back(static_cast<unsigned char>(value));
    }
    return bytes;
}

bool ParseEntry(const std::vector<std::string>& words, BagEntry& entry) {
    const auto name = PercentDecode(words[0]);
    unsigned type = 0;
    const auto read = std::from_chars(words[1].data(), words[1].data() + words[1].size(), type);
    if (!name || read.ec != std::errc() || name->empty()) {
        return false;
    }
    entry.name = qv::win::Widen(*name);
    const std::string& text = words[2];
    if (type == VT_UNKNOWN || type == VT_DISPATCH) {
        bool ok = true;
        entry.isObject = true;
        entry.object = text == "-" ? std::vector<unsigned char>() : HexBytes(text, ok);
        return ok;
    }
    if (type == VT_EMPTY || type == VT_NULL) {
        entry.value.Address()->vt = static_cast<VARTYPE>(type);
        return true;
    }
    qv::win::Variant parsed;
    if (type == VT_BSTR) {
        const auto decoded = PercentDecode(text);
        if (!decoded) return false;
        parsed = qv::win::Variant::FromText(*decoded);
    } else {
        VARIANT& raw = *parsed.Address();
        const char* end = text.data() + text.size();
        if (IsReal(static_cast<VARTYPE>(type))) {
            raw.vt = VT_R8;
            const auto number = std::from_chars(text.data(), end, raw.dblVal);
            if (number.ec != std::errc() || number.ptr != end) return false;
        } else {
            raw.vt = VT_I8;
            const auto number = std::from_chars(text.data(), end, raw.llVal);
            if (number.ec != std::errc() || number.ptr != end) return false;
        }
    }
    return SUCCEEDED(
        VariantChangeType(entry.value.Address(), const_cast<VARIANT*>(&parsed.Get()), 0, static_cast<VARTYPE>(type)));
}

}  // namespace

std::string BagToText(const MemoryPropertyBag& bag) {
    std::string text(kHeader);
    text += '\n';
    for (const BagEntry& entry : bag.Entries()) {
        const VARTYPE type = entry.isObject ? static_cast<VARTYPE>(VT_UNKNOWN) : entry.value.Type();
        text += PercentEncode(qv::win::Narrow(entry.name)) + ' ' + std::to_string(type) + ' ' + ValueText(entry) + '\n';
    }
    return text;
}

bool BagFromText(std::string_view text, MemoryPropertyBag& bag) {
    std::istringstream lines{std::string(text)};
    std::string line;
    if (!std::getline(lines, line) || SplitWords(line) != SplitWords(kHeader)) {
        return false;
    }
    while (std::getline(lines, line)) {
        const std::vector<std::string> words = SplitWords(line);
        if (words.empty()) {
            continue;
        }
        BagEntry entry;
        if (words.size() != 3 || !ParseEntry(words, entry)) {
            return false;
        }
        bag.Put(std::move(entry));
    }
    return true;
}

bool SaveBagFile(const MemoryPropertyBag& bag, const std::wstring& path) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file << BagToText(bag);
    return static_cast<bool>(file.flush());
}

bool LoadBagFile(const std::wstring& path, MemoryPropertyBag& bag) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return BagFromText(text.str(), bag);
}

}  // namespace control_host
