// The ARJ extractor on untrusted bytes: whole archives (header CRCs guard the
// data, so a second mode feeds raw packed data straight to the decoder).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "testbed/arj32/ArjDecoder.h"
#include "testbed/arj32/ArjError.h"
#include "testbed/arj32/ArjExtractor.h"
#include "testbed/arj32/ByteStreams.h"

namespace {

class CountingSink : public arj::ByteSink {
public:
    void Write(const std::uint8_t*, std::size_t size) override { total += size; }
    std::size_t total = 0;
};

class DiscardingOutput : public arj::MemberOutput {
public:
    arj::ByteSink& Begin(const std::string& name) override {
        if (name.empty() || name.find_first_of("/\\") != std::string::npos) std::abort();
        return sink;
    }
    void Commit() override {}
    void Abort() override {}
    CountingSink sink;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        if (size >= 5 && data[0] == 'R') {
            // 'R', method selector, 3-byte original size (capped), packed data.
            const int method = 1 + data[1] % 4;
            const std::uint32_t original = (data[2] | data[3] << 8 | data[4] << 16) & 0x3FFFF;
            arj::MemorySource packed(data + 5, size - 5);
            CountingSink sink;
            arj::DecodeMember(method, packed, original, sink);
            if (sink.total != original) std::abort();
        } else {
            arj::MemorySource archive(data, size);
            DiscardingOutput output;
            arj::ExtractArchive(archive, output);
        }
    } catch (const arj::ArjError&) {}
    return 0;
}
