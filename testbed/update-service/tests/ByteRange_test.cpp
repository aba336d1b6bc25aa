#include "testbed/update-service/ByteRange.h"

#include <gtest/gtest.h>

#include "testbed/update-service/FileValidators.h"

namespace testbed {
namespace {

const FileValidators kFile{"\"1000-17\"", "Tue, 08 Dec 2026 10:00:00 GMT"};

void ExpectPartial(const ByteRange& range, long long first, long long last) {
    EXPECT_EQ(range.kind, ByteRange::Kind::Partial);
    EXPECT_EQ(range.first, first);
    EXPECT_EQ(range.last, last);
}

TEST(byteRange, AnOpenOrClosedRangeInsideTheFileIsPartial) {
    ExpectPartial(RequestedRange("bytes=600-", "", kFile, 1000), 600, 999);
    ExpectPartial(RequestedRange("bytes=0-", "", kFile, 1000), 0, 999);
    ExpectPartial(RequestedRange("bytes=999-", "", kFile, 1000), 999, 999);
    ExpectPartial(RequestedRange("bytes=10-19", "", kFile, 1000), 10, 19);
    ExpectPartial(RequestedRange("bytes=10-5000", "", kFile, 1000), 10, 999);
    EXPECT_EQ(RequestedRange("bytes=1000-", "", kFile, 1000).kind, ByteRange::Kind::Unsatisfiable);
    EXPECT_EQ(RequestedRange("bytes=0-", "", kFile, 0).kind, ByteRange::Kind::Unsatisfiable);
}

TEST(byteRange, IfRangeMustMatchAValidatorExactly) {
    ExpectPartial(RequestedRange("bytes=600-", "\"1000-17\"", kFile, 1000), 600, 999);
    ExpectPartial(RequestedRange("bytes=600-", "Tue, 08 Dec 2026 10:00:00 GMT", kFile, 1000), 600, 999);
    for (const auto* stale : {"\"1000-18\"", "W/\"1000-17\"", "1000-17", "Tue, 08 Dec 2026 10:00:01 GMT"}) {
        EXPECT_EQ(RequestedRange("bytes=600-", stale, kFile, 1000).kind, ByteRange::Kind::Whole) << stale;
    }
}

TEST(byteRange, WhatTheServiceDoesNotServeGetsTheWholeFile) {
    for (const auto* range :
         {"", "bytes=-100", "bytes=5-2", "bytes=1-2,4-5", "items=1-", "bytes=x-", "bytes=1", "bytes= 1-"}) {
        EXPECT_EQ(RequestedRange(range, "", kFile, 1000).kind, ByteRange::Kind::Whole) << range;
    }
}

TEST(fileValidators, TheETagFollowsSizeAndTimeAndTheDateIsAnHttpDate) {
    const auto when =
        std::chrono::system_clock::time_point(std::chrono::seconds(1796724000)) + std::chrono::nanoseconds(5);
    const auto validators = ValidatorsOf(1000, when);
    EXPECT_EQ(validators.lastModified, "Tue, 08 Dec 2026 10:00:00 GMT");
    EXPECT_EQ(validators.etag.front(), '"');
    EXPECT_EQ(validators.etag.back(), '"');
    EXPECT_NE(ValidatorsOf(1000, when + std::chrono::nanoseconds(1)).etag, validators.etag);
    EXPECT_NE(ValidatorsOf(1001, when).etag, validators.etag);
}

}  // namespace
}  // namespace testbed
