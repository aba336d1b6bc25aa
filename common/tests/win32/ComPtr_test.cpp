#include "common/win32/ComPtr.h"

#include <gtest/gtest.h>

#include <utility>

#include "CountingObject.h"

namespace {

using qv::win::ComPtr;
using qv::win::test::CountingObject;

TEST(ComPtr, CopiesAddAndResetsReleaseReferences) {
    CountingObject object;
    {
        ComPtr<IDispatch> first(&object);
        EXPECT_EQ(object.references, 1u);
        ComPtr<IDispatch> second = first;
        EXPECT_EQ(object.references, 2u);
        second.Reset();
        EXPECT_EQ(object.references, 1u);
        EXPECT_FALSE(second);
        second = first;
        second = first;  // assigning the same object again keeps one reference for it
        EXPECT_EQ(object.references, 2u);
    }
    EXPECT_EQ(object.references, 0u);
}

TEST(ComPtr, MovesPassTheReferenceOn) {
    CountingObject object;
    CountingObject other;
    ComPtr<IDispatch> first(&object);
    ComPtr<IDispatch> second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), &object);
    EXPECT_EQ(object.references, 1u);

    ComPtr<IDispatch> third(&other);
    third = std::move(second);
    EXPECT_EQ(other.references, 0u);
    EXPECT_EQ(object.references, 1u);
    EXPECT_EQ(third.Get(), &object);
}

TEST(ComPtr, AddressReleasesFirstForOutParameters) {
    CountingObject object;
    CountingObject other;
    ComPtr<IUnknown> pointer(static_cast<IUnknown*>(&object));
    ASSERT_EQ(other.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(pointer.Address())), S_OK);
    EXPECT_EQ(object.references, 0u);
    EXPECT_EQ(other.references, 1u);
}

TEST(ComPtr, AttachTakesAndDetachHandsOverAReference) {
    CountingObject object;
    object.AddRef();
    {
        ComPtr<IDispatch> pointer;
        pointer.Attach(&object);
        EXPECT_EQ(object.references, 1u);
        IDispatch* raw = pointer.Detach();
        EXPECT_EQ(raw, &object);
        EXPECT_FALSE(pointer);
        pointer.Attach(raw);
    }
    EXPECT_EQ(object.references, 0u);
}

TEST(ComPtr, AsQueriesForAnotherInterface) {
    CountingObject object;
    ComPtr<IDispatch> dispatch(&object);
    {
        ComPtr<IUnknown> unknown = dispatch.As<IUnknown>();
        EXPECT_TRUE(unknown);
        EXPECT_EQ(object.references, 2u);
        ComPtr<IStream> stream = dispatch.As<IStream>();
        EXPECT_FALSE(stream);
        EXPECT_EQ(object.references, 2u);
    }
    EXPECT_EQ(object.references, 1u);
    EXPECT_FALSE(ComPtr<IDispatch>().As<IUnknown>());
}

}  // namespace
