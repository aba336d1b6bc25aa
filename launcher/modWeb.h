#pragma once
// The signed request to the update service and the reading of its XML answer
// into a clsProgramFiles.
#include <memory>
#include <optional>
#include <string>

#include "FileSignature.h"
#include "Platform.h"
#include "RunLog.h"
#include "clsProgramFiles.h"

namespace launcher {

struct UpdateService {
    IHttpClient& http;
    IRandom& random;
    std::string baseUrl;      // scheme and host, e.g. "http://host"
    std::string signingSalt;  // shared with the service
    // The publisher's keys; none: entries are taken unsigned, as always.
    const AnswerSigning* signing = nullptr;
    IRunLog* log = nullptr;
};

enum class RequestOutcome {
    Answered,       // the answer was read (whatever its error code)
    NoAnswer,       // no request could be sent, or no document came back
    AnswerRefused,  // a document that cannot be read, or not signed as the keys require
};

// "?cid=...&rnd=...&db=...&sign=..." with a freshly drawn rnd; the customer
// code and db are sent as given, unescaped. nullopt when the signed text is
// not ASCII and so cannot be signed.
std::optional<std::string> GetSignedQuery(const std::string& strCustomerCode, const std::string& db,
                                          const std::string& signingSalt, IRandom& random);

// The node's text, unchanged, or the default when there is no node.
std::string GetNodeText(const IXmlNode* node, const std::string& strDefault);

// Fills `result` from the answer document. False when the result element or
// one of its two children is missing, a number does not convert, or a file
// name could lead out of its folder, or, with `signing`, an entry lacks its
// digest or a valid signature; what was read up to then stays in `result`.
// True says nothing about ErrorCode. The reason for a false goes to the log.
bool ReadProgramFilesAnswer(const IXmlDocument& document, clsProgramFiles& result,
                            const AnswerSigning* signing = nullptr, IRunLog* log = nullptr);

// The whole exchange. When the HTTP exchange fails, oProgramFiles is left as
// it was; after that it holds the new object, even if reading the answer fails.
RequestOutcome RequestProgramFileList(UpdateService& service, const std::string& strCustomerCode,
                                      std::shared_ptr<clsProgramFiles>& oProgramFiles, const std::string& db);

// RequestProgramFileList answered.
bool GetProgramFiles(UpdateService& service, const std::string& strCustomerCode,
                     std::shared_ptr<clsProgramFiles>& oProgramFiles, const std::string& db);

}  // namespace launcher
