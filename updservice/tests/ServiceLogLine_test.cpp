#include "updservice/ServiceLogLine.h"

#include <gtest/gtest.h>

namespace updservice {
namespace {

TEST(ServiceLogLine, OneLinePerRequestWhateverTheReasonHolds) {
    EXPECT_EQ(ServiceLogLine(1234, {ResultCode::Refused, "缺少\r\nPublisherKeys\tx"}),
              "client 1234\tRefused\t缺少  PublisherKeys x");
    EXPECT_EQ(ServiceLogLine(0, {ResultCode::NotAvailable, ""}), "client 0\tNotAvailable\t");
    EXPECT_EQ(ServiceLogLine(7, {static_cast<ResultCode>(99), "?"}), "client 7\tUnknown\t?");
}

}  // namespace
}  // namespace updservice
