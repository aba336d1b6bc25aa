#include "common/win32/SafeArray.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "CountingObject.h"

namespace {

using qv::win::SafeArray;
using qv::win::Variant;
using qv::win::test::CountingObject;

TEST(SafeArray, CreatesAOneDimensionalVariantArray) {
    const SafeArray array = SafeArray::CreateVariants(3, 1);
    ASSERT_NE(array.Get(), nullptr);
    EXPECT_EQ(SafeArrayGetDim(array.Get()), 1u);
    EXPECT_EQ(array.LowerBound(), 1);
    EXPECT_EQ(array.UpperBound(), 3);
    EXPECT_EQ(array.Count(), 3u);

    const SafeArray empty = SafeArray::CreateVariants(0);
    EXPECT_EQ(empty.Count(), 0u);
    EXPECT_EQ(SafeArray().Count(), 0u);
}

TEST(SafeArray, ElementsAreCopiedInAndOut) {
    SafeArray array = SafeArray::CreateVariants(2, 1);
    ASSERT_EQ(array.PutElement(1, Variant::FromText("192.168.1.201")), S_OK);
    ASSERT_EQ(array.PutElement(2, Variant::FromLong(4370)), S_OK);

    Variant value = Variant::FromLong(0);
    std::string text;
    ASSERT_EQ(array.GetElement(1, value), S_OK);
    ASSERT_EQ(value.ToText(text), S_OK);
    EXPECT_EQ(text, "192.168.1.201");
    ASSERT_EQ(array.GetElement(2, value), S_OK);
    EXPECT_EQ(value.Type(), VT_I4);
    EXPECT_EQ(value.Get().lVal, 4370);
}

TEST(SafeArray, RefusesIndexesOutsideTheBoundsAndOtherKindsOfArray) {
    SafeArray array = SafeArray::CreateVariants(2, 1);
    Variant value;
    EXPECT_EQ(array.GetElement(0, value), DISP_E_BADINDEX);
    EXPECT_EQ(array.GetElement(3, value), DISP_E_BADINDEX);
    EXPECT_EQ(array.PutElement(3, Variant::FromLong(1)), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArray().GetElement(0, value), DISP_E_BADINDEX);

    SafeArray numbers;
    numbers.Attach(SafeArrayCreateVector(VT_I4, 0, 2));
    EXPECT_EQ(numbers.GetElement(0, value), DISP_E_TYPEMISMATCH);

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    SafeArray table;
    table.Attach(SafeArrayCreate(VT_VARIANT, 2, bounds));
    EXPECT_EQ(table.GetElement(0, value), E_INVALIDARG);
}

TEST(SafeArray, ElementsHoldReferencesUntilTheArrayIsDestroyed) {
    CountingObject object;
    {
        SafeArray array = SafeArray::CreateVariants(2);
        ASSERT_EQ(array.PutElement(0, Variant::FromDispatch(&object)), S_OK);
        EXPECT_EQ(object.references, 1u);
        {
            Variant copy;
            ASSERT_EQ(array.GetElement(0, copy), S_OK);
            EXPECT_EQ(object.references, 2u);
        }
        ASSERT_EQ(array.PutElement(1, Variant::FromDispatch(&object)), S_OK);
        ASSERT_EQ(array.PutElement(1, Variant::FromLong(0)), S_OK);  // replacing releases
        EXPECT_EQ(object.references, 1u);

        SafeArray moved(std::move(array));
        EXPECT_EQ(array.Get(), nullptr);
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 0u);
}

TEST(SafeArray, AttachDestroysWhatWasHeldAndDetachHandsOver) {
    CountingObject object;
    SafeArray array = SafeArray::CreateVariants(1);
    ASSERT_EQ(array.PutElement(0, Variant::FromDispatch(&object)), S_OK);
    SAFEARRAY* raw = array.Detach();
    EXPECT_EQ(array.Get(), nullptr);
    EXPECT_EQ(object.references, 1u);

    array.Attach(raw);
    array.Attach(SafeArrayCreateVector(VT_VARIANT, 0, 1));
    EXPECT_EQ(object.references, 0u);
}

}  // namespace
