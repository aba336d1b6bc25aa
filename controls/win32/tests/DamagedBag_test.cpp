// Loading both controls from bags that a damaged or hand-edited form gives
// them: an entry that cannot be read as its type, and a value the control
// refuses, each end the load with their own error; missing entries do not.
#include <gtest/gtest.h>

#include <string>

#include "ControlFixture.h"
#include "common/win32/Bstr.h"
#include "common/win32/com/MemoryPropertyBag.h"
#include "Lumen_Control_h.h"

namespace {

using qv::win::ComPtr;
namespace com = qv::win::com;

class DamagedBag : public control_tests::ControlFixture {
protected:
    // Loads a fresh control of `clsid` from a bag holding `entries` (and "Text" "loaded").
    HRESULT Load(const CLSID& clsid, std::initializer_list<std::pair<const wchar_t*, VARIANT>> entries) {
        control_ = Create(clsid);
        if (!control_) return E_FAIL;
        ComPtr<com::MemoryPropertyBag> bag = com::MakeObject<com::MemoryPropertyBag>();
        for (auto [name, value] : entries) {
            EXPECT_EQ(bag->Write(name, &value), S_OK);
            VariantClear(&value);
        }
        return control_.As<IPersistPropertyBag>()->Load(bag.Get(), nullptr);
    }
    // The description the control left for its container, if it says it leaves one.
    std::string ErrorDescription() {
        ComPtr<ISupportErrorInfo> supports = control_.As<ISupportErrorInfo>();
        if (!supports || supports->InterfaceSupportsErrorInfo(IID_IPersistPropertyBag) != S_OK) return "<none>";
        return com::TakeErrorReport(E_FAIL).description;
    }

    ComPtr<IDispatch> control_;
};

using control_tests::Number;
using control_tests::Text;
using control_tests::TextOf;

TEST_F(DamagedBag, AnEntryThatCannotBeReadAsItsTypeEndsTheLoadWithTheBagsError) {
    struct Case {
        const CLSID* clsid;
        const wchar_t* name;
        const wchar_t* text;
    };
    const Case cases[] = {
        {&CLSID_TextColor, L"MaxLength", L"abc"},     {&CLSID_TextColor, L"BackColor", L"red"},
        {&CLSID_TextColor, L"Alignment", L"left"},    {&CLSID_TextColor, L"Enabled", L"maybe"},
        {&CLSID_TextColor, L"Font", L"宋体"},         {&CLSID_InputDate, L"ForeColor", L"blue"},
        {&CLSID_InputDate, L"BorderStyle", L"thick"},
    };
    for (const Case& c : cases) {
        const HRESULT loaded = Load(*c.clsid, {{c.name, Text(c.text)}});
        EXPECT_EQ(loaded, DISP_E_TYPEMISMATCH) << std::string(c.name, c.name + wcslen(c.name));
    }
}

TEST_F(DamagedBag, TextThatReadsAsTheTypeStillLoads) {
    ASSERT_EQ(Load(CLSID_TextColor, {{L"MaxLength", Text(L"12")}, {L"Text", Text(L"loaded")}}), S_OK);
    EXPECT_EQ(control_tests::Get(control_.Get(), L"MaxLength").Get().lVal, 12);
    EXPECT_EQ(TextOf(control_.Get()), L"loaded");
}

TEST_F(DamagedBag, MissingEntriesStillTakeTheirDefaults) {
    ASSERT_EQ(Load(CLSID_TextColor, {{L"Alignment", Number(VT_I2, 2)}}), S_OK);
    EXPECT_EQ(control_tests::Get(control_.Get(), L"Alignment").Get().iVal, 2);
    EXPECT_EQ(TextOf(control_.Get()), L"Text1");
    EXPECT_EQ(control_tests::Get(control_.Get(), L"LinkTimeout").Get().iVal, 50);
    ASSERT_EQ(Load(CLSID_InputDate, {}), S_OK);
}

TEST_F(DamagedBag, ARefusedValueReachesTheContainerWithTheControlsOwnNumber) {
    constexpr HRESULT kInvalidPropertyValue = static_cast<HRESULT>(0x800A017CL);  // error 380
    struct Case {
        const CLSID* clsid;
        const wchar_t* name;
        VARIANT value;
    };
    const Case cases[] = {
        {&CLSID_TextColor, L"MaxLength", Number(VT_I4, -1)},
        {&CLSID_TextColor, L"BorderStyle", Number(VT_I2, 5)},
        {&CLSID_TextColor, L"BackColor", Number(VT_I4, 0x7F000000)},
        {&CLSID_InputDate, L"BorderStyle", Number(VT_I4, 7)},
    };
    for (const Case& c : cases) {
        const std::string name(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(Load(*c.clsid, {{c.name, c.value}}), kInvalidPropertyValue) << name;
        EXPECT_EQ(ErrorDescription(), "无效属性值") << name;
    }
}

TEST_F(DamagedBag, AStreamWithARefusedValueFailsWithTheSameNumber) {
    ComPtr<com::MemoryPropertyBag> bag = com::MakeObject<com::MemoryPropertyBag>();
    VARIANT refused = Number(VT_I4, -1);
    ASSERT_EQ(bag->Write(L"MaxLength", &refused), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Address()), S_OK);
    ASSERT_EQ(bag->WriteTo(stream.Get()), S_OK);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> control = Create(CLSID_TextColor);
    EXPECT_EQ(control.As<IPersistStreamInit>()->Load(stream.Get()), static_cast<HRESULT>(0x800A017CL));
}

}  // namespace
