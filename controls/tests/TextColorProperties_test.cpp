#include "controls/TextColorProperties.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace controls {
namespace {

TEST(SavedProperties, KeepsTheOrderThatMakesLaterEntriesWin) {
    const auto& table = SavedProperties();
    auto indexOf = [&](std::string_view name) {
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i].name == name) return i;
        return table.size();
    };
    EXPECT_EQ(table.front().name, "BackColor");
    EXPECT_EQ(table.back().name, "ToolTipText");
    for (const char* single : {"FontBold", "FontItalic", "FontName", "FontSize", "FontStrikethru", "FontUnderline"})
        EXPECT_GT(indexOf(single), indexOf("Font")) << single;
    for (const char* selection : {"SelLength", "SelStart", "SelText"})
        EXPECT_LT(indexOf(selection), indexOf("Text")) << selection;
    std::set<std::string_view> names;
    std::set<std::int32_t> dispids;
    for (const SavedProperty& p : table) {
        names.insert(p.name);
        dispids.insert(p.dispid);
    }
    EXPECT_EQ(names.size(), kSavedPropertyCount);
    EXPECT_EQ(dispids.size(), kSavedPropertyCount);
}

TEST(SavedProperties, DefaultsKindsAndTargets) {
    struct Expected {
        std::size_t order;
        std::string_view name;
        PropertyKind kind;
        std::int64_t number;
    };
    const Expected expected[] = {
        {0, "BackColor", PropertyKind::Colour, 0x80000005}, {1, "ForeColor", PropertyKind::Colour, 0x80000008},
        {2, "Enabled", PropertyKind::Boolean, -1},          {3, "Font", PropertyKind::Font, 0},
        {7, "CausesValidation", PropertyKind::Boolean, -1}, {10, "DrawMode", PropertyKind::Int16, 13},
        {14, "FontSize", PropertyKind::Float32, 0},         {19, "LinkTimeout", PropertyKind::Int16, 50},
        {22, "MaxLength", PropertyKind::Int32, 0},          {23, "MouseIcon", PropertyKind::Picture, 0},
    };
    const auto& table = SavedProperties();
    for (const Expected& e : expected) {
        EXPECT_EQ(table[e.order].name, e.name);
        EXPECT_EQ(table[e.order].kind, e.kind) << e.name;
        EXPECT_EQ(table[e.order].numberDefault, e.number) << e.name;
    }
    EXPECT_EQ(table[31].name, "Text");
    EXPECT_EQ(table[31].textDefault, "Text1");
    EXPECT_EQ(table[3].dispid, -512);
    for (const SavedProperty& p : table) {
        const bool surface = p.name == "BackStyle" || p.name == "DrawMode";
        EXPECT_EQ(p.target == PropertyTarget::Surface, surface) << p.name;
    }
}

}  // namespace
}  // namespace controls
