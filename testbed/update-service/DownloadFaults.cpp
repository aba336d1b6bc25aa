#include "DownloadFaults.h"

#include <algorithm>
#include <charconv>

namespace testbed {
namespace {

std::optional<long long> Number(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

DownloadFaults& FaultsFor(DownloadFaultSet& faults, std::string_view fileName) {
    auto& byFile = faults.byFile;
    const auto found =
        std::find_if(byFile.begin(), byFile.end(), [&](const auto& entry) { return entry.first == fileName; });
    if (found != byFile.end()) return found->second;
    return byFile.emplace_back(std::string(fileName), DownloadFaults{}).second;
}

bool AddValued(DownloadFaults& faults, std::string_view name, long long value) {
    if (name == "download-status" && value >= 100 && value <= 599) {
        faults.status = static_cast<int>(value);
    } else if (name == "download-cut" && value >= 0) {
        faults.cut = value;
    } else if (name == "download-rate" && value >= 1) {
        faults.rate = value;
    } else if (name == "download-hold" && value >= 0) {
        faults.hold = value;
    } else {
        return false;
    }
    return true;
}

}  // namespace

const DownloadFaults& DownloadFaultSet::For(std::string_view fileName) const {
    for (const auto& [name, faults] : byFile) {
        if (name == fileName) return faults;
    }
    return all;
}

bool DownloadFaultSet::Holds() const {
    return all.hold || std::any_of(byFile.begin(), byFile.end(), [](const auto& entry) { return entry.second.hold; });
}

bool AddDownloadFault(DownloadFaultSet& faults, std::string_view kind) {
    const auto at = kind.find('@');
    const auto fault = kind.substr(0, at);
    DownloadFaults scratch;
    if (at != std::string_view::npos) {
        const auto fileName = kind.substr(at + 1);
        if (fileName.empty() || fileName.find('/') != std::string_view::npos) return false;
    }
    const auto colon = fault.find(':');
    const auto name = fault.substr(0, colon);
    if (colon != std::string_view::npos) {
        const auto value = Number(fault.substr(colon + 1));
        if (!value || !AddValued(scratch, name, *value)) return false;
    } else if (name == "download-no-length") {
        scratch.noLength = true;
    } else if (name == "download-ignore-range") {
        scratch.ignoreRange = true;
    } else {
        return false;
    }
    // Applied once the whole kind is known to be valid, so that a bad one leaves no trace.
    DownloadFaults& applied = at == std::string_view::npos ? faults.all : FaultsFor(faults, kind.substr(at + 1));
    if (scratch.status) applied.status = scratch.status;
    if (scratch.cut) applied.cut = scratch.cut;
    if (scratch.rate) applied.rate = scratch.rate;
    if (scratch.hold) applied.hold = scratch.hold;
    applied.noLength = applied.noLength || scratch.noLength;
    applied.ignoreRange = applied.ignoreRange || scratch.ignoreRange;
    return true;
}

}  // namespace testbed
