#include "testbed/update-service/DownloadFaults.h"

#include <gtest/gtest.h>

namespace testbed {
namespace {

TEST(downloadFaults, AFileNamedAfterTheAtGetsOnlyItsOwnFaults) {
    DownloadFaultSet faults;
    for (const auto* kind : {"download-rate:1000", "download-cut:500@b.dll.comps", "download-status:500@c.dat.comps",
                             "download-ignore-range@b.dll.comps", "download-hold:7@c.dat.comps"}) {
        EXPECT_TRUE(AddDownloadFault(faults, kind)) << kind;
    }
    EXPECT_EQ(faults.For("a.exe.comps").rate, 1000);
    EXPECT_FALSE(faults.For("a.exe.comps").cut);

    const auto& b = faults.For("b.dll.comps");
    EXPECT_EQ(b.cut, 500);
    EXPECT_TRUE(b.ignoreRange);
    EXPECT_FALSE(b.rate) << "the faults for every file do not reach a named one";

    const auto& c = faults.For("c.dat.comps");
    EXPECT_EQ(c.status, 500);
    EXPECT_EQ(c.hold, 7);
    EXPECT_FALSE(c.ignoreRange);
    EXPECT_TRUE(faults.Holds());
    EXPECT_FALSE(faults.For("C.DAT.COMPS").status) << "names are compared exactly";
}

TEST(downloadFaults, BadKindsAreRefusedAndLeaveNoTrace) {
    DownloadFaultSet faults;
    for (const auto* kind : {"download-cut:-1@a", "download-cut:5@", "download-cut:5@sub/a", "download-hold:x@a",
                             "download-ignore-range:1", "download-hold", "download-bogus@a", "download-rate:0@a"}) {
        EXPECT_FALSE(AddDownloadFault(faults, kind)) << kind;
    }
    EXPECT_TRUE(faults.byFile.empty());
    EXPECT_FALSE(faults.Holds());
    EXPECT_TRUE(AddDownloadFault(faults, "download-hold:0"));
    EXPECT_TRUE(faults.Holds());
}

}  // namespace
}  // namespace testbed
