#include "options/OptionsEditor.h"

#include <algorithm>
#include <type_traits>

#include "hotkeys/HotKeyCheck.h"
#include "hotkeys/HotKeys.h"
#include "engine/TextExpansion.h"
#include "macros/Error.h"
#include "macros/ProgramList.h"
#include "options/AbbreviationCheck.h"
#include "options/OptionsControls.h"
#include "options/OptionsLayout.h"

namespace velmora {

const std::array<std::string_view, 80> kHotKeyNames = {
    "[None]", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S",
    "T", "U", "V", "W", "X", "Y", "Z", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "`", "-", "=", "[",
    "]", "\\", ";", "'", ",", ".", "/", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24", "Insert", "Delete",
    "Home", "End", "Page Up", "Page Down", "Backspace", "Escape",
};

namespace {

template <typename Char>
int CompareFoldingAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b)
{
    const auto fold = [](Char c) {
        const auto unit = static_cast<std::make_unsigned_t<Char>>(c);
        return unit >= 'a' && unit <= 'z' ? unit - ('a' - 'A') : unit;
    };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return fold(a[i]) < fold(b[i]) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int CompareIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return CompareFoldingAsciiCase(a, b);
}

int CompareIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    return CompareFoldingAsciiCase(a, b);
}

namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return CompareIgnoringAsciiCase(a, b) == 0;
}

}  // namespace

namespace id = options_id;

OptionsEditor::OptionsEditor(MacroStore& store, OptionsTargets targets, NameCollation collation,
                             IHotKeys& hotKeyProbe, IKeyboard& keyboard, ICodePage& codePage,
                             const NameSortKey& sortKey)
    : m_store(store),
      m_targets(std::move(targets)),
      m_collation(std::move(collation)),
      m_hotKeyProbe(hotKeyProbe),
      m_keyboard(keyboard),
      m_codePage(codePage),
      m_macrosLocked(!store.Loaded())
{
    if (sortKey) {
        std::vector<std::pair<std::string, std::size_t>> keys;
        keys.reserve(store.MacroList.size());
        for (std::size_t i = 0; i < store.MacroList.size(); ++i) {
            keys.emplace_back(sortKey(store.MacroList[i].Name), i);
        }
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        m_entries.reserve(keys.size());
        for (const auto& key : keys) {
            m_entries.push_back(store.MacroList[key.second]);
        }
    } else {
        m_entries = store.MacroList;
        std::stable_sort(m_entries.begin(), m_entries.end(), [this](const TMacroEntry& a, const TMacroEntry& b) {
            return m_collation(a.Name, b.Name) < 0;
        });
    }
    Page.AutoStart = m_targets.autoStart.Exists();
    Page.ShowInTray = m_targets.settings.ShowInTray;
    Page.SlowdownKeystrokes = m_targets.settings.SlowdownKeystrokes;
    Page.UnicodeInput = m_targets.settings.UnicodeInput;
    Page.PasswordProtect = !m_store.OptionsPassword.empty();
    Page.Password = m_store.OptionsPassword;
    Page.PasswordConfirm = m_store.OptionsPassword;
}

TMacro* OptionsEditor::EditedRecord() const
{
    if (m_editIndex < 0 || static_cast<std::size_t>(m_editIndex) >= m_entries.size()) {
        return nullptr;
    }
    return m_entries[static_cast<std::size_t>(m_editIndex)].Macro.get();
}

void OptionsEditor::SetSelected(int index)
{
    m_selected = index;
    if (m_view) {
        m_view->SelectionChanged(index);
    }
}

std::string OptionsEditor::MacrosNotLoadedText() const
{
    return m_macrosLocked ? FormatText(kMacrosNotLoadedText, ErrorBoxText(m_store.LoadError())) : std::string();
}

void OptionsEditor::SelectMacro(int index)
{
    if (m_macrosLocked) {
        return;
    }
    if (index < -1 || index >= static_cast<int>(m_entries.size())) {
        index = -1;
    }
    // A second click on the macro being edited keeps what was typed.
    if (index >= 0 && index == m_editIndex) {
        return;
    }
    SetSelected(index);
    LoadSelection();
}

void OptionsEditor::LoadSelection()
{
    const int index = m_selected;
    if (index != m_editIndex) {
        CommitPanel();
        m_editIndex = index;
    }
    if (index >= 0) {
        m_loading = true;
        const TMacro& macro = *m_entries[static_cast<std::size_t>(index)].Macro;
        m_nextChoices = m_entries;
        ++m_nextChoicesVersion;
        MacroPanel panel;
        for (const OptionsControl& control : kOptionsControls) {
            if (control.binding.load != nullptr) {
                control.binding.load(macro, m_nextChoices, panel);
            }
        }
        Panel = std::move(panel);
        m_loading = false;
    }
    if (m_view) {
        m_view->PanelChanged();
    }
    ReportHotKeyStatus();
}

void OptionsEditor::ReportHotKeyStatus()
{
    if (m_view == nullptr || m_macrosLocked) {
        return;
    }
    // What the panel shows, which the record holds only after a commit.
    TMacro shown;
    if (m_editIndex >= 0 && Panel.HotKeyIndex > 0 && Panel.HotKeyIndex < static_cast<int>(kHotKeyNames.size())) {
        shown.HotKey = kHotKeyNames[static_cast<std::size_t>(Panel.HotKeyIndex)];
        shown.HotKeyWin = Panel.Win;
        shown.HotKeyShift = Panel.Shift;
        shown.HotKeyCtrl = Panel.Ctrl;
        shown.HotKeyAlt = Panel.Alt;
    }
    if (m_editIndex >= 0) {
        shown.Abbreviation = Panel.Abbreviation;
        shown.OnlyIn = Panel.OnlyIn;
    }
    const std::string hotKey = HotKeyStatusText(shown, m_entries, m_editIndex, m_hotKeyProbe, m_keyboard, m_codePage);
    const std::string abbreviation = AbbreviationStatusText(shown, m_entries, m_editIndex, m_codePage);
    m_view->StatusChanged(hotKey.empty() || abbreviation.empty() ? hotKey + abbreviation
                                                                 : hotKey + "; " + abbreviation);
}

void OptionsEditor::ClearActionFields(int action)
{
    for (const OptionsControl& control : kOptionsControls) {
        if (control.layout.parent != id::SettingsPanelId(action)) {
            continue;
        }
        control.binding.Visit([this]<typename Fields, typename Value>(Value Fields::*field) {
            if constexpr (std::is_same_v<Fields, MacroPanel>) {
                Panel.*field = MacroPanel{}.*field;
            }
        });
    }
}

void OptionsEditor::ChangeAction()
{
    TMacro* const record = EditedRecord();
    if (record == nullptr || m_loading) {
        return;
    }
    record->Settings = CreateMacroSettings(static_cast<MacroAction>(Panel.ActionIndex));
    if (record->Settings) {
        ClearActionFields(Panel.ActionIndex);
    } else {
        Panel.ActionIndex = kNoAction;
    }
    if (m_view) {
        m_view->PanelChanged();
    }
}

void OptionsEditor::CommitHotKey()
{
    CommitPanel();
    ReportHotKeyStatus();
}

void OptionsEditor::CommitAbbreviation()
{
    CommitPanel();
    ReportHotKeyStatus();
}

void OptionsEditor::CommitPanel()
{
    TMacro* const record = EditedRecord();
    if (m_loading || m_macrosLocked || record == nullptr) {
        return;
    }
    for (const OptionsControl& control : kOptionsControls) {
        if (control.binding.commit != nullptr) {
            control.binding.commit(Panel, m_nextChoices, *record);
        }
    }
    if (m_view) {
        m_view->EntriesRedraw();
    }
}

int OptionsEditor::InsertionPoint(const std::string& name, int after) const
{
    // Among equal names the entry keeps its place relative to the others,
    // as a stable re-sort of the whole list would leave it.
    const auto less = [this](const TMacroEntry& entry, const std::string& key) {
        return m_collation(entry.Name, key) < 0;
    };
    const auto greater = [this](const std::string& key, const TMacroEntry& entry) {
        return m_collation(key, entry.Name) < 0;
    };
    const int low = static_cast<int>(std::lower_bound(m_entries.begin(), m_entries.end(), name, less) -
                                     m_entries.begin());
    const int high = static_cast<int>(std::upper_bound(m_entries.begin(), m_entries.end(), name, greater) -
                                      m_entries.begin());
    return std::clamp(after, low, high);
}

void OptionsEditor::RenameMacro()
{
    if (m_loading || EditedRecord() == nullptr) {
        return;
    }
    const int from = m_editIndex;
    TMacroEntry entry = std::move(m_entries[static_cast<std::size_t>(from)]);
    m_entries.erase(m_entries.begin() + from);
    entry.Name = Panel.Name;
    const int to = InsertionPoint(entry.Name, from);
    m_entries.insert(m_entries.begin() + to, std::move(entry));
    m_editIndex = to;
    if (m_view) {
        m_view->EntryMoved(from, to);
    }
    SetSelected(to);
}

void OptionsEditor::AddMacro()
{
    if (m_macrosLocked) {
        return;
    }
    SetSelected(-1);
    LoadSelection();

    auto macro = std::make_shared<TMacro>();
    macro->Id = m_store.NewMacroId();
    macro->Name = kNewMacroName;
    TMacroEntry entry{std::string(kNewMacroName), std::move(macro)};
    const int at = InsertionPoint(entry.Name, static_cast<int>(m_entries.size()));
    m_entries.insert(m_entries.begin() + at, std::move(entry));
    if (m_view) {
        m_view->EntryInserted(at);
    }
    SetSelected(at);
    LoadSelection();
}

void OptionsEditor::DeleteMacro()
{
    const int index = m_selected;
    if (m_macrosLocked || index < 0 || index >= static_cast<int>(m_entries.size())) {
        return;
    }
    // The record itself lives on while the macro list, a running macro or
    // the quick reference card still holds it.
    m_entries.erase(m_entries.begin() + index);
    if (m_view) {
        m_view->EntryRemoved(index);
    }
    SetSelected(std::min(index, static_cast<int>(m_entries.size()) - 1));
    m_editIndex = -1;
    LoadSelection();
}

CloseQuery OptionsEditor::FormCloseQuery()
{
    if (m_macrosLocked) {
        return {};
    }
    CommitPanel();
    if (Page.PasswordProtect) {
        if (Page.Password != Page.PasswordConfirm) {
            return {CloseVerdict::PasswordMismatch, {}};
        }
        m_store.OptionsPassword = Page.Password;
    } else {
        m_store.OptionsPassword.clear();
    }

    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (std::string refusal = TriggerRefusal(*m_entries[i].Macro, m_codePage); !refusal.empty()) {
            // Shown for the correction, with everything typed still in place.
            SetSelected(static_cast<int>(i));
            LoadSelection();
            return {CloseVerdict::Refused, std::move(refusal)};
        }
    }

    std::vector<std::pair<std::string, const TMacro*>> seen;
    for (const TMacroEntry& entry : m_entries) {
        const TMacro& macro = *entry.Macro;
        if (macro.HotKey.empty()) {
            continue;
        }
        std::string key = HotKeyClashKey(macro);
        // Macros for different programs share a combination by design.
        const auto earlier = std::find_if(seen.begin(), seen.end(), [&](const auto& each) {
            return EqualIgnoringAsciiCase(each.first, key) &&
                   ProgramListsClash(each.second->OnlyIn, macro.OnlyIn, m_codePage);
        });
        if (earlier != seen.end()) {
            return {CloseVerdict::Clash, HotKeyClashQuestion(*earlier->second, macro, key)};
        }
        seen.emplace_back(std::move(key), &macro);
    }
    return {};
}

std::string OptionsEditor::FormClose(int outerWidth, int outerHeight)
{
    SettingsRecord& settings = m_targets.settings;
    settings.OptionsHeight = std::to_string(outerHeight);
    settings.OptionsWidth = std::to_string(outerWidth);
    if (Page.AutoStart) {
        m_targets.autoStart.Write(m_targets.exePath);
    } else {
        m_targets.autoStart.Remove();
    }
    settings.ShowInTray = Page.ShowInTray;
    settings.SlowdownKeystrokes = Page.SlowdownKeystrokes;
    settings.UnicodeInput = Page.UnicodeInput;
    if (m_targets.showTrayIcon) {
        m_targets.showTrayIcon(Page.ShowInTray);
    }
    if (m_macrosLocked) {
        m_store.DiscardEdits();
        return {};
    }
    CommitPanel();
    const SaveOutcome saved = m_store.SaveMacros(m_entries);
    return saved.keptVersion.empty() ? std::string() : FormatText(kChangedElsewhereNotice, m_store.PathInMessage(saved.keptVersion));
}

void OptionsEditor::CloseWithoutSaving()
{
    m_store.DiscardEdits();
}

std::string SaveFailedQuestion(std::string_view error)
{
    return ErrorBoxText(std::string(error)) + "\r\n\r\n" + std::string(kCloseWithoutSavingQuestion);
}

std::string HotKeyClashQuestion(const TMacro& earlier, const TMacro& current, const std::string& key)
{
    return "The macros \"" + earlier.Name + "\" and \"" + current.Name + "\" both share " +
           "the same hot key combination:" + "\r\n\r\n" + "     " + key + "\r\n\r\n" +
           "Only one of these macros will actually execute when the hot " + "key combination is pressed." +
           "\r\n\r\n" + "Do you want to change these macros now so that they do not " +
           "conflict with each other?";
}

int StoredWindowLength(std::string_view caption, int current, int minimum, int maximum)
{
    if (caption == "-1000") {
        return current;
    }
    const std::optional<std::int32_t> value = ReadInteger(caption);
    if (!value) {
        return current;
    }
    return std::clamp(*value, minimum, std::max(minimum, maximum));
}

int MacroListRowHeight(int textHeightOfM)
{
    return 2 * textHeightOfM < 18 ? 18 : 2 * textHeightOfM + 1;
}

}  // namespace velmora
