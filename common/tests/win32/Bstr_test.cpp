#include "common/win32/Bstr.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using qv::win::Bstr;

TEST(Bstr, HoldsUtf8TextAsUtf16) {
    struct Case {
        std::string utf8;
        UINT units;
    };
    const Case cases[] = {
        {"", 0},
        {"请确认", 3},
        {"a\xF0\x9F\x98\x80", 3},
        {std::string("x\0y", 3), 3},
    };
    for (const Case& c : cases) {
        const Bstr text(c.utf8);
        ASSERT_NE(text.Get(), nullptr);
        EXPECT_EQ(text.Length(), c.units) << testing::PrintToString(c.utf8);
        EXPECT_EQ(text.ToUtf8(), c.utf8);
    }
    EXPECT_EQ(Bstr(std::wstring_view(L"\x63D0\x793A")).ToUtf8(), "提示");
}

TEST(Bstr, NullReadsAsEmptyAndCopiesAreSeparate) {
    EXPECT_EQ(Bstr().ToUtf8(), "");
    EXPECT_EQ(Bstr().Copy(), nullptr);

    const Bstr text("错误");
    BSTR copy = text.Copy();
    EXPECT_NE(copy, text.Get());
    EXPECT_EQ(std::wstring(copy, SysStringLen(copy)), L"\x9519\x8BEF");
    SysFreeString(copy);
}

TEST(Bstr, OwnershipMovesAttachesAndDetaches) {
    Bstr first("a");
    const BSTR raw = first.Get();
    Bstr second(std::move(first));
    EXPECT_EQ(first.Get(), nullptr);
    EXPECT_EQ(second.Get(), raw);

    first = std::move(second);
    EXPECT_EQ(first.Get(), raw);

    const BSTR detached = first.Detach();
    EXPECT_EQ(detached, raw);
    EXPECT_EQ(first.Get(), nullptr);
    second.Attach(detached);
    EXPECT_EQ(second.ToUtf8(), "a");
}

TEST(Bstr, AddressEmptiesForAnOutParameter) {
    Bstr text("old");
    BSTR* slot = text.Address();
    EXPECT_EQ(*slot, nullptr);
    *slot = SysAllocString(L"new");
    EXPECT_EQ(text.ToUtf8(), "new");
}

}  // namespace
