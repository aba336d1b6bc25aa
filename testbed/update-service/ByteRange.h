#pragma once
// Which part of a download a request asks for: its Range and If-Range
// headers against the file's size and validators.
#include <string_view>

namespace testbed {

struct FileValidators {
    std::string_view etag;  // strong, quoted
    std::string_view lastModified;
};

struct ByteRange {
    enum class Kind { Whole, Partial, Unsatisfiable } kind = Kind::Whole;
    long long first = 0;
    long long last = 0;  // inclusive
};

// One range "bytes=N-" or "bytes=N-M" (M beyond the end is cut to it) gives
// Partial when N is inside the file and an If-Range, if any, equals the ETag
// or the Last-Modified exactly; N at or past the end gives Unsatisfiable;
// anything else (no header, a suffix or several ranges, a syntax the service
// does not know, a stale If-Range) gives Whole.
ByteRange RequestedRange(std::string_view range, std::string_view ifRange, const FileValidators& file, long long size);

}  // namespace testbed
