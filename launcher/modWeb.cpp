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
// digest and carries a signature over its fields by one of the keys.
bool IsTrustedEntry(const IXmlNode& file, const AnswerSigning& signing) {
    SignedFieldTexts fields;
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = ChildText(file, kSignedFields[i], "");
    const auto signature = ChildText(file, kSignatureElement);
    return ChildText(file, "cSHA256") && signature && IsSignedEntry(fields, *signature, signing);
}

std::shared_ptr<clsProgramFile> ReadFileEntry(const IXmlNode& file, const AnswerSigning* signing) {
    if (signing && !IsTrustedEntry(file, *signing)) return nullptr;
    // A signed entry is used exactly as it was signed: blanks around a text,
    // which the signature does not cover, cannot change what it means.
    const auto field = [&](const char* name, const std::string& strDefault) {
        const std::string text = ChildText(file, name, strDefault);
        return signing ? TrimXmlSpace(text) : text;
    };
    auto entry = std::make_shared<clsProgramFile>();
    entry->cFileName = field("cFileName", "");
    if (!IsSafeFileName(entry->cFileName)) return nullptr;
    const auto number = qv::ParseNumber(field("cVersion", "0"));
    const auto version = number ? qv::ToInt32(*number) : std::nullopt;
    if (!version) return nullptr;
    entry->cVersion = *version;
    entry->cFilePath = field("cFilePath", "");
    entry->cDownLoadPath = field("cDownLoadPath", "");
    entry->cIfReg = field("cIfReg", "") == "1";
    entry->cIfPrivate = field("cIfPrivate", "") == "1";
    // Optional without publisher keys: services that send no digest are not checked.
    if (const auto digest = ChildText(file, "cSHA256")) {
        entry->cSHA256 = NormalisedSha256Text(signing ? TrimXmlSpace(*digest) : *digest);
        if (entry->cSHA256.empty()) return nullptr;
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

bool ReadProgramFilesAnswer(const IXmlDocument& document, clsProgramFiles& result, const AnswerSigning* signing) {
    const auto resultNode = document.SelectSingleNode("/quorvel/result");
    if (!resultNode) return false;

    const auto errorCodeText = ChildText(*resultNode, "errorCode");
    const auto errorNumber = errorCodeText ? qv::ParseNumber(*errorCodeText) : std::nullopt;
    const auto errorCode = errorNumber ? qv::ToInt16(*errorNumber) : std::nullopt;
    if (!errorCode) return false;
    result.ErrorCode = *errorCode;

    const auto errorMessage = ChildText(*resultNode, "errorMessage");
    if (!errorMessage) return false;
    result.ErrorMessage = *errorMessage;

    for (const auto& file : document.SelectNodes("/quorvel/ProgramFilesList/File")) {
        auto entry = ReadFileEntry(*file, signing);
        if (!entry) return false;
        result.Add(std::move(entry));
    }
    return true;
}

bool GetProgramFiles(UpdateService& service, const std::string& strCustomerCode,
                     std::shared_ptr<clsProgramFiles>& oProgramFiles, const std::string& db) {
    const auto query = GetSignedQuery(strCustomerCode, db, service.signingSalt, service.random);
    if (!query) return false;
    std::unique_ptr<IXmlDocument> document;
    if (!service.http.HttpGetXml(service.baseUrl + "/api/GetProgramFiles.ashx" + *query, document)) return false;

    oProgramFiles = std::make_shared<clsProgramFiles>();
    return document && ReadProgramFilesAnswer(*document, *oProgramFiles, service.signing);
}

}  // namespace launcher
