#pragma once
// Whether a program-file request comes from the catalogue's customer and
// carries the signature that the launcher computes with the shared salt.
#include <string_view>

#include "RawQuery.h"

namespace testbed {

enum class Verdict { Accepted, UnknownCustomer, BadSignature };

// The signature is checked first, as the salt is the same for every customer:
// rnd must be decimal digits and sign == MD5Hex(salt + lower(cid) + rnd +
// lower(db)), a missing cid or db counting as empty. A customer code that holds
// "&" arrives cut short and so fails here. Then cid must name the catalogue's
// customer, ignoring ASCII case.
Verdict CheckRequest(const QueryParams& query, std::string_view customer, std::string_view salt);

}  // namespace testbed
