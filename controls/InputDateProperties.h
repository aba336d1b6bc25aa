#pragma once
// The date box's saved properties, in the order they are loaded and saved.
// BackStyle is the control's own stored field (target Surface): it changes
// nothing on the screen.
#include <array>

#include "TextColorProperties.h"

namespace controls {

constexpr std::size_t kDateBoxSavedPropertyCount = 6;

const std::array<SavedProperty, kDateBoxSavedPropertyCount>& DateBoxSavedProperties();

}  // namespace controls
