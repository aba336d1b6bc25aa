#include "testbed/update-service/Signature.h"

#include <gtest/gtest.h>

#include <string>

namespace testbed {
namespace {

constexpr const char* kSalt = "qvsalt.test.ab";

// Digests worked out independently (md5sum) from the salt, the customer code in
// small letters, rnd and the database name in small letters.
TEST(updateSignature, ChecksSignatureThenCustomer) {
    struct Case {
        std::string customer;
        std::string query;
        Verdict verdict;
    };
    const Case cases[] = {
        {"School01", "cid=School01&rnd=4821337&db=&sign=0075b38a230bea6f1457ac584172f364", Verdict::Accepted},
        {"school01", "cid=SCHOOL01&rnd=4821337&db=&sign=0075b38a230bea6f1457ac584172f364", Verdict::Accepted},
        {"School01", "cid=School01&rnd=4821337&db=MAIN&sign=ab91361f5a85fba2a8609c6fa20a86d5", Verdict::Accepted},
        {"School01", "cid=School01&rnd=4821337&sign=0075b38a230bea6f1457ac584172f364", Verdict::Accepted},
        // The signature of another rnd, an upper-case digest, a db left out of the signed text.
        {"School01", "cid=School01&rnd=4821337&db=&sign=c2e79ffce9af70feffbde67ad742beb3", Verdict::BadSignature},
        {"School01", "cid=School01&rnd=4821337&db=&sign=0075B38A230BEA6F1457AC584172F364", Verdict::BadSignature},
        {"School01", "cid=School01&rnd=4821337&db=main&sign=0075b38a230bea6f1457ac584172f364", Verdict::BadSignature},
        {"School01", "cid=School01&rnd=4821337&db=", Verdict::BadSignature},
        {"School01", "cid=School01&db=&sign=0075b38a230bea6f1457ac584172f364", Verdict::BadSignature},
        // rnd must be decimal even when the digest covers it.
        {"School01", "cid=School01&rnd=48a&db=&sign=2465bff2f34e5d4fdec5740acf2a2a83", Verdict::BadSignature},
        {"School01", "cid=学校&rnd=4821337&db=&sign=0075b38a230bea6f1457ac584172f364", Verdict::BadSignature},
        // Properly signed, but not this catalogue's customer.
        {"School01", "cid=Other01&rnd=4821337&db=&sign=98de6be162d44380de3ff7b5996f90bb", Verdict::UnknownCustomer},
        {"School01", "rnd=4821337&db=&sign=572c60e9688d6507c7d8a73a711982ac", Verdict::UnknownCustomer},
        // A code holding "&" reaches the service cut short, so the launcher's signature no longer fits.
        {"A&B", "cid=A&B&rnd=4821337&db=&sign=393eba44def6df4400fb6acdb42db4e4", Verdict::BadSignature},
        {"A&B", "cid=A&B&rnd=4821337&db=&sign=3f678a5e46c20ab4306602da9cf95b1e", Verdict::UnknownCustomer},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckRequest(ParseRawQuery(c.query), c.customer, kSalt), c.verdict) << c.customer << " " << c.query;
    }
}

}  // namespace
}  // namespace testbed
