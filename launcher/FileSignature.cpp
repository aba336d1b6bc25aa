#include "FileSignature.h"

#include <algorithm>

#include "Sha256.h"

namespace launcher {

std::string TrimXmlSpace(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(kSpace) - first + 1));
}

std::string FileSigningText(const SignedFieldTexts& fields) {
    std::string text = kFileSigningLabel;
    for (const auto& field : fields) text += "\n" + TrimXmlSpace(field);
    return text;
}

Sha256Bytes FileSigningDigest(const SignedFieldTexts& fields) {
    const std::string text = FileSigningText(fields);
    Sha256 hash;
    hash.Update(text.data(), text.size());
    return hash.Digest();
}

bool HasLineBreakInside(const SignedFieldTexts& fields) {
    return std::any_of(fields.begin(), fields.end(), [](const std::string& field) {
        return TrimXmlSpace(field).find_first_of("\r\n") != std::string::npos;
    });
}

bool IsSignedEntry(const SignedFieldTexts& fields, std::string_view signatureText, const AnswerSigning& signing) {
    const auto signature = DecodeBase64Of64(TrimXmlSpace(signatureText));
    if (!signature || HasLineBreakInside(fields)) return false;
    const Sha256Bytes digest = FileSigningDigest(fields);
    for (const auto& key : signing.keys) {
        if (signing.verifier.Verify(key, digest, *signature)) return true;
    }
    return false;
}

}  // namespace launcher
