#include "InputDateProperties.h"

namespace controls {
namespace {

using K = PropertyKind;
constexpr PropertyTarget Box = PropertyTarget::InnerBox;

constexpr std::array<SavedProperty, kDateBoxSavedPropertyCount> kProperties{{
    {"BackColor", K::Colour, 0x68030005, 0x80000005, "", Box},
    {"ForeColor", K::Colour, 0x68030004, 0x80000008, "", Box},
    {"Enabled", K::Boolean, 0x68030003, -1, "", Box},
    {"Font", K::Font, -512, 0, "", Box},
    {"BackStyle", K::Int16, 0x68030002, 0, "", PropertyTarget::Surface},
    {"BorderStyle", K::Int32, 0x68030001, 1, "", Box},
}};

}  // namespace

const std::array<SavedProperty, kDateBoxSavedPropertyCount>& DateBoxSavedProperties() { return kProperties; }

}  // namespace controls
