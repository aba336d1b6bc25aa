#include "common/win32/com/MemoryPropertyBag.h"

#include <gtest/gtest.h>

#include "testbed/control-host/AmbientProperties.h"
#include "testbed/control-host/BagFile.h"
#include "common/win32/Bstr.h"

namespace control_host {
namespace {

using qv::win::ComPtr;
using qv::win::Variant;

class BagTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override {
        bag_.Reset();
        CoUninitialize();
    }

    void Write(const wchar_t* name, Variant value) {
        VARIANT raw = value.Detach();
        ASSERT_HRESULT_SUCCEEDED(bag_->Write(name, &raw));
        VariantClear(&raw);
    }
    // Reads as a control does: the VARIANT carries only the type asked for.
    HRESULT Read(const wchar_t* name, VARTYPE wanted, Variant& out) {
        VARIANT raw;
        VariantInit(&raw);
        raw.vt = wanted;
        const HRESULT hr = bag_->Read(name, &raw, nullptr);
        *out.Address() = SUCCEEDED(hr) ? raw : VARIANT{};
        return hr;
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const BagEntry& entry : bag_->Entries()) names.push_back(entry.name);
        return names;
    }
    static ComPtr<IFontDisp> Font(const wchar_t* face, double points) {
        ComPtr<IFontDisp> font;
        EXPECT_HRESULT_SUCCEEDED(CreateFontObject(face, points, 134, font.Address()));
        return font;
    }
    static std::pair<std::string, double> FontFacts(IUnknown* object) {
        ComPtr<IFont> font;
        object->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Address()));
        if (!font) return {"", 0};
        qv::win::Bstr name;
        CY size{};
        font->get_Name(name.Address());
        font->get_Size(&size);
        return {name.ToUtf8(), static_cast<double>(size.int64) / 10000.0};
    }

    ComPtr<MemoryPropertyBag> bag_ = qv::win::com::MakeObject<MemoryPropertyBag>();
};

TEST_F(BagTest, KeepsFirstWriteOrderAndReplacesInPlace) {
    Write(L"BackColor", Variant::FromLong(5));
    Write(L"Enabled", Variant::FromBool(false));
    Write(L"Text", Variant::FromText("a"));
    Write(L"backcolor", Variant::FromLong(6));  // names compare without letter case
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"BackColor", L"Enabled", L"Text"}));
    Variant value;
    ASSERT_HRESULT_SUCCEEDED(Read(L"BACKCOLOR", VT_I4, value));
    EXPECT_EQ(value.Get().lVal, 6);
}

TEST_F(BagTest, MissingNameIsInvalidArgumentAndLeavesTheVariant) {
    Write(L"Text", Variant::FromText("x"));
    VARIANT raw;
    VariantInit(&raw);
    raw.vt = VT_I2;
    raw.iVal = 13;
    EXPECT_EQ(bag_->Read(L"Alignment", &raw, nullptr), E_INVALIDARG);
    EXPECT_EQ(raw.vt, VT_I2);
    EXPECT_EQ(raw.iVal, 13);
}

TEST_F(BagTest, ConvertsToTheTypeAskedFor) {
    Write(L"Number", Variant::FromText("12"));
    Write(L"Flag", Variant::FromBool(true));
    Write(L"Colour", Variant::FromLong(static_cast<long>(0x80000005UL)));
    const struct {
        const wchar_t* name;
        VARTYPE wanted;
        VARTYPE got;
        double number;
    } cases[] = {
        {L"Number", VT_I2, VT_I2, 12},
        {L"Number", VT_R4, VT_R4, 12},
        {L"Number", VT_EMPTY, VT_BSTR, 12},
        {L"Flag", VT_I4, VT_I4, -1},
        {L"Flag", VT_EMPTY, VT_BOOL, -1},
        {L"Colour", VT_UI4, VT_UI4, 2147483653.0},  // the bits of a system colour survive the sign change
        {L"Colour", VT_I4, VT_I4, -2147483643.0},
    };
    for (const auto& c : cases) {
        Variant value;
        ASSERT_HRESULT_SUCCEEDED(Read(c.name, c.wanted, value)) << c.wanted;
        EXPECT_EQ(value.Type(), c.got);
        Variant real;
        ASSERT_HRESULT_SUCCEEDED(VariantChangeType(real.Address(), const_cast<VARIANT*>(&value.Get()), 0, VT_R8));
        EXPECT_DOUBLE_EQ(real.Get().dblVal, c.number);
    }
    Variant value;
    EXPECT_EQ(Read(L"Flag", VT_DISPATCH, value), DISP_E_TYPEMISMATCH);
    Write(L"Word", Variant::FromText("abc"));
    EXPECT_EQ(Read(L"Word", VT_I4, value), DISP_E_TYPEMISMATCH);
}

TEST_F(BagTest, ObjectsComeBackAsFreshCopies) {
    ComPtr<IFontDisp> font = Font(L"宋体", 12);
    Write(L"Font", Variant::FromDispatch(font.Get()));
    ASSERT_EQ(bag_->Entries().size(), 1u);
    EXPECT_TRUE(bag_->Entries()[0].isObject);
    // Wine reports the face it substituted once a font has been realized (as
    // saving does), Windows the face it was given: compare with the original.
    const auto expected = FontFacts(font.Get());
    EXPECT_EQ(expected.second, 12);
    for (VARTYPE wanted : {VT_EMPTY, VT_UNKNOWN, VT_DISPATCH}) {
        Variant value;
        ASSERT_HRESULT_SUCCEEDED(Read(L"Font", wanted, value)) << wanted;
        ASSERT_TRUE(value.Type() == VT_UNKNOWN || value.Type() == VT_DISPATCH);
        EXPECT_NE(value.Get().punkVal, static_cast<IUnknown*>(font.Get()));
        EXPECT_EQ(FontFacts(value.Get().punkVal), expected);
    }
    Variant value;
    EXPECT_EQ(Read(L"Font", VT_I4, value), DISP_E_TYPEMISMATCH);
}

TEST_F(BagTest, FileTextRoundTripsEveryKind) {
    Write(L"BackColor", Variant::FromLong(static_cast<long>(0x80000005UL)));
    Write(L"Enabled", Variant::FromBool(false));
    ComPtr<IFontDisp> original = Font(L"Arial", 9.75);
    Write(L"Font", Variant::FromDispatch(original.Get()));
    Write(L"Text", Variant::FromText("中 文\n%-"));
    Write(L"Empty", Variant::FromText(""));
    Write(L"FontSize", [] {
        Variant v;
        v.Address()->vt = VT_R4;
        const_cast<VARIANT&>(v.Get()).fltVal = 10.5f;
        return v;
    }());
    const std::string text = BagToText(*bag_.Get());
    ComPtr<MemoryPropertyBag> copy = qv::win::com::MakeObject<MemoryPropertyBag>();
    ASSERT_TRUE(BagFromText(text, *copy.Get())) << text;
    ASSERT_EQ(copy->Entries().size(), bag_->Entries().size());
    for (std::size_t i = 0; i < copy->Entries().size(); ++i) {
        const BagEntry& before = bag_->Entries()[i];
        const BagEntry& after = copy->Entries()[i];
        EXPECT_EQ(after.name, before.name);
        EXPECT_EQ(after.isObject, before.isObject);
        EXPECT_EQ(after.object, before.object);
        EXPECT_EQ(after.value.Type(), before.value.Type());
        EXPECT_EQ(VarCmp(const_cast<VARIANT*>(&after.value.Get()), const_cast<VARIANT*>(&before.value.Get()),
                         LOCALE_USER_DEFAULT, 0),
                  VARCMP_EQ)
            << i;
    }
    bag_ = copy;
    Variant font;
    ASSERT_HRESULT_SUCCEEDED(Read(L"Font", VT_EMPTY, font));
    EXPECT_EQ(FontFacts(font.Get().punkVal), FontFacts(original.Get()));
}

TEST_F(BagTest, MalformedFileTextIsRefused) {
    const char* const texts[] = {
        "",
        "SomethingElse 1\n",
        "QvPropertyBag 1\nText 8\n",         // no value
        "QvPropertyBag 1\nText 8 %4\n",      // broken escape
        "QvPropertyBag 1\nAlignment 2 x\n",  // not a number
        "QvPropertyBag 1\nFont 13 abc\n",    // odd number of hex digits
        "QvPropertyBag 1\n- 3 1\n",          // no name
    };
    for (const char* text : texts) {
        ComPtr<MemoryPropertyBag> bag = qv::win::com::MakeObject<MemoryPropertyBag>();
        EXPECT_FALSE(BagFromText(text, *bag.Get())) << text;
    }
}

}  // namespace
}  // namespace control_host
