#include "Signature.h"

#include <algorithm>
#include <string>

#include "common/TextCase.h"
#include "launcher/modMD5.h"

namespace testbed {
namespace {

bool IsDecimal(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SignatureMatches(std::string_view salt, std::string_view cid, std::string_view rnd, std::string_view db,
                      std::string_view sign) {
    if (!IsDecimal(rnd)) return false;
    std::string signedText(salt);
    signedText += qv::AsciiLower(cid);
    signedText += rnd;
    signedText += qv::AsciiLower(db);
    const auto expected = launcher::MD5Hex(signedText);
    return expected && *expected == sign;
}

}  // namespace

Verdict CheckRequest(const QueryParams& query, std::string_view customer, std::string_view salt) {
    const auto cid = FindParam(query, "cid").value_or("");
    const auto rnd = FindParam(query, "rnd");
    const auto sign = FindParam(query, "sign");
    if (!rnd || !sign || !SignatureMatches(salt, cid, *rnd, FindParam(query, "db").value_or(""), *sign)) {
        return Verdict::BadSignature;
    }
    return qv::EqualsNoCase(cid, customer) ? Verdict::Accepted : Verdict::UnknownCustomer;
}

}  // namespace testbed
