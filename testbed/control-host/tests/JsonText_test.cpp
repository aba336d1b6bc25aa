#include "testbed/control-host/JsonText.h"

#include <gtest/gtest.h>

#include "testbed/control-host/AmbientProperties.h"
#include "common/win32/Variant.h"

namespace control_host {
namespace {

TEST(JsonText, QuotesEscapesAndControlCharacters) {
    EXPECT_EQ(JsonLine("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonLine("\r\n\x01"), "\"\\r\\n\\u0001\"");
    EXPECT_EQ(JsonLine("宋体"), "\"宋体\"");
    // Text that is not UTF-8 still gives a line.
    EXPECT_EQ(JsonLine("a\xff"), "\"a\xEF\xBF\xBD\"");
}

TEST(JsonText, NumbersReadBackExactly) {
    for (double number : {0.1, 100.0, -2147483643.0, 999999999999.0, 9.5, 1e-7, 1.0 / 3.0}) {
        EXPECT_EQ(std::strtod(JsonNumber(number).c_str(), nullptr), number) << JsonNumber(number);
    }
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(HexResult(static_cast<HRESULT>(0x800A01F4UL)), "0x800A01F4");
}

TEST(JsonText, VariantsByTypeAndThroughReferences) {
    SHORT key = 97;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_BYREF | VT_I2;
    byRef.piVal = &key;
    EXPECT_EQ(VariantJson(byRef).dump(), "97");

    VARIANT colour;
    VariantInit(&colour);
    colour.vt = VT_UI4;
    colour.ulVal = 0x80000005UL;
    EXPECT_EQ(VariantJson(colour).dump(), "2147483653");

    EXPECT_EQ(VariantJson(qv::win::Variant::FromBool(true).Get()).dump(), "true");
    EXPECT_EQ(VariantJson(qv::win::Variant::FromText("a\"").Get()).dump(), "\"a\\\"\"");
    EXPECT_EQ(VariantJson(qv::win::Variant().Get()).dump(), "null");
    VARIANT real;
    VariantInit(&real);
    real.vt = VT_R4;
    real.fltVal = 9.5f;
    EXPECT_EQ(VariantJson(real).dump(), "9.5");
}

TEST(JsonText, FontsShowNameSizeAndWeight) {
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        qv::win::ComPtr<IFontDisp> font;
        ASSERT_HRESULT_SUCCEEDED(CreateFontObject(L"Tahoma", 9.75, 0, font.Address()));
        qv::win::ComPtr<IFont> settable;
        font->QueryInterface(IID_IFont, reinterpret_cast<void**>(settable.Address()));
        ASSERT_TRUE(settable);
        settable->put_Bold(TRUE);
        const std::string json = JsonLine(VariantJson(qv::win::Variant::FromDispatch(font.Get()).Get()));
        // The face name is the one the platform reports: Wine names the face it substituted.
        EXPECT_EQ(json.rfind("{\"object\":true,\"font\":{\"name\":\"", 0), 0u) << json;
        EXPECT_GT(json.size(), 60u) << json;
        EXPECT_EQ(json.substr(json.size() - 27), "\",\"size\":9.75,\"bold\":true}}") << json;
    }
    CoUninitialize();
}

}  // namespace
}  // namespace control_host
