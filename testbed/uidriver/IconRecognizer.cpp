#include "IconRecognizer.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "IconMatch.h"
#include "WindowFacts.h"
#include "common/win32/Gdi.h"

namespace testbed {
namespace {

struct StandardIcon {
    const wchar_t* resource;
    const char* name;
};

const std::array<StandardIcon, 4> kStandardIcons = {{
    {IDI_HAND, "stop"},
    {IDI_EXCLAMATION, "exclamation"},
    {IDI_ASTERISK, "information"},
    {IDI_QUESTION, "question"},
}};

HWND IconControl(HWND box) {
    for (HWND child : ChildWindows(box)) {
        if (ClassNameOf(child) == "Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

// A memory bitmap of 32-bit pixels, top row first.
class PixelCanvas {
public:
    PixelCanvas(int width, int height) : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_bitmap.reset(
            CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0));
        if (m_dc && m_bitmap) {
            m_selected = std::make_unique<qv::win::SelectedObject>(m_dc.get(), m_bitmap.get());
        }
    }

    bool IsReady() const { return m_selected && *m_selected && m_bits != nullptr; }
    HDC Dc() const { return m_dc.get(); }
    void Fill(std::uint8_t byte) {
        GdiFlush();
        std::memset(m_bits, byte, PixelCount() * sizeof(std::uint32_t));
    }
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        std::vector<std::uint32_t> pixels(m_bits, m_bits + PixelCount());
        for (std::uint32_t& pixel : pixels) {
            pixel &= 0xFFFFFF;
        }
        return pixels;
    }

private:
    std::size_t PixelCount() const { return static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height); }

    int m_width;
    int m_height;
    qv::win::MemoryDc m_dc;
    qv::win::GdiObject<HBITMAP> m_bitmap;
    std::unique_ptr<qv::win::SelectedObject> m_selected;  // goes first, before the bitmap and the DC
    std::uint32_t* m_bits = nullptr;
};

std::vector<std::uint32_t> ScreenPixels(HWND control, int width, int height) {
    PixelCanvas canvas(width, height);
    POINT origin{0, 0};
    const qv::win::WindowDc screen;
    const bool copied =
        canvas.IsReady() && screen && ClientToScreen(control, &origin) &&
        BitBlt(canvas.Dc(), 0, 0, width, height, screen.Get(), origin.x, origin.y, SRCCOPY | CAPTUREBLT);
    return copied ? canvas.Pixels() : std::vector<std::uint32_t>{};
}

IconDrawing Draw(HICON icon, int width, int height) {
    PixelCanvas canvas(width, height);
    IconDrawing drawing;
    if (!canvas.IsReady()) {
        return drawing;
    }
    canvas.Fill(0x00);
    DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    drawing.overBlack = canvas.Pixels();
    canvas.Fill(0xFF);
    DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    drawing.overWhite = canvas.Pixels();
    return drawing;
}

std::string RecognizeByScreen(HWND control) {
    RECT client{};
    if (!GetClientRect(control, &client) || client.right <= 0 || client.bottom <= 0) {
        return "unknown";
    }
    const std::vector<std::uint32_t> screen = ScreenPixels(control, client.right, client.bottom);
    std::vector<double> shares;
    for (const StandardIcon& standard : kStandardIcons) {
        shares.push_back(
            OpaqueShareShown(Draw(LoadIconW(nullptr, standard.resource), client.right, client.bottom), screen));
    }
    const std::optional<std::size_t> best = ClearBestMatch(shares);
    return best ? kStandardIcons[*best].name : "unknown";
}

}  // namespace

std::string RecognizeIcon(HWND box) {
    const HWND control = IconControl(box);
    if (!control) {
        return "none";
    }
    const std::optional<LRESULT> answer = SendWithTimeout(control, STM_GETICON, 0, 0);
    if (!answer) {
        return "unknown";
    }
    const auto shown = reinterpret_cast<HICON>(*answer);
    if (!shown) {
        return "none";
    }
    for (const StandardIcon& standard : kStandardIcons) {
        if (shown == LoadIconW(nullptr, standard.resource)) {
            return standard.name;
        }
    }
    return RecognizeByScreen(control);
}

}  // namespace testbed
