// The controls' in-memory property bag: write order, reads with conversion,
// objects kept as persisted bytes, and the stream form, whole and damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/com/MemoryPropertyBag.h"
#include "common/win32/Variant.h"
#include <olectl.h>

namespace {

using qv::win::ComPtr;
using qv::win::Variant;
using qv::win::com::MakeObject;
using qv::win::com::MemoryPropertyBag;

class MemoryBag : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    static void Write(IPropertyBag* bag, const wchar_t* name, VARIANT value) {
        Variant held;
        *held.Address() = value;
        ASSERT_EQ(bag->Write(name, const_cast<VARIANT*>(&held.Get())), S_OK);
    }
    static VARIANT Long(long value) { return Variant::FromLong(value).Detach(); }
    static VARIANT Text(const char* utf8) { return Variant::FromText(utf8).Detach(); }
    static ComPtr<IFont> Font(const wchar_t* face, long long sizeTimes10000, bool bold) {
        FONTDESC description{sizeof(FONTDESC),
                             const_cast<LPOLESTR>(face),
                             {},
                             static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL),
                             DEFAULT_CHARSET,
                             FALSE,
                             FALSE,
                             FALSE};
        description.cySize.int64 = sizeTimes10000;
        ComPtr<IFont> font;
        OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(font.Address()));
        return font;
    }
    static std::vector<std::wstring> Names(const MemoryPropertyBag& bag) {
        std::vector<std::wstring> names;
        for (const auto& entry : bag.Entries()) names.push_back(entry.name);
        return names;
    }
    static ComPtr<IStream> Saved(const MemoryPropertyBag& bag) {
        ComPtr<IStream> stream;
        EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Address()), S_OK);
        EXPECT_EQ(bag.WriteTo(stream.Get()), S_OK);
        LARGE_INTEGER start{};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        return stream;
    }
};

TEST_F(MemoryBag, KeepsWriteOrderAndRewritesAnEntryInPlace) {
    ComPtr<MemoryPropertyBag> bag = MakeObject<MemoryPropertyBag>();
    Write(bag.Get(), L"Text", Text("a"));
    Write(bag.Get(), L"MaxLength", Long(5));
    Write(bag.Get(), L"text", Text("b"));
    EXPECT_EQ(Names(*bag.Get()), (std::vector<std::wstring>{L"Text", L"MaxLength"}));
    VARIANT read;
    VariantInit(&read);
    ASSERT_EQ(bag->Read(L"TEXT", &read, nullptr), S_OK);
    EXPECT_STREQ(read.bstrVal, L"b");
    VariantClear(&read);
}

TEST_F(MemoryBag, ReadsConvertToTheAskedTypeAndMissingNamesFail) {
    ComPtr<MemoryPropertyBag> bag = MakeObject<MemoryPropertyBag>();
    Write(bag.Get(), L"Size", Long(12));
    VARIANT read;
    VariantInit(&read);
    read.vt = VT_R4;
    ASSERT_EQ(bag->Read(L"Size", &read, nullptr), S_OK);
    EXPECT_EQ(read.vt, VT_R4);
    EXPECT_FLOAT_EQ(read.fltVal, 12.0f);
    VariantInit(&read);
    read.vt = VT_I2;
    EXPECT_EQ(bag->Read(L"Missing", &read, nullptr), E_INVALIDARG);
    Write(bag.Get(), L"Word", Text("abc"));
    VariantInit(&read);
    read.vt = VT_I4;
    EXPECT_TRUE(FAILED(bag->Read(L"Word", &read, nullptr)));
}

TEST_F(MemoryBag, AnObjectIsKeptAsItWasWhenWritten) {
    ComPtr<MemoryPropertyBag> bag = MakeObject<MemoryPropertyBag>();
    ComPtr<IFont> font = Font(L"Tahoma", 120000, true);
    ASSERT_TRUE(font);
    VARIANT object;
    VariantInit(&object);
    object.vt = VT_UNKNOWN;
    object.punkVal = font.Get();
    ASSERT_EQ(bag->Write(L"Font", &object), S_OK);
    font->put_Bold(FALSE);  // a later change does not reach the bag

    ComPtr<IStream> stream = Saved(*bag.Get());
    ComPtr<MemoryPropertyBag> reread = MakeObject<MemoryPropertyBag>();
    ASSERT_EQ(reread->ReadFrom(stream.Get()), S_OK);
    VARIANT read;
    VariantInit(&read);
    read.vt = VT_DISPATCH;
    ASSERT_EQ(reread->Read(L"Font", &read, nullptr), S_OK);
    ComPtr<IFont> loaded;
    read.pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(loaded.Address()));
    VariantClear(&read);
    ASSERT_TRUE(loaded);
    BOOL bold = FALSE;
    CY size{};
    loaded->get_Bold(&bold);
    loaded->get_Size(&size);
    EXPECT_TRUE(bold);
    EXPECT_NEAR(static_cast<double>(size.int64) / 10000.0, 12.0, 0.5);
    EXPECT_NE(loaded.Get(), font.Get());
}

TEST_F(MemoryBag, EveryCutOfTheStreamFormIsRefusedAndLeavesTheEntries) {
    ComPtr<MemoryPropertyBag> bag = MakeObject<MemoryPropertyBag>();
    Write(bag.Get(), L"Text", Text("成绩"));
    Write(bag.Get(), L"MaxLength", Long(7));
    ComPtr<IStream> whole = Saved(*bag.Get());
    STATSTG stat{};
    ASSERT_EQ(whole->Stat(&stat, STATFLAG_NONAME), S_OK);
    std::vector<char> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    ASSERT_EQ(whole->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), S_OK);

    for (std::size_t length = 0; length < bytes.size(); ++length) {
        ComPtr<IStream> cut;
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, cut.Address()), S_OK);
        cut->Write(bytes.data(), static_cast<ULONG>(length), nullptr);
        LARGE_INTEGER start{};
        cut->Seek(start, STREAM_SEEK_SET, nullptr);
        ComPtr<MemoryPropertyBag> target = MakeObject<MemoryPropertyBag>();
        Write(target.Get(), L"Kept", Long(1));
        EXPECT_TRUE(FAILED(target->ReadFrom(cut.Get()))) << "cut at " << length;
        EXPECT_EQ(Names(*target.Get()), std::vector<std::wstring>{L"Kept"}) << "cut at " << length;
    }
    whole = Saved(*bag.Get());
    ComPtr<MemoryPropertyBag> target = MakeObject<MemoryPropertyBag>();
    ASSERT_EQ(target->ReadFrom(whole.Get()), S_OK);
    EXPECT_EQ(Names(*target.Get()), (std::vector<std::wstring>{L"Text", L"MaxLength"}));
}

TEST_F(MemoryBag, ForeignBytesAreRefused) {
    const char junk[] = "not a property bag at all, just bytes";
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Address()), S_OK);
    stream->Write(junk, sizeof junk, nullptr);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<MemoryPropertyBag> bag = MakeObject<MemoryPropertyBag>();
    EXPECT_EQ(bag->ReadFrom(stream.Get()), STG_E_INVALIDHEADER);
}

}  // namespace
