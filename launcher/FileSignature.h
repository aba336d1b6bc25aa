#pragma once
// The publisher's signature on one program-file entry of the update service's
// answer. The signed text is fixed, because publishers and services other
// than ours produce it too: the UTF-8 bytes of
//   quorvel-file-v1 LF cFileName LF cVersion LF cFilePath LF cDownLoadPath LF
//   cIfReg LF cIfPrivate LF cSHA256
// each field the element's text with leading and trailing blanks, tabs, CRs
// and LFs removed (empty when the element is absent), no LF at the end. The
// signature is ECDSA P-256 over SHA-256 of that text, r then s, in base64.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "PublisherKeys.h"

namespace launcher {

inline constexpr const char* kFileSigningLabel = "quorvel-file-v1";
inline constexpr const char* kSignatureElement = "cSignature";
inline constexpr std::array<const char*, 7> kSignedFields = {"cFileName", "cVersion",   "cFilePath", "cDownLoadPath",
                                                             "cIfReg",    "cIfPrivate", "cSHA256"};

// The element texts in the order of kSignedFields.
using SignedFieldTexts = std::array<std::string, kSignedFields.size()>;

std::string TrimXmlSpace(std::string_view text);

std::string FileSigningText(const SignedFieldTexts& fields);

Sha256Bytes FileSigningDigest(const SignedFieldTexts& fields);

// What an answer must satisfy when the launcher has publisher keys.
struct AnswerSigning {
    std::vector<PublicKeyBytes> keys;
    ISignatureVerifier& verifier;
};

// A field with a CR or LF inside (after trimming) could be read as two lines.
bool HasLineBreakInside(const SignedFieldTexts& fields);

// True when signatureText is base64 of a signature of the entry under one of
// the keys and no field has a line break inside.
bool IsSignedEntry(const SignedFieldTexts& fields, std::string_view signatureText, const AnswerSigning& signing);

}  // namespace launcher
