#include "modWeb.h"

#include <cstdint>
#include <utility>

#include "FileSignature.h"
#include "Sha256.h"
#include "common/NumberText.h"
#include "common/TextCase.h"
#include "modMD5.h"

namespace launcher {
namespace {

// The random part of the request: r * 10^7 in double precision (as the
// classic runtime promotes the single r), rounded half to even; 0..9999999.
std::string DrawRnd(IRandom& random) {
    const double scaled = static_cast<double>(random.NextSingle()) * 10000000.0;
    return std::to_string(static_cast<std::int64_t>(qv::RoundHalfEven(scaled)));
}

std::optional<std::string> ChildText(const IXmlNode& parent, const std::string& name) {
    const auto child = parent.SelectSingleNode(name);
    if (!child) return std::nullopt;
    return child->Text();
}

std::string ChildText(const IXmlNode& parent, const std::string& name, const std::string& strDefault) {
    return GetNodeText(parent.SelectSingleNode(name).get(), strDefault);
}

// The file name is joined to a local folder and the file there is deleted,
// unpacked into and registered: a name with a separator, a drive colon or a
// dot segment would let the service reach files outside that folder.
bool IsSafeFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string::npos;
}

// With publisher keys, an entry counts only when it names its archive's
// digest and carries a signature over its fields by one of the keys. The
// text says what is wrong, empty when nothing is.
std::string UntrustedReason(const IXmlNode& file, const AnswerSigning& signing) {
    SignedFieldTexts fields;
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = ChildText(file, kSignedFields[i], "");
    const auto signature = ChildText(file, kSignatureElement);
    if (!ChildText(file, "cSHA256")) return "digest: no cSHA256, which signed updates require";
    if (!signature) return "signature: no cSignature";
    if (HasLineBreakInside(fields)) return "signature: a signed field holds a line break";
    if (!IsSignedEntry(fields, *signature, signing)) {
        return "signature: valid under none of the " + std::to_string(signing.keys.size()) + " publisher keys";
    }
    return "";
}

// nullptr, with the reason in `refusal`, for an entry the launcher must not act on.
std::shared_ptr<clsProgramFile> ReadFileEntry(const IXmlNode& file, const AnswerSigning* signing,
                                              std::string& refusal) {
    if (signing && !(refusal = UntrustedReason(file, *signing)).empty()) return nullptr;
    // A signed entry is used exactly as it was signed: blanks around a text,
    // which the signature does not cover, cannot change what it means.
    const auto field = [&](const char* name, const std::string& strDefault) {
        const std::string text = ChildText(file, name, strDefault);
        return signing ? TrimXmlSpace(text) : text;
    };
    auto entry = std::make_shared<clsProgramFile>();
    entry->cFileName = field("cFileName", "");
    if (!IsSafeFileName(entry->cFileName)) {
        refusal = "name: empty, a dot segment, or holds \\, / or : and so could lead out of its folder";
        return nullptr;
    }
    const auto number = qv::ParseNumber(field("cVersion", "0"));
    const auto version = number ? qv::ToInt32(*number) : std::nullopt;
    if (!version) {
        refusal = "version: cVersion is not a 32-bit number";
        return nullptr;
    }
    entry->cVersion = *version;
    entry->cFilePath = field("cFilePath", "");
    entry->cDownLoadPath = field("cDownLoadPath", "");
    entry->cIfReg = field("cIfReg", "") == "1";
    entry->cIfPrivate = field("cIfPrivate", "") == "1";
    // Optional without publisher keys: services that send no digest are not checked.
    if (const auto digest = ChildText(file, "cSHA256")) {
        entry->cSHA256 = NormalisedSha256Text(signing ? TrimXmlSpace(*digest) : *digest);
        if (entry->cSHA256.empty()) {
            refusal = "digest: cSHA256 is not 64 hexadecimal digits";
            return nullptr;
        }
    }
    return entry;
}

}  // namespace

std::optional<std::string> GetSignedQuery(const std::string& strCustomerCode, const std::string& db,
                                          const std::string& signingSalt, IRandom& random) {
    const std::string rnd = DrawRnd(random);
    const auto sign = MD5Hex(signingSalt + qv::AsciiLower(strCustomerCode) + rnd + qv::AsciiLower(db));
    if (!sign) return std::nullopt;
    return "?cid=" + strCustomerCode + "&rnd=" + rnd + "&db=" + db + "&sign=" + *sign;
}

std::string GetNodeText(const IXmlNode* node, const std::string& strDefault) {
    return node ? node->Text() : strDefault;
}

bool ReadProgramFilesAnswer(const IXmlDocument& document, clsProgramFiles& result, const AnswerSigning* signing,
                            IRunLog* log) {
    const auto resultNode = document.SelectSingleNode("/quorvel/result");
    if (!resultNode) {
        LogEvent(log, "answer refused: no /quorvel/result element (not an answer of the update service)");
        return false;
    }

    const auto errorCodeText = ChildText(*resultNode, "errorCode");
    const auto errorNumber = errorCodeText ? qv::ParseNumber(*errorCodeText) : std::nullopt;
    const auto errorCode = errorNumber ? qv::ToInt16(*errorNumber) : std::nullopt;
    if (!errorCode) {
        LogEvent(log, "answer refused: errorCode missing or not a 16-bit number");
        return false;
    }
    result.ErrorCode = *errorCode;

    const auto errorMessage = ChildText(*resultNode, "errorMessage");
    if (!errorMessage) {
        LogEvent(log, "answer refused: no errorMessage");
        return false;
    }
    result.ErrorMessage = *errorMessage;

    const auto files = document.SelectNodes("/quorvel/ProgramFilesList/File");
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string refusal;
        auto entry = ReadFileEntry(*files[i], signing, refusal);
        if (!entry) {
            LogEvent(log, "answer refused at entry " + std::to_string(i + 1) + " \"" +
                              ChildText(*files[i], "cFileName", "") + "\": " + refusal);
            return false;
        }
        result.Add(std::move(entry));
    }
    LogEvent(log,
             "answer read: errorCode " + std::to_string(result.ErrorCode) + ", errorMessage \"" + result.ErrorMessage +
                 "\", " + std::to_string(files.size()) + " entries, " +
                 (signing ? "every entry signed by a publisher key" : "signatures not checked (no PublisherKeys)"));
    return true;
}

RequestOutcome RequestProgramFileList(UpdateService& service, const std::string& strCustomerCode,
                                      std::shared_ptr<clsProgramFiles>& oProgramFiles, const std::string& db) {
    const auto query = GetSignedQuery(strCustomerCode, db, service.signingSalt, service.random);
    if (!query) {
        LogEvent(service.log, "request not sent: the customer code or database name is not ASCII and cannot be signed");
        return RequestOutcome::NoAnswer;
    }
    const std::string url = service.baseUrl + "/api/GetProgramFiles.ashx" + *query;
    LogEvent(service.log, "request GET " + WithoutSignature(url));
    std::unique_ptr<IXmlDocument> document;
    if (!service.http.HttpGetXml(url, document)) {
        LogEvent(service.log, "request failed: no answer document");
        return RequestOutcome::NoAnswer;
    }

    oProgramFiles = std::make_shared<clsProgramFiles>();
    if (document && ReadProgramFilesAnswer(*document, *oProgramFiles, service.signing, service.log)) {
        return RequestOutcome::Answered;
    }
    return RequestOutcome::AnswerRefused;
}

bool GetProgramFiles(UpdateService& service, const std::string& strCustomerCode,
                     std::shared_ptr<clsProgramFiles>& oProgramFiles, const std::string& db) {
    return RequestProgramFileList(service, strCustomerCode, oProgramFiles, db) == RequestOutcome::Answered;
}

}  // namespace launcher
