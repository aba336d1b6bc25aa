#pragma once
// Misbehaviour of the program-file endpoint on request, so that tests can
// drive the launcher through its failure paths.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Answer.h"
#include "DownloadFaults.h"

namespace testbed {

struct Faults {
    std::chrono::milliseconds delay{0};
    std::optional<int> status;
    bool malformed = false;
    bool noResult = false;
    bool emptyList = false;
    bool truncated = false;
    DownloadFaultSet downloads;
    // The answer changed after the catalogue was signed: a field of the n-th
    // file (1-based) set to a text, or one file's cSignature put on another.
    struct FieldChange {
        std::size_t file;
        std::string name;
        std::string text;
    };
    std::vector<FieldChange> changes;
    struct SignatureCopy {
        std::size_t from;
        std::size_t to;
    };
    std::optional<SignatureCopy> signatureCopy;
};

// Adds one of "status:<code>" (100 to 599), "malformed", "truncated",
// "delay:<ms>", "no-result", "empty-list", "change:<n>:<field>:<text>" (the
// text may hold colons), "copy-signature:<from>:<to>", or a download fault
// (see AddDownloadFault); false for anything else.
bool AddFault(Faults& faults, std::string_view kind);

struct Reply {
    int status = 200;
    std::string contentType;
    std::string body;
};

// The reply for the answer the request deserves, after the faults (except the
// delay, which the server waits out first). A fault status wins over every
// other fault, then malformed; no-result and empty-list reshape the answer,
// and truncated cuts whatever document results in half. Field changes and the
// signature copy apply to files that exist and are ignored for others.
Reply ReplyWithFaults(const Faults& faults, Answer answer);

}  // namespace testbed
