#include "common/win32/Variant.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "CountingObject.h"

namespace {

using qv::win::Variant;
using qv::win::test::CountingObject;

TEST(Variant, MakersSetTypeAndValue) {
    EXPECT_EQ(Variant::FromText("提示").Type(), VT_BSTR);
    const Variant number = Variant::FromLong(-2147483647 - 1);
    ASSERT_EQ(number.Type(), VT_I4);
    EXPECT_EQ(number.Get().lVal, -2147483647L - 1);

    EXPECT_EQ(Variant::FromBool(true).Type(), VT_BOOL);
    EXPECT_EQ(Variant::FromBool(true).Get().boolVal, -1);
    EXPECT_EQ(Variant::FromBool(false).Get().boolVal, 0);
    EXPECT_EQ(Variant().Type(), VT_EMPTY);
}

TEST(Variant, ReadsAsText) {
    struct Case {
        const char* name;
        Variant value;
        std::string text;
    };
    Case cases[] = {
        {"text", Variant::FromText("提示"), "提示"},  {"empty text", Variant::FromText(""), ""},
        {"long", Variant::FromLong(-42), "-42"},      {"true", Variant::FromBool(true), "True"},
        {"false", Variant::FromBool(false), "False"}, {"empty", Variant(), ""},
    };
    for (const Case& c : cases) {
        std::string text = "unchanged";
        EXPECT_EQ(c.value.ToText(text), S_OK) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(Variant, NullHasNoText) {
    Variant null;
    null.Address()->vt = VT_NULL;
    std::string text = "unchanged";
    EXPECT_TRUE(FAILED(null.ToText(text)));
    EXPECT_EQ(text, "unchanged");
}

TEST(Variant, HoldsItsOwnReferenceToAnObject) {
    CountingObject object;
    {
        Variant value = Variant::FromDispatch(&object);
        EXPECT_EQ(value.Type(), VT_DISPATCH);
        EXPECT_EQ(object.references, 1u);
        Variant moved(std::move(value));
        EXPECT_EQ(value.Type(), VT_EMPTY);
        EXPECT_EQ(object.references, 1u);
        Variant assigned = Variant::FromDispatch(&object);
        assigned = std::move(moved);  // releases the reference it held
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 0u);
    EXPECT_EQ(Variant::FromDispatch(nullptr).Type(), VT_DISPATCH);
}

TEST(Variant, AddressClearsAndDetachHandsTheValueOver) {
    CountingObject object;
    Variant value = Variant::FromDispatch(&object);
    EXPECT_EQ(value.Address()->vt, VT_EMPTY);
    EXPECT_EQ(object.references, 0u);

    value = Variant::FromDispatch(&object);
    VARIANT raw = value.Detach();
    EXPECT_EQ(value.Type(), VT_EMPTY);
    EXPECT_EQ(object.references, 1u);
    VariantClear(&raw);
    EXPECT_EQ(object.references, 0u);
}

}  // namespace
