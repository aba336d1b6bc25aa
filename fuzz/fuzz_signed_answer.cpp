// Base64, publisher-key lists and signed answers from arbitrary bytes. The
// input is a key-list text, a NUL byte, and a response body. Nothing may
// crash; decoding accepts only the canonical form (so it re-encodes to the
// same text); with keys, no entry is read that lacks its digest or a
// signature the verifier accepted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "launcher/Base64.h"
#include "launcher/FileSignature.h"
#include "launcher/modWeb.h"
#include "launcher/tests/support/FakeSignatureVerifier.h"
#include "launcher/tests/xml/support/PugiXmlDocument.h"

namespace {

void CheckBase64(std::string_view text) {
    const auto bytes = launcher::DecodeBase64(text);
    if (bytes && launcher::EncodeBase64(bytes->data(), bytes->size()) != text) std::abort();
    const auto encoded = launcher::EncodeBase64(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    const auto back = launcher::DecodeBase64(encoded);
    if (!back || std::string(back->begin(), back->end()) != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    const std::string_view keysText = input.substr(0, split);
    const std::string_view body = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    CheckBase64(keysText);

    auto keys = launcher::ParsePublisherKeys(keysText);
    launcher::FakeSignatureVerifier verifier;
    launcher::AnswerSigning signing{keys ? *keys : std::vector<launcher::PublicKeyBytes>{launcher::TestKey(1)},
                                    verifier};
    const auto document = launcher::ParseXmlDocument(body);
    launcher::clsProgramFiles files;
    launcher::ReadProgramFilesAnswer(*document, files, &signing);
    for (const auto& file : files) {
        if (file->cSHA256.size() != 64 || verifier.calls == 0) std::abort();
    }
    return 0;
}
