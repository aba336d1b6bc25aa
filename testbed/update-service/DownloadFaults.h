#pragma once
// Misbehaviour of the archive downloads, for every file or for one file only.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testbed {

struct DownloadFaults {
    // A status in place of the file; the connection closed after this many
    // bytes of the announced whole; the body sent chunked without a
    // Content-Length, or at this many bytes per second; Range ignored (always
    // 200 and the whole file); after this many bytes of the body the marker
    // file is written and the rest waits until the marker is gone.
    std::optional<int> status;
    std::optional<long long> cut;
    bool noLength = false;
    std::optional<long long> rate;
    bool ignoreRange = false;
    std::optional<long long> hold;
};

struct DownloadFaultSet {
    DownloadFaults all;
    // A file named here gets only the faults named for it, none of `all`.
    std::vector<std::pair<std::string, DownloadFaults>> byFile;

    // The faults for a download whose path ends in this file name.
    const DownloadFaults& For(std::string_view fileName) const;
    bool Holds() const;
};

// Adds one of "download-status:<code>" (100 to 599), "download-cut:<bytes>",
// "download-no-length", "download-rate:<bytes per second, at least 1>",
// "download-ignore-range", "download-hold:<bytes>", each optionally followed
// by "@<file name>" to apply to that file only; false for anything else.
bool AddDownloadFault(DownloadFaultSet& faults, std::string_view kind);

}  // namespace testbed
