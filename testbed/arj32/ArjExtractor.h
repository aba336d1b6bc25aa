#pragma once
#include <string>

#include "ByteStreams.h"

namespace arj {

// Receives the members of an archive one at a time.
class MemberOutput {
public:
    virtual ~MemberOutput() = default;
    // Starts a member to be stored under name (already free of folders).
    virtual ByteSink& Begin(const std::string& name) = 0;
    // The member arrived whole and its CRC matched.
    virtual void Commit() = 0;
    // The member is damaged: drop whatever was written of it.
    virtual void Abort() = 0;
};

// Reads a whole archive and passes every file member to output without its
// folders; directories and labels are skipped. Returns the number of files.
// Throws ArjError, after aborting the current member, for a damaged archive, a
// CRC mismatch, an unsafe name, or what it refuses to guess at: multi-volume
// and password-protected archives and unknown methods.
int ExtractArchive(ByteSource& archive, MemberOutput& output);

}  // namespace arj
