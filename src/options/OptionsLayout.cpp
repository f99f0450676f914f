#include "options/OptionsLayout.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <type_traits>

#include "hotkeys/HotKeys.h"
#include "options/OptionsControls.h"

namespace velmora {

namespace {

using enum ControlKind;
namespace id = options_id;

constexpr int kKeys = id::SettingsPanelId(0);
constexpr int kLaunch = id::SettingsPanelId(1);
constexpr int kSystem = id::SettingsPanelId(2);
constexpr int kCommand = id::SettingsPanelId(3);

int IndexInTable(int value, std::size_t size)
{
    return value >= 0 && static_cast<std::size_t>(value) < size ? value : -1;
}

// ---- How a record fills a field of the panel and takes it back ----

template <auto panelField, auto recordField>
void LoadField(const TMacro& macro, const TMacroList&, MacroPanel& panel)
{
    panel.*panelField = macro.*recordField;
}

template <auto panelField, auto recordField>
void CommitField(const MacroPanel& panel, const TMacroList&, TMacro& macro)
{
    macro.*recordField = panel.*panelField;
}

// The record's settings when they are of that kind.
template <typename Kind, typename Record>
auto* SettingsOf(Record& macro)
{
    using Settings = std::conditional_t<std::is_const_v<Record>, const Kind, Kind>;
    return macro.Settings && macro.Settings->Action() == Kind::kAction ? static_cast<Settings*>(macro.Settings.get())
                                                                       : nullptr;
}

template <typename Kind, auto panelField, auto settingsField>
void LoadSetting(const TMacro& macro, const TMacroList&, MacroPanel& panel)
{
    if (const auto* settings = SettingsOf<Kind>(macro)) {
        panel.*panelField = settings->*settingsField;
    }
}

template <typename Kind, auto panelField, auto settingsField>
void CommitSetting(const MacroPanel& panel, const TMacroList&, TMacro& macro)
{
    if (auto* settings = SettingsOf<Kind>(macro)) {
        settings->*settingsField = panel.*panelField;
    }
}

// A command outside its kind's table shows as none chosen.
template <typename Kind, auto panelField, const std::vector<std::string_view>* names>
void LoadCommand(const TMacro& macro, const TMacroList&, MacroPanel& panel)
{
    if (const auto* settings = SettingsOf<Kind>(macro)) {
        panel.*panelField = IndexInTable(settings->Action, names->size());
    }
}

void LoadHotKey(const TMacro& macro, const TMacroList&, MacroPanel& panel)
{
    const auto key = std::find_if(kHotKeyNames.begin(), kHotKeyNames.end(),
                                  [&](std::string_view name) {
                                      return CompareIgnoringAsciiCase(name, macro.HotKey) == 0;
                                  });
    panel.HotKeyIndex = key != kHotKeyNames.end() ? static_cast<int>(key - kHotKeyNames.begin()) : -1;
}

// After the modifiers.
void CommitHotKeyName(const MacroPanel& panel, const TMacroList&, TMacro& macro)
{
    if (panel.HotKeyIndex <= 0 || panel.HotKeyIndex >= static_cast<int>(kHotKeyNames.size())) {
        // The boxes keep their marks until the macro is shown again.
        macro.HotKey.clear();
        macro.HotKeyWin = macro.HotKeyShift = macro.HotKeyCtrl = macro.HotKeyAlt = false;
    } else {
        macro.HotKey = kHotKeyNames[static_cast<std::size_t>(panel.HotKeyIndex)];
    }
}

void LoadAction(const TMacro& macro, const TMacroList&, MacroPanel& panel)
{
    panel.ActionIndex = macro.Settings ? macro.Settings->Action() : kNoAction;
}

// After RunAnother. The macro itself is a choice too: a chain never runs one
// macro twice.
void LoadNextMacro(const TMacro& macro, const TMacroList& nextChoices, MacroPanel& panel)
{
    if (panel.RunAnother) {
        panel.NextMacroIndex = IndexOfMacroId(nextChoices, macro.RunAnotherId);
        // The target was deleted; the record follows at the next commit.
        panel.RunAnother = panel.NextMacroIndex >= 0;
    }
}

void CommitNextMacro(const MacroPanel& panel, const TMacroList& nextChoices, TMacro& macro)
{
    if (!panel.RunAnother) {
        return;
    }
    if (panel.NextMacroIndex < 0 || panel.NextMacroIndex >= static_cast<int>(nextChoices.size())) {
        macro.RunAnother = false;
    } else {
        macro.RunAnotherId = nextChoices[static_cast<std::size_t>(panel.NextMacroIndex)].Macro->Id;
    }
}

// ---- The bindings the rows below give their controls ----

template <auto panelField, auto recordField>
constexpr FieldBinding OnMacro(void (OptionsEditor::*changed)() = nullptr)
{
    return {panelField, &LoadField<panelField, recordField>, &CommitField<panelField, recordField>, changed};
}

template <typename Kind, auto panelField, auto settingsField>
constexpr FieldBinding InSettings()
{
    return {panelField, &LoadSetting<Kind, panelField, settingsField>, &CommitSetting<Kind, panelField, settingsField>};
}

template <typename Kind, auto panelField, const std::vector<std::string_view>* names>
constexpr FieldBinding Command()
{
    return {panelField, &LoadCommand<Kind, panelField, names>,
            &CommitSetting<Kind, panelField, &TCommandMacro::Action>};
}

// One row per control. Z-order is tab order: the tab strip comes before its
// pages, and each label directly before the control it names. A drop-down's
// height is its closed field; its list opens below. A settings panel's
// controls are cleared when its action is chosen afresh.
constexpr OptionsControl kRows[] = {
    {{id::kPageControl, Tabs, "", {8, 8, 593, 419}, kGrowX | kGrowY}},
    {{id::kMacrosPage, Page, "", {4, 24, 585, 391}, kGrowX | kGrowY, id::kPageControl}},
    {{0, Label, "&Macro list:", {8, 8, 232, 13}, kStay, id::kMacrosPage}},
    {{id::kMacroList, ListBox, "", {8, 25, 232, 325}, kGrowX | kGrowY, id::kMacrosPage}},
    {{id::kAddMacro, Button, "A&dd Macro", {8, 358, 89, 25}, kMoveY, id::kMacrosPage}},
    {{id::kDeleteMacro, Button, "D&elete Macro", {105, 358, 89, 25}, kMoveY, id::kMacrosPage}},
    {{id::kMacroEditPanel, Page, "", {248, 25, 329, 358}, kMoveX | kGrowY, id::kMacrosPage}},
    {{0, Label, "&Name:", {0, 4, 52, 13}, kStay, id::kMacroEditPanel}},
    {{id::kName, Edit, "", {56, 0, 273, 21}, kStay, id::kMacroEditPanel},
     OnMacro<&MacroPanel::Name, &TMacro::Name>(&OptionsEditor::RenameMacro)},
    {{id::kWin, CheckBox, "&Win", {56, 30, 42, 17}, kStay, id::kMacroEditPanel},
     OnMacro<&MacroPanel::Win, &TMacro::HotKeyWin>(&OptionsEditor::CommitHotKey)},
    {{id::kShift, CheckBox, "&Shift", {98, 30, 46, 17}, kStay, id::kMacroEditPanel},
     OnMacro<&MacroPanel::Shift, &TMacro::HotKeyShift>(&OptionsEditor::CommitHotKey)},
    {{id::kCtrl, CheckBox, "&Ctrl", {146, 30, 42, 17}, kStay, id::kMacroEditPanel},
     OnMacro<&MacroPanel::Ctrl, &TMacro::HotKeyCtrl>(&OptionsEditor::CommitHotKey)},
    {{id::kAlt, CheckBox, "&Alt", {190, 30, 42, 17}, kStay, id::kMacroEditPanel},
     OnMacro<&MacroPanel::Alt, &TMacro::HotKeyAlt>(&OptionsEditor::CommitHotKey)},
    {{0, Label, "Hot &key:", {0, 32, 52, 13}, kStay, id::kMacroEditPanel}},
    {{id::kHotKey, ComboBox, "", {240, 28, 89, 21}, kStay, id::kMacroEditPanel},
     {&MacroPanel::HotKeyIndex, &LoadHotKey, &CommitHotKeyName, &OptionsEditor::CommitHotKey}},
    {{0, Label, "Abbre&viation:", {0, 61, 108, 13}, kStay, id::kMacroEditPanel}},
    {{id::kAbbreviation, Edit, "", {112, 57, 217, 21}, kStay, id::kMacroEditPanel},
     OnMacro<&MacroPanel::Abbreviation, &TMacro::Abbreviation>(&OptionsEditor::CommitAbbreviation)},
    {{0, Label, "Onl&y in programs:", {0, 90, 108, 13}, kStay, id::kMacroEditPanel}},
    {{id::kOnlyIn, Edit, "", {112, 86, 112, 21}, kStay, id::kMacroEditPanel},
     OnMacro<&MacroPanel::OnlyIn, &TMacro::OnlyIn>(&OptionsEditor::CommitAbbreviation)},
    {{id::kPickPrograms, Button, "Pick pro&grams...", {229, 86, 100, 21}, kStay, id::kMacroEditPanel}},
    {{0, Label, "Ac&tion:", {0, 119, 52, 13}, kStay, id::kMacroEditPanel}},
    {{id::kAction, ComboBox, "", {56, 115, 273, 21}, kStay, id::kMacroEditPanel},
     {&MacroPanel::ActionIndex, &LoadAction, nullptr, &OptionsEditor::ChangeAction}},
    {{kKeys, Page, "", {0, 144, 329, 136}, kGrowY, id::kMacroEditPanel}},
    {{0, Label, "Te&xt:", {0, 0, 100, 13}, kStay, kKeys}},
    {{id::kSendText, Edit, "", {0, 16, 329, 64}, kGrowY, kKeys},
     InSettings<TTextMacro, &MacroPanel::SendText, &TTextMacro::Text>()},
    {{id::kInsertVariable, Button, "&Insert Variable...", {0, 86, 110, 25}, kMoveY, kKeys}},
    {{id::kPaste, CheckBox, "Send by pasting from clip&board", {0, 117, 329, 17}, kMoveY, kKeys},
     InSettings<TTextMacro, &MacroPanel::Paste, &TTextMacro::Paste>()},
    {{kLaunch, Page, "", {0, 144, 329, 136}, kGrowY, id::kMacroEditPanel}},
    {{0, Label, "&Filename:", {0, 0, 200, 13}, kStay, kLaunch}},
    {{id::kFilename, Edit, "", {0, 16, 250, 21}, kStay, kLaunch},
     InSettings<TLaunchMacro, &MacroPanel::FileName, &TLaunchMacro::FileName>()},
    {{id::kBrowse, Button, "&Browse...", {255, 16, 74, 21}, kStay, kLaunch}},
    {{0, Label, "Command &line:", {0, 46, 200, 13}, kStay, kLaunch}},
    {{id::kCommandLine, Edit, "", {0, 62, 329, 21}, kStay, kLaunch},
     InSettings<TLaunchMacro, &MacroPanel::CommandLine, &TLaunchMacro::CommandLine>()},
    {{kSystem, Page, "", {0, 144, 329, 136}, kGrowY, id::kMacroEditPanel}},
    {{0, Label, "C&ommand:", {0, 0, 200, 13}, kStay, kSystem}},
    {{id::kSystemCommand, ComboBox, "", {0, 16, 329, 21}, kStay, kSystem},
     Command<TSystemMacro, &MacroPanel::SystemCommand, &kSystemActionNames>()},
    {{kCommand, Page, "", {0, 144, 329, 136}, kGrowY, id::kMacroEditPanel}},
    {{0, Label, "C&ommand:", {0, 0, 200, 13}, kStay, kCommand}},
    {{id::kVelmoraCommand, ComboBox, "", {0, 16, 329, 21}, kStay, kCommand},
     Command<TVelmoraMacro, &MacroPanel::VelmoraCommand, &kVelmoraActionNames>()},
    {{id::kHideOnReferenceCard, CheckBox, "Do not show this macro on the &quick reference card",
      {0, 288, 329, 17}, kMoveY, id::kMacroEditPanel},
     OnMacro<&MacroPanel::HideOnReferenceCard, &TMacro::HideOnReferenceCard>()},
    {{id::kRunAnother, CheckBox, "When this macro completes &run another macro", {0, 309, 329, 17}, kMoveY,
      id::kMacroEditPanel},
     OnMacro<&MacroPanel::RunAnother, &TMacro::RunAnother>()},
    {{id::kNextMacroLabel, Label, "R&un:", {16, 333, 40, 13}, kMoveY, id::kMacroEditPanel}},
    {{id::kNextMacro, ComboBox, "", {56, 330, 273, 21}, kMoveY, id::kMacroEditPanel},
     {&MacroPanel::NextMacroIndex, &LoadNextMacro, &CommitNextMacro}},
    // Shown in the edit panel's place while the macros could not be read.
    {{id::kMacrosNotLoadedPage, Page, "", {248, 25, 329, 358}, kMoveX | kGrowY, id::kMacrosPage}},
    {{id::kMacrosNotLoaded, Text, "", {0, 0, 329, 358}, kGrowY, id::kMacrosNotLoadedPage}},
    {{id::kOptionsPage, Page, "", {4, 24, 585, 391}, kGrowX | kGrowY, id::kPageControl}},
    {{id::kAutoStart, CheckBox, "&Automatically start when Windows starts", {16, 16, 400, 17}, kStay,
      id::kOptionsPage},
     {&OptionsPage::AutoStart}},
    {{id::kShowInTray, CheckBox, "Show Velmora &icon in system tray", {16, 40, 400, 17}, kStay, id::kOptionsPage},
     {&OptionsPage::ShowInTray}},
    {{id::kSlowdownKeystrokes, CheckBox, "S&low down keystroke playback", {16, 64, 400, 17}, kStay,
      id::kOptionsPage},
     {&OptionsPage::SlowdownKeystrokes}},
    {{id::kUnicodeInput, CheckBox,
      "Type characters that have no key as &Unicode input (leaves the clipboard alone)", {16, 88, 560, 17}, kStay,
      id::kOptionsPage},
     {&OptionsPage::UnicodeInput}},
    {{id::kPasswordProtect, CheckBox, "Password pr&otect the Options window", {16, 112, 400, 17}, kStay,
      id::kOptionsPage},
     {&OptionsPage::PasswordProtect}},
    {{id::kPasswordPanel, Panel, "", {34, 136, 260, 56}, kStay, id::kOptionsPage}},
    {{0, Label, "Passwo&rd:", {0, 4, 70, 13}, kStay, id::kPasswordPanel}},
    {{id::kPassword, Edit, "", {76, 0, 160, 21}, kStay, id::kPasswordPanel}, {&OptionsPage::Password}},
    {{0, Label, "Co&nfirm:", {0, 33, 70, 13}, kStay, id::kPasswordPanel}},
    {{id::kPasswordConfirm, Edit, "", {76, 29, 160, 21}, kStay, id::kPasswordPanel}, {&OptionsPage::PasswordConfirm}},
    {{id::kHelp, Button, "&Help...", {8, 435, 75, 25}, kMoveY}},
    {{id::kPrint, Button, "&Print...", {91, 435, 75, 25}, kMoveY}},
    {{kOkId, DefaultButton, "OK", {526, 435, 75, 25}, kMoveX | kMoveY}},
};

// Bound controls without a named id get one from here, by their row.
constexpr int kFirstUnnamedId = 1100;
static_assert(std::ranges::none_of(kRows, [](const OptionsControl& row) { return row.layout.id >= kFirstUnnamedId; }),
              "named ids stay below the ones the table gives");

constexpr auto kControls = [] {
    std::array<OptionsControl, std::size(kRows)> controls{};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        controls[i] = kRows[i];
        if (controls[i].layout.id == 0 && controls[i].binding.Bound()) {
            controls[i].layout.id = kFirstUnnamedId + static_cast<int>(i);
        }
    }
    return controls;
}();

constexpr auto kLayoutRows = [] {
    std::array<LayoutRow, kControls.size()> rows{};
    std::ranges::transform(kControls, rows.begin(), &OptionsControl::layout);
    return rows;
}();

}  // namespace

const std::span<const OptionsControl> kOptionsControls = kControls;
const LayoutTable kOptionsTable{"options window", {609, 468}, kLayoutRows};

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
