#include "IconRecognizer.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "IconMatch.h"
#include "WindowFacts.h"

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
    PixelCanvas(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        if (m_dc && m_bitmap) {
            m_previous = SelectObject(m_dc, m_bitmap);
        }
    }
    ~PixelCanvas() {
        if (m_previous) {
            SelectObject(m_dc, m_previous);
        }
        if (m_bitmap) {
            DeleteObject(m_bitmap);
        }
        if (m_dc) {
            DeleteDC(m_dc);
        }
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    bool IsReady() const { return m_previous != nullptr && m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
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
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_bits = nullptr;
};

std::vector<std::uint32_t> ScreenPixels(HWND control, int width, int height) {
    PixelCanvas canvas(width, height);
    POINT origin{0, 0};
    HDC screen = GetDC(nullptr);
    const bool copied = canvas.IsReady() && screen && ClientToScreen(control, &origin) &&
                        BitBlt(canvas.Dc(), 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY | CAPTUREBLT);
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
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
