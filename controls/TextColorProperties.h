#pragma once
// The text box's saved properties: bag names, kinds, defaults and order.
// Loading applies them in this order, so later entries win where they touch
// the same thing (the single font entries after the font, the text after
// the selection).
#include <array>
#include <cstdint>
#include <string_view>

namespace controls {

enum class PropertyKind { Colour, Boolean, Int16, Int32, Float32, Text, Font, Picture };
enum class PropertyTarget { InnerBox, Surface };

struct SavedProperty {
    std::string_view name;
    PropertyKind kind;
    std::int32_t dispid;           // the member of the default interface that reads and writes it
    std::int64_t numberDefault;    // Colour, Boolean (-1/0), Int16, Int32, Float32
    std::string_view textDefault;  // Text; Font defaults to the ambient font, Picture to none
    PropertyTarget target;
};

constexpr std::size_t kSavedPropertyCount = 33;

const std::array<SavedProperty, kSavedPropertyCount>& SavedProperties();

}  // namespace controls
