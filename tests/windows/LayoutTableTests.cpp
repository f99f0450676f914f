#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/AppWindowTables.h"
#include "options/OptionsLayout.h"
#include "options/PromptTables.h"
#include "reference/CardLayout.h"
#include "ui/Layout.h"

namespace velmora::tests {

namespace {

using enum ControlKind;

// Every window's table; a new window adds its own here.
const std::vector<const LayoutTable*> kWindowTables{
    &kPasswordTable,
    &kRandTable,
    &kPickProgramsTable,
    &kAboutTable,
    &kWelcomeTable,
    &kHotKeyErrorsTable,
    &kCardTable,
    &kOptionsTable,
};

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

TEST(LayoutTables, EveryWindowPassesEveryCheckAtEveryDpiAndFontSize)
{
    // A larger message font grows the units across and down by different
    // factors, as Segoe UI at "Make text bigger" 125 % or 150 % does.
    struct FontFactor {
        int across;
        int down;
    };
    for (const LayoutTable* table : kWindowTables) {
        for (const int dpi : {96, 144, 192}) {
            for (const FontFactor factor : {FontFactor{100, 100}, FontFactor{125, 120}, FontFactor{150, 155}}) {
                const LayoutScale scale{dpi * factor.across / 100, dpi * factor.down / 100};
                EXPECT_EQ(Joined(CheckLayoutTable(*table, scale)), "")
                    << table->name << " at " << scale.x << " x " << scale.y;
            }
        }
    }
}

struct FaultCase {
    const char* what;
    std::vector<LayoutRow> rows;
    // Part of the finding; empty when the table is right.
    std::string finding;
};

TEST(LayoutTables, ChecksFindEachFault)
{
    const std::vector<FaultCase> cases{
        {"past the right edge", {{10, Button, "&Go", {60, 0, 50, 20}}}, "outside its parent"},
        {"out of its panel",
         {{5, Panel, "", {0, 0, 50, 50}}, {10, CheckBox, "&On", {10, 40, 20, 20}, kStay, 5}},
         "outside its parent"},
        {"siblings on each other", {{10, Button, "&Go", {0, 0, 50, 20}}, {11, Button, "&Stop", {40, 10, 50, 20}}},
         "overlaps"},
        {"touching is no overlap", {{10, Button, "&Go", {0, 0, 50, 20}}, {11, Button, "&Stop", {50, 0, 50, 20}}}, ""},
        {"held by a group box", {{5, GroupBox, "Group", {0, 0, 100, 60}}, {10, CheckBox, "&On", {8, 16, 50, 20}}},
         ""},
        {"pages take turns",
         {{5, Page, "", {0, 0, 100, 100}}, {6, Page, "", {0, 0, 100, 100}},
          {10, CheckBox, "&On", {0, 0, 50, 20}, kStay, 5}, {11, CheckBox, "&On", {0, 0, 50, 20}, kStay, 6}},
         ""},
        {"same mnemonic on one page",
         {{5, Page, "", {0, 0, 100, 100}}, {10, CheckBox, "&On", {0, 0, 50, 20}, kStay, 5},
          {11, CheckBox, "&Off", {0, 30, 50, 20}, kStay, 5}},
         "mnemonic 'o' taken"},
        {"page against the frame",
         {{5, Page, "", {0, 0, 100, 50}}, {10, CheckBox, "&On", {0, 0, 50, 20}, kStay, 5},
          {11, Button, "&Open", {0, 60, 50, 20}}},
         "mnemonic 'o' taken"},
        {"label with no control after it", {{0, Label, "&Name:", {0, 0, 40, 20}}, {10, Button, "&Go", {50, 0, 40, 20}}},
         "no control to name"},
        {"edit after a check box",
         {{10, CheckBox, "&On", {0, 0, 40, 20}}, {11, ComboBox, "", {50, 0, 40, 20}}},
         "no label right before"},
        {"label in another panel",
         {{5, Panel, "", {0, 0, 100, 50}}, {0, Label, "&Name:", {0, 60, 40, 20}}, {11, Edit, "", {0, 0, 40, 20}, kStay, 5}},
         "no label right before"},
        {"button without mnemonic", {{10, Button, "Go", {0, 0, 40, 20}}}, "no mnemonic"},
        {"a doubled ampersand is no mnemonic", {{10, Button, "Salt && Pepper", {0, 0, 40, 20}}}, "no mnemonic"},
        {"OK and Cancel need none", {{kOkId, DefaultButton, "OK", {0, 0, 40, 20}}, {kCancelId, Button, "Cancel", {50, 0, 40, 20}}},
         ""},
        {"mnemonics ignore case", {{10, Button, "&Go", {0, 0, 40, 20}}, {11, Button, "&give", {50, 0, 40, 20}}},
         "mnemonic 'g' taken"},
        {"parent after its child", {{10, CheckBox, "&On", {0, 0, 20, 20}, kStay, 5}, {5, Panel, "", {0, 0, 50, 50}}},
         "no holder before it"},
    };
    for (const FaultCase& test : cases) {
        const LayoutTable table{test.what, {100, 100}, test.rows};
        const std::string found = Joined(CheckLayoutTable(table, 96));
        if (test.finding.empty()) {
            EXPECT_EQ(found, "") << test.what;
        } else {
            EXPECT_NE(found.find(test.finding), std::string::npos) << test.what << ": " << found;
        }
    }
}

TEST(LayoutTables, LayOutScalesAndFollowsAnchors)
{
    const std::array rows{
        LayoutRow{1, Edit, "", {10, 10, 30, 20}},
        LayoutRow{2, ListBox, "", {10, 40, 80, 40}, kGrowX | kGrowY},
        LayoutRow{3, Button, "", {60, 90, 30, 10}, kMoveX | kMoveY},
        LayoutRow{4, Button, "", {35, 90, 30, 10}, kMoveHalfX | kMoveY},
        LayoutRow{5, Panel, "", {0, 0, 100, 30}, kGrowX},
        LayoutRow{6, Button, "", {70, 5, 20, 20}, kMoveX, 5},
    };
    const LayoutTable table{"anchors", {100, 100}, rows};
    // At 144 DPI the design client is 150 x 150; the window is 50 wider and 20 taller.
    const std::vector<LayoutRect> places = LayOut(table, 144, {200, 170});
    const std::vector<LayoutRect> expected{
        {15, 15, 45, 30}, {15, 60, 170, 80}, {140, 155, 45, 15}, {78, 155, 45, 15}, {0, 0, 200, 45},
        {155, 8, 30, 30},
    };
    EXPECT_EQ(places, expected);
    // Edges are rounded, so neighbours that touch keep touching.
    EXPECT_EQ(ScaleRect({0, 0, 33, 10}, 144).Right(), ScaleRect({33, 0, 33, 10}, 144).left);
    // A font's scale grows across and down on its own.
    EXPECT_EQ(ScaleRect({10, 10, 30, 20}, LayoutScale{144, 192}), (LayoutRect{15, 20, 45, 40}));
}

}  // namespace

}  // namespace velmora::tests
