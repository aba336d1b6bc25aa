#include "IconMatch.h"

#include <cstdlib>

namespace testbed {
namespace {

constexpr int kChannelTolerance = 24;
// The icon shown matches all but a few of its pixels; the information and
// question icons share most of theirs (about 87 %), so the lead needed over
// the next candidate is small.
constexpr double kLowestMatch = 0.95;
constexpr double kLeadOverOthers = 0.05;

bool SameColour(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(difference) > kChannelTolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace

double OpaqueShareShown(const IconDrawing& icon, const std::vector<std::uint32_t>& screen) {
    if (icon.overBlack.size() != screen.size() || icon.overWhite.size() != screen.size()) {
        return 0;
    }
    std::size_t opaque = 0;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        const std::uint32_t colour = icon.overBlack[i] & 0xFFFFFF;
        if (colour != (icon.overWhite[i] & 0xFFFFFF)) {
            continue;
        }
        ++opaque;
        if (SameColour(colour, screen[i])) {
            ++shown;
        }
    }
    return opaque == 0 ? 0 : static_cast<double>(shown) / static_cast<double>(opaque);
}

std::optional<std::size_t> ClearBestMatch(const std::vector<double>& shares) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        if (!best || shares[i] > shares[*best]) {
            best = i;
        }
    }
    if (!best || shares[*best] < kLowestMatch) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < shares.size(); ++i) {
        if (i != *best && shares[i] > shares[*best] - kLeadOverOthers) {
            return std::nullopt;
        }
    }
    return best;
}

}  // namespace testbed
