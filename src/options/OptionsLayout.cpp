#include "options/OptionsLayout.h"

#include <algorithm>
#include <array>

#include "options/OptionsControls.h"

namespace velmora {

namespace {

using enum ControlKind;
namespace id = options_id;

constexpr int kKeys = id::SettingsPanelId(0);
constexpr int kLaunch = id::SettingsPanelId(1);
constexpr int kSystem = id::SettingsPanelId(2);
constexpr int kCommand = id::SettingsPanelId(3);

// Z-order is tab order: the tab strip comes before its pages, and each label
// directly before the control it names. A drop-down's height is its closed
// field; its list opens below.
constexpr std::array kOptionsRows{
    LayoutRow{id::kPageControl, Tabs, "", {8, 8, 593, 361}, kGrowX | kGrowY},
    LayoutRow{id::kMacrosPage, Page, "", {4, 24, 585, 333}, kGrowX | kGrowY, id::kPageControl},
    LayoutRow{0, Label, "&Macro list:", {8, 8, 232, 13}, kStay, id::kMacrosPage},
    LayoutRow{id::kMacroList, ListBox, "", {8, 25, 232, 267}, kGrowX | kGrowY, id::kMacrosPage},
    LayoutRow{id::kAddMacro, Button, "A&dd Macro", {8, 300, 89, 25}, kMoveY, id::kMacrosPage},
    LayoutRow{id::kDeleteMacro, Button, "D&elete Macro", {105, 300, 89, 25}, kMoveY, id::kMacrosPage},
    LayoutRow{id::kMacroEditPanel, Page, "", {248, 25, 329, 300}, kMoveX | kGrowY, id::kMacrosPage},
    LayoutRow{0, Label, "&Name:", {0, 4, 52, 13}, kStay, id::kMacroEditPanel},
    LayoutRow{id::kName, Edit, "", {56, 0, 273, 21}, kStay, id::kMacroEditPanel},
    LayoutRow{id::kWin, CheckBox, "&Win", {56, 30, 42, 17}, kStay, id::kMacroEditPanel},
    LayoutRow{id::kShift, CheckBox, "&Shift", {98, 30, 46, 17}, kStay, id::kMacroEditPanel},
    LayoutRow{id::kCtrl, CheckBox, "&Ctrl", {146, 30, 42, 17}, kStay, id::kMacroEditPanel},
    LayoutRow{id::kAlt, CheckBox, "&Alt", {190, 30, 42, 17}, kStay, id::kMacroEditPanel},
    LayoutRow{0, Label, "Hot &key:", {0, 32, 52, 13}, kStay, id::kMacroEditPanel},
    LayoutRow{id::kHotKey, ComboBox, "", {240, 28, 89, 21}, kStay, id::kMacroEditPanel},
    LayoutRow{0, Label, "Ac&tion:", {0, 61, 52, 13}, kStay, id::kMacroEditPanel},
    LayoutRow{id::kAction, ComboBox, "", {56, 57, 273, 21}, kStay, id::kMacroEditPanel},
    LayoutRow{kKeys, Page, "", {0, 86, 329, 136}, kGrowY, id::kMacroEditPanel},
    LayoutRow{0, Label, "Te&xt:", {0, 0, 100, 13}, kStay, kKeys},
    LayoutRow{id::kSendText, Edit, "", {0, 16, 329, 64}, kGrowY, kKeys},
    LayoutRow{id::kInsertVariable, Button, "&Insert Variable...", {0, 86, 110, 25}, kMoveY, kKeys},
    LayoutRow{id::kPaste, CheckBox, "Send by pasting from clip&board", {0, 117, 329, 17}, kMoveY, kKeys},
    LayoutRow{kLaunch, Page, "", {0, 86, 329, 136}, kGrowY, id::kMacroEditPanel},
    LayoutRow{0, Label, "&Filename:", {0, 0, 200, 13}, kStay, kLaunch},
    LayoutRow{id::kFilename, Edit, "", {0, 16, 250, 21}, kStay, kLaunch},
    LayoutRow{id::kBrowse, Button, "&Browse...", {255, 16, 74, 21}, kStay, kLaunch},
    LayoutRow{0, Label, "Command &line:", {0, 46, 200, 13}, kStay, kLaunch},
    LayoutRow{id::kCommandLine, Edit, "", {0, 62, 329, 21}, kStay, kLaunch},
    LayoutRow{kSystem, Page, "", {0, 86, 329, 136}, kGrowY, id::kMacroEditPanel},
    LayoutRow{0, Label, "C&ommand:", {0, 0, 200, 13}, kStay, kSystem},
    LayoutRow{id::kSystemCommand, ComboBox, "", {0, 16, 329, 21}, kStay, kSystem},
    LayoutRow{kCommand, Page, "", {0, 86, 329, 136}, kGrowY, id::kMacroEditPanel},
    LayoutRow{0, Label, "C&ommand:", {0, 0, 200, 13}, kStay, kCommand},
    LayoutRow{id::kVelmoraCommand, ComboBox, "", {0, 16, 329, 21}, kStay, kCommand},
    LayoutRow{id::kHideOnReferenceCard, CheckBox, "Do not show this macro on the &quick reference card",
              {0, 230, 329, 17}, kMoveY, id::kMacroEditPanel},
    LayoutRow{id::kRunAnother, CheckBox, "When this macro completes &run another macro", {0, 251, 329, 17}, kMoveY,
              id::kMacroEditPanel},
    LayoutRow{0, Label, "R&un:", {16, 275, 40, 13}, kMoveY, id::kMacroEditPanel},
    LayoutRow{id::kNextMacro, ComboBox, "", {56, 272, 273, 21}, kMoveY, id::kMacroEditPanel},
    // Shown in the edit panel's place while the macros could not be read.
    LayoutRow{id::kMacrosNotLoadedPage, Page, "", {248, 25, 329, 300}, kMoveX | kGrowY, id::kMacrosPage},
    LayoutRow{id::kMacrosNotLoaded, Text, "", {0, 0, 329, 300}, kGrowY, id::kMacrosNotLoadedPage},
    LayoutRow{id::kOptionsPage, Page, "", {4, 24, 585, 333}, kGrowX | kGrowY, id::kPageControl},
    LayoutRow{id::kAutoStart, CheckBox, "&Automatically start when Windows starts", {16, 16, 400, 17}, kStay,
              id::kOptionsPage},
    LayoutRow{id::kShowInTray, CheckBox, "Show Velmora &icon in system tray", {16, 40, 400, 17}, kStay,
              id::kOptionsPage},
    LayoutRow{id::kSlowdownKeystrokes, CheckBox, "S&low down keystroke playback", {16, 64, 400, 17}, kStay,
              id::kOptionsPage},
    LayoutRow{id::kUnicodeInput, CheckBox,
              "Type characters that have no key as &Unicode input (leaves the clipboard alone)", {16, 88, 560, 17},
              kStay, id::kOptionsPage},
    LayoutRow{id::kPasswordProtect, CheckBox, "Password pr&otect the Options window", {16, 112, 400, 17}, kStay,
              id::kOptionsPage},
    LayoutRow{id::kPasswordPanel, Panel, "", {34, 136, 260, 56}, kStay, id::kOptionsPage},
    LayoutRow{0, Label, "Passwo&rd:", {0, 4, 70, 13}, kStay, id::kPasswordPanel},
    LayoutRow{id::kPassword, Edit, "", {76, 0, 160, 21}, kStay, id::kPasswordPanel},
    LayoutRow{0, Label, "Co&nfirm:", {0, 33, 70, 13}, kStay, id::kPasswordPanel},
    LayoutRow{id::kPasswordConfirm, Edit, "", {76, 29, 160, 21}, kStay, id::kPasswordPanel},
    LayoutRow{id::kHelp, Button, "&Help...", {8, 377, 75, 25}, kMoveY},
    LayoutRow{id::kPrint, Button, "&Print...", {91, 377, 75, 25}, kMoveY},
    LayoutRow{kOkId, DefaultButton, "OK", {526, 377, 75, 25}, kMoveX | kMoveY},
};

}  // namespace

const LayoutTable kOptionsTable{"options window", {609, 410}, kOptionsRows};

LayoutRect CentreOnWorkArea(int width, int height, const LayoutRect& workArea)
{
    const int fittedWidth = std::clamp(width, 0, std::max(workArea.width, 0));
    const int fittedHeight = std::clamp(height, 0, std::max(workArea.height, 0));
    return {
        .left = workArea.left + (workArea.width - fittedWidth) / 2,
        .top = workArea.top + (workArea.height - fittedHeight) / 2,
        .width = fittedWidth,
        .height = fittedHeight,
    };
}

}  // namespace velmora
