// The inner masked box driven as the date box drives it: through IDispatch
// by dispatch identifier, with typed keys sent to its window.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/win32/Bstr.h"
#include "common/win32/com/ComError.h"
#include "common/win32/com/DispatchCall.h"
#include "controls/win32/MaskedBox.h"
#include "common/win32/Variant.h"

namespace {

using controls::win::MaskedBox;
using qv::win::ComPtr;
using qv::win::Variant;

constexpr DISPID kMask = 16;
constexpr DISPID kText = 22;
constexpr DISPID kSelStart = 18;
constexpr HRESULT kInvalidPropertyValue = static_cast<HRESULT>(0x800A017C);

struct RecordingListener final : controls::win::MaskedBoxListener {
    std::function<void(short&)> onKeyPress = [](short&) {};
    short keyDownReplacement = -1;  // -1: leave the key code alone
    int keyDowns = 0, keyPresses = 0, keyUps = 0, gotFocus = 0, lostFocus = 0;
    void KeyDown(short& keyCode, short) override {
        ++keyDowns;
        if (keyDownReplacement >= 0) keyCode = keyDownReplacement;
    }
    void KeyPress(short& keyAscii) override {
        ++keyPresses;
        onKeyPress(keyAscii);
    }
    void KeyUp(short&, short) override { ++keyUps; }
    void GotFocus() override { ++gotFocus; }
    void LostFocus() override { ++lostFocus; }
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (MaskedBox::AnswerColourMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

class MaskedBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ParentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MaskedBoxTestParent";
        RegisterClassW(&windowClass);
        parent_ = CreateWindowExW(0, L"MaskedBoxTestParent", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        ComPtr<MaskedBox> box;
        ASSERT_EQ(MaskedBox::Create(parent_, RECT{5, 6, 205, 31}, &listener_, &box), S_OK);
        box_ = box.As<IDispatch>();
        window_ = box->Window();
        ASSERT_TRUE(box_);
    }
    void TearDown() override {
        box_.Reset();
        if (parent_) DestroyWindow(parent_);
        OleUninitialize();
    }

    HRESULT Put(DISPID id, VARIANT value, qv::win::com::ErrorReport* error = nullptr,
                WORD flags = DISPATCH_PROPERTYPUT) {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{&value, &named, 1, 1};
        EXCEPINFO exception{};
        const HRESULT hr =
            box_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, nullptr, &exception, nullptr);
        if (hr == DISP_E_EXCEPTION) {
            auto report = qv::win::com::TakeErrorReport(exception);
            if (error) *error = report;
            return report.result;
        }
        return hr;
    }
    HRESULT PutText(DISPID id, const char* utf8, qv::win::com::ErrorReport* error = nullptr) {
        Variant v = Variant::FromText(utf8);
        return Put(id, v.Get(), error);
    }
    Variant Get(DISPID id) {
        Variant result;
        EXPECT_EQ(qv::win::com::CallMethod(box_.Get(), id, {}, result, nullptr, DISPATCH_PROPERTYGET), S_OK) << id;
        return result;
    }
    std::string Text() {
        std::string text;
        Get(kText).ToText(text);
        return text;
    }
    long Long(DISPID id) {
        Variant v = Get(id);
        VARIANT copy{};
        VariantChangeType(&copy, const_cast<VARIANT*>(&v.Get()), 0, VT_I4);
        return copy.lVal;
    }
    void Type(const wchar_t* keys) {
        for (const wchar_t* key = keys; *key; ++key) SendMessageW(window_, WM_CHAR, *key, 1);
    }

    RecordingListener listener_;
    HWND parent_ = nullptr;
    HWND window_ = nullptr;
    ComPtr<IDispatch> box_;
};

TEST_F(MaskedBoxTest, MaskResetsTheLayoutAndTextsMustFitIt) {
    ASSERT_EQ(PutText(kMask, "####-##-## ##:##"), S_OK);
    EXPECT_EQ(Text(), "    -  -     :  ");
    EXPECT_EQ(PutText(kText, "2010-01-24 10:02"), S_OK);
    EXPECT_EQ(Text(), "2010-01-24 10:02");
    EXPECT_EQ(PutText(kText, "2010-0 -24   :02"), S_OK);
    EXPECT_EQ(Text(), "2010-0 -24   :02");
    for (const char* wrong : {"2010-01-24", "2010/01/24 10:02", "2010-0a-24 10:02", "2010-01-24 10:02 "}) {
        qv::win::com::ErrorReport error;
        EXPECT_EQ(PutText(kText, wrong, &error), kInvalidPropertyValue) << wrong;
        EXPECT_FALSE(error.description.empty()) << wrong;
        EXPECT_EQ(Text(), "2010-0 -24   :02") << wrong;
    }
    EXPECT_EQ(PutText(kText, ""), S_OK);
    EXPECT_EQ(Text(), "    -  -     :  ");
    ASSERT_EQ(PutText(kMask, "####-##-##"), S_OK);
    EXPECT_EQ(Text(), "    -  -  ");
    std::string mask;
    Get(kMask).ToText(mask);
    EXPECT_EQ(mask, "####-##-##");
}

TEST_F(MaskedBoxTest, SelStartCollapsesAndStopsAtTheEnd) {
    ASSERT_EQ(PutText(kMask, "####-##-##"), S_OK);
    SendMessageW(window_, EM_SETSEL, 2, 6);
    EXPECT_EQ(Put(kSelStart, Variant::FromLong(3).Get()), S_OK);
    DWORD start = 0, end = 0;
    SendMessageW(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(Put(kSelStart, Variant::FromLong(50).Get()), S_OK);
    EXPECT_EQ(Long(kSelStart), 10);
    EXPECT_EQ(Put(kSelStart, Variant::FromLong(0).Get()), S_OK);
    EXPECT_EQ(Long(kSelStart), 0);
    EXPECT_EQ(Put(kSelStart, Variant::FromLong(-1).Get()), kInvalidPropertyValue);
    EXPECT_EQ(Long(kSelStart), 0);
}

TEST_F(MaskedBoxTest, TypedCharactersGoThroughTheListenerAndOnlyOverwriteDigits) {
    ASSERT_EQ(PutText(kMask, "####-##-##"), S_OK);
    Type(L"20a1");
    EXPECT_EQ(Text(), "201 -  -  ");  // the letter is refused, the caret stays
    EXPECT_EQ(listener_.keyPresses, 4);
    EXPECT_EQ(Long(kSelStart), 3);
    Type(L"0");
    Type(L"5");  // a literal position: refused
    EXPECT_EQ(Text(), "2010-  -  ");
    listener_.onKeyPress = [](short& key) { key = 0; };
    Put(kSelStart, Variant::FromLong(5).Get());
    Type(L"9");
    EXPECT_EQ(Text(), "2010-  -  ");
    listener_.onKeyPress = [](short& key) {
        if (key == 'x') key = '7';
    };
    Type(L"x");
    EXPECT_EQ(Text(), "2010-7 -  ");
    Type(L"\x4E2D");  // a Chinese character
    EXPECT_EQ(Text(), "2010-7 -  ");
}

TEST_F(MaskedBoxTest, DeleteBlanksWithoutShiftingAndKeyDownCanSwallowIt) {
    ASSERT_EQ(PutText(kMask, "####-##-##"), S_OK);
    ASSERT_EQ(PutText(kText, "2010-01-24"), S_OK);
    Put(kSelStart, Variant::FromLong(2).Get());
    SendMessageW(window_, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(Text(), "20 0-01-24");
    EXPECT_EQ(Long(kSelStart), 3);
    SendMessageW(window_, EM_SETSEL, 3, 9);
    SendMessageW(window_, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(Text(), "20  -  - 4");
    listener_.keyDownReplacement = 0;
    Put(kSelStart, Variant::FromLong(9).Get());
    SendMessageW(window_, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(Text(), "20  -  - 4");
    EXPECT_EQ(listener_.keyDowns, 3);
    SendMessageW(window_, WM_KEYUP, VK_DELETE, 1);
    EXPECT_EQ(listener_.keyUps, 1);
}

TEST_F(MaskedBoxTest, ClearAndPasteKeepTheLayout) {
    ASSERT_EQ(PutText(kMask, "####-##-##"), S_OK);
    ASSERT_EQ(PutText(kText, "2010-01-24"), S_OK);
    SendMessageW(window_, EM_SETSEL, 0, 6);
    SendMessageW(window_, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(), "    - 1-24");
    auto paste = [&](const wchar_t* text) {
        if (!OpenClipboard(parent_)) return false;
        EmptyClipboard();
        const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        memcpy(GlobalLock(memory), text, bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
        SendMessageW(window_, WM_PASTE, 0, 0);
        return true;
    };
    ASSERT_TRUE(paste(L"2012-02-29"));
    EXPECT_EQ(Text(), "2012-02-29");
    ASSERT_TRUE(paste(L"hello"));
    EXPECT_EQ(Text(), "2012-02-29");
}

TEST_F(MaskedBoxTest, ColoursFontBorderAndEnabled) {
    EXPECT_EQ(Long(DISPID_BACKCOLOR), static_cast<long>(0x80000005));
    EXPECT_EQ(Put(DISPID_BACKCOLOR, Variant::FromLong(0x00C0FFC0).Get()), S_OK);
    EXPECT_EQ(Long(DISPID_BACKCOLOR), 0x00C0FFC0);
    EXPECT_EQ(Put(DISPID_FORECOLOR, Variant::FromLong(static_cast<long>(0x80000008)).Get()), S_OK);
    EXPECT_EQ(Long(DISPID_FORECOLOR), static_cast<long>(0x80000008));
    EXPECT_EQ(Put(DISPID_BACKCOLOR, Variant::FromLong(0x7F000000).Get()), kInvalidPropertyValue);
    EXPECT_EQ(Long(DISPID_BACKCOLOR), 0x00C0FFC0);
    // The parent's colour answer paints with the box's colour.
    HDC dc = GetDC(window_);
    const LRESULT brush =
        SendMessageW(parent_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(0x00C0FFC0));
    ReleaseDC(window_, dc);

    Variant font = Get(DISPID_FONT);
    ASSERT_EQ(font.Type(), VT_DISPATCH);
    ComPtr<IFont> ole = ComPtr<IUnknown>(font.Get().pdispVal).As<IFont>();
    ASSERT_TRUE(ole);
    // Wine answers the name of the face it found for "宋体", so the name is not compared.
    short charset = 0;
    ole->get_Charset(&charset);
    EXPECT_EQ(charset, GB2312_CHARSET);
    CY size{};
    ole->get_Size(&size);
    EXPECT_EQ(size.int64, 90000);
    ComPtr<IFontDisp> other;
    FONTDESC description{
        sizeof(FONTDESC), const_cast<LPOLESTR>(L"Arial"), {{120000, 0}}, FW_BOLD, ANSI_CHARSET, FALSE, FALSE, FALSE};
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(other.Address())), S_OK);
    EXPECT_EQ(Put(DISPID_FONT, Variant::FromDispatch(other.Get()).Get(), nullptr, DISPATCH_PROPERTYPUTREF), S_OK);
    Variant again = Get(DISPID_FONT);
    EXPECT_EQ(ComPtr<IUnknown>(again.Get().pdispVal).As<IUnknown>().Get(), other.As<IUnknown>().Get());
    HFONT shown = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    HFONT expected = nullptr;
    other.As<IFont>()->get_hFont(&expected);
    EXPECT_EQ(shown, expected);

    EXPECT_EQ(Long(DISPID_BORDERSTYLE), 1);
    EXPECT_NE(GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(Put(DISPID_BORDERSTYLE, Variant::FromLong(0).Get()), S_OK);
    EXPECT_EQ(GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(Put(DISPID_BORDERSTYLE, Variant::FromLong(2).Get()), kInvalidPropertyValue);
    EXPECT_EQ(Long(DISPID_BORDERSTYLE), 0);

    EXPECT_EQ(Put(0x8001000d, Variant::FromBool(false).Get()), S_OK);
    EXPECT_FALSE(IsWindowEnabled(window_));
    EXPECT_EQ(Long(0x8001000d), 0);
    EXPECT_EQ(Put(0x8001000d, Variant::FromBool(true).Get()), S_OK);
    EXPECT_TRUE(IsWindowEnabled(window_));
    EXPECT_EQ(qv::win::com::CallMethod(box_.Get(), DISPID_REFRESH, {}), S_OK);
}

TEST_F(MaskedBoxTest, PositionAndSizeInTwips) {
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_FLOAT_EQ(Get(0x80010003).Get().fltVal, 5.0f * 1440 / dpiX);
    EXPECT_FLOAT_EQ(Get(0x80010005).Get().fltVal, 200.0f * 1440 / dpiX);
    VARIANT twips{};
    twips.vt = VT_R4;
    twips.fltVal = 0;
    EXPECT_EQ(Put(0x80010003, twips), S_OK);
    twips.fltVal = 1440.0f * 30 / static_cast<float>(dpiY);
    EXPECT_EQ(Put(0x80010006, twips), S_OK);
    RECT rect{};
    GetWindowRect(window_, &rect);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 6);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 30);
}

TEST_F(MaskedBoxTest, FocusIsReportedToTheListener) {
    SetForegroundWindow(parent_);
    SetFocus(window_);
    SetFocus(parent_);
    EXPECT_EQ(listener_.gotFocus, 1);
    EXPECT_EQ(listener_.lostFocus, 1);
}

TEST_F(MaskedBoxTest, TheWindowGoesWithItsParentAndTheObjectSurvives) {
    DestroyWindow(parent_);
    parent_ = nullptr;
    Variant ignored;
    qv::win::com::ErrorReport error;
    qv::win::com::CallMethod(box_.Get(), kText, {}, ignored, &error, DISPATCH_PROPERTYGET);
    EXPECT_EQ(error.result, E_UNEXPECTED);
    EXPECT_EQ(MaskedBox::FromWindow(window_), nullptr);
}

}  // namespace
