// Arbitrary bytes as one message on the update service's pipe: the reader
// never reads outside the message, refuses with a reason, and whatever it
// accepts is written back to exactly the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "updservice/RecordReader.h"
#include "updservice/RecordWriter.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that AddressSanitizer sees any read past the message.
    const std::vector<unsigned char> message(data, data + size);
    const updservice::ReadOutcome read = updservice::ReadRecord(std::span(message.data(), message.size()));
    Require(read.record.has_value() == read.error.empty());
    if (read.record) {
        Require(message.size() <= updservice::kMaxRecordSize);
        Require(updservice::EncodeRecord(*read.record) == message);
    }
    return 0;
}
