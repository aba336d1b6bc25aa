#pragma once
// Telling which icon a screen area shows. Pixels are 0x00RRGGBB, row by row.
// An icon is drawn once over black and once over white: the pixels that come
// out the same both times are its opaque ones, and only those are compared,
// so the background behind the icon does not matter.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace testbed {

struct IconDrawing {
    std::vector<std::uint32_t> overBlack;
    std::vector<std::uint32_t> overWhite;
};

// The share (0 to 1) of the icon's opaque pixels that `screen` shows in the
// same colour, each channel within a small tolerance. 0 when the sizes differ
// or the icon has no opaque pixel.
double OpaqueShareShown(const IconDrawing& icon, const std::vector<std::uint32_t>& screen);

// The index of the one candidate that the screen clearly shows: its share is
// high and every other candidate's is clearly lower. Empty otherwise.
std::optional<std::size_t> ClearBestMatch(const std::vector<double>& shares);

}  // namespace testbed
