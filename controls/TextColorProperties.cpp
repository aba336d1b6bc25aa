#include "TextColorProperties.h"

namespace controls {
namespace {

using K = PropertyKind;
constexpr PropertyTarget Box = PropertyTarget::InnerBox;
constexpr PropertyTarget Surface = PropertyTarget::Surface;
constexpr std::int32_t kFontDispid = -512;

constexpr std::array<SavedProperty, kSavedPropertyCount> kProperties{{
    {"BackColor", K::Colour, 0x68030029, 0x80000005, "", Box},
    {"ForeColor", K::Colour, 0x68030028, 0x80000008, "", Box},
    {"Enabled", K::Boolean, 0x68030027, -1, "", Box},
    {"Font", K::Font, kFontDispid, 0, "", Box},
    {"BackStyle", K::Int16, 0x68030026, 1, "", Surface},
    {"BorderStyle", K::Int16, 0x68030025, 1, "", Box},
    {"Alignment", K::Int16, 0x68030024, 0, "", Box},
    {"CausesValidation", K::Boolean, 0x68030023, -1, "", Box},
    {"Appearance", K::Int16, 0x68030022, 1, "", Box},
    {"DataMember", K::Text, 0x68030021, 0, "", Box},
    {"DrawMode", K::Int16, 0x6803001f, 13, "", Surface},
    {"FontBold", K::Boolean, 0x6803001e, 0, "", Box},
    {"FontItalic", K::Boolean, 0x6803001d, 0, "", Box},
    {"FontName", K::Text, 0x6803001c, 0, "", Box},
    {"FontSize", K::Float32, 0x6803001b, 0, "", Box},
    {"FontStrikethru", K::Boolean, 0x6803001a, 0, "", Box},
    {"FontUnderline", K::Boolean, 0x68030019, 0, "", Box},
    {"LinkItem", K::Text, 0x68030016, 0, "", Box},
    {"LinkMode", K::Int16, 0x68030015, 0, "", Box},
    {"LinkTimeout", K::Int16, 0x68030014, 50, "", Box},
    {"LinkTopic", K::Text, 0x68030013, 0, "", Box},
    {"Locked", K::Boolean, 0x68030012, 0, "", Box},
    {"MaxLength", K::Int32, 0x68030011, 0, "", Box},
    {"MouseIcon", K::Picture, 0x68030010, 0, "", Box},
    {"MousePointer", K::Int16, 0x6803000f, 0, "", Box},
    {"OLEDragMode", K::Int16, 0x6803000d, 0, "", Box},
    {"PasswordChar", K::Text, 0x6803000c, 0, "", Box},
    {"RightToLeft", K::Boolean, 0x6803000b, 0, "", Box},
    {"SelLength", K::Int32, 0x68030009, 0, "", Box},
    {"SelStart", K::Int32, 0x68030008, 0, "", Box},
    {"SelText", K::Text, 0x68030007, 0, "", Box},
    {"Text", K::Text, 0x68030006, 0, "Text1", Box},
    {"ToolTipText", K::Text, 0x68030005, 0, "", Box},
}};

}  // namespace

const std::array<SavedProperty, kSavedPropertyCount>& SavedProperties() { return kProperties; }

}  // namespace controls
