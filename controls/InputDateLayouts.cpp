#include "InputDateLayouts.h"

#include <string>

#include "common/AppError.h"

namespace controls {
namespace {

constexpr std::array<DateLayout, 3> kLayouts{{
    {0, u"####-##-## ##:##", "yyyy-mm-dd hh:mm", 16, DateContent::DateAndMinutes},
    {1, u"####-##-##", "yyyy-mm-dd", 10, DateContent::DateOnly},
    {2, u"####-##-## ##:##:##", "yyyy-mm-dd hh:mm:ss", 19, DateContent::DateAndSeconds},
}};

}  // namespace

const std::array<DateLayout, 3>& DateLayouts() { return kLayouts; }

const DateLayout* FindDateLayout(std::int16_t nFormat) {
    for (const DateLayout& layout : kLayouts) {
        if (layout.nFormat == nFormat) return &layout;
    }
    return nullptr;
}

const DateLayout& LayoutForSetFormat(std::int16_t nFormat) {
    const DateLayout* layout = FindDateLayout(nFormat);
    if (!layout) throw qv::AppError(kFormatErrorNumber, std::string(kFormatErrorText));
    return *layout;
}

}  // namespace controls
