#pragma once

// What the options window does to the macros and the settings, apart from
// drawing: the sorted macro list, the edit panel, adding, renaming, deleting,
// and the checks and the save at close. The window binds its controls to
// this class and keeps no editing logic of its own.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "settings/Settings.h"
#include "macros/MacroFile.h"
#include "options/MacroNames.h"
#include "platform/CodePage.h"
#include "platform/Collation.h"
#include "platform/HotKeys.h"
#include "platform/Keyboard.h"

namespace velmora {

// The hot-key drop-down, in order; entry 0 means no hot key.
extern const std::array<std::string_view, 80> kHotKeyNames;
inline constexpr std::string_view kNewMacroName = "New macro.";
inline constexpr std::string_view kPasswordMismatchText =
    "PASSWORD PROTECTION\r\n\r\nThe password field and the confirm field\r\ndo not match. Please enter your "
    "password\r\ninto both fields so that they match. This\r\nensures that there are no typos in your\r\npassword.";

// Shown in the window while the macro file could not be read; the %s is the
// load's error, naming the file.
inline constexpr std::string_view kMacrosNotLoadedText =
    "Your macros could not be loaded: %s\r\n\r\nVelmora leaves that file as it is and does not save over it, "
    "so the macros cannot be changed now. Close any program that is using the file, then close this window and "
    "open the options again. If the file is damaged, restore velmora.dtx.bak as the help describes.\r\n\r\n"
    "The settings on the Options page still take effect when this window closes.";
// Asked after the save's error when the close could not save.
inline constexpr std::string_view kCloseWithoutSavingQuestion =
    "Close the options window without saving your changes?";
inline constexpr std::string_view kMacrosNotLoadedStatus =
    "Your macros could not be loaded: they cannot be changed and are not saved.";

// The values the controls of the edit panel hold. Indexes are list
// selections, -1 for none.
struct MacroPanel {
    std::string Name;
    bool Win = false;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    int HotKeyIndex = -1;
    std::string Abbreviation;
    std::string OnlyIn;
    // A MacroAction.
    int ActionIndex = kNoAction;
    std::string SendText;
    bool Paste = false;
    std::string FileName;
    std::string CommandLine;
    int SystemCommand = -1;
    int VelmoraCommand = -1;
    bool HideOnReferenceCard = false;
    bool RunAnother = false;
    // Into NextMacroChoices().
    int NextMacroIndex = -1;
};

// The "Options" page.
struct OptionsPage {
    bool AutoStart = false;
    bool ShowInTray = true;
    bool SlowdownKeystrokes = false;
    bool UnicodeInput = false;
    bool PasswordProtect = false;
    std::string Password;
    std::string PasswordConfirm;
};

class OptionsEditor;

// What a control of the options window holds: the presenter's field it
// shows, and what follows when the user changes it. The options window's
// table gives each control its binding, or none.
struct FieldBinding {
    std::variant<std::monostate, std::string MacroPanel::*, bool MacroPanel::*, int MacroPanel::*,
                 std::string OptionsPage::*, bool OptionsPage::*>
        field;
    // How the edited macro's record fills the field and takes it back; the
    // run-another choices are what NextMacroIndex counts in. Null for none.
    void (*load)(const TMacro& macro, const TMacroList& nextChoices, MacroPanel& panel) = nullptr;
    void (*commit)(const MacroPanel& panel, const TMacroList& nextChoices, TMacro& macro) = nullptr;
    // The presenter's reaction once the field holds the user's change.
    void (OptionsEditor::*changed)() = nullptr;

    constexpr bool Bound() const { return field.index() != 0; }
    constexpr bool OnOptionsPage() const
    {
        return std::holds_alternative<std::string OptionsPage::*>(field) ||
               std::holds_alternative<bool OptionsPage::*>(field);
    }
    // Calls visitor with the field's member pointer; an unbound control gives Result().
    template <typename Result = void, typename Visitor>
    Result Visit(Visitor&& visitor) const
    {
        return std::visit(
            [&](auto member) -> Result {
                if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                    return Result();
                } else {
                    return visitor(member);
                }
            },
            field);
    }
};

// How the window mirrors the list and the panel. Indexes are those of Entries().
class IOptionsView {
public:
    virtual ~IOptionsView() = default;
    virtual void EntriesReset() = 0;
    virtual void EntryInserted(int index) = 0;
    virtual void EntryRemoved(int index) = 0;
    // The entry now at `to` was at `from`; its text may have changed too.
    virtual void EntryMoved(int from, int to) = 0;
    virtual void EntriesRedraw() = 0;
    virtual void SelectionChanged(int index) = 0;
    // Every control of the edit panel is to show Panel() again, with the
    // visibility rules that go with it.
    virtual void PanelChanged() = 0;
    // The status bar's line about the edited macro's hot key and
    // abbreviation; empty for neither.
    virtual void StatusChanged(const std::string& text) = 0;
};

enum class CloseVerdict {
    Close,
    // The password fields differ: warn with kPasswordMismatchText, stay open.
    PasswordMismatch,
    // Two macros share a hot key: ask the question; close only on No.
    Clash,
    // The file cannot keep an abbreviation or a program list: warn with the
    // question's text, stay open with that macro selected.
    Refused,
};

struct CloseQuery {
    CloseVerdict verdict = CloseVerdict::Close;
    std::string question;
};

// What the close writes besides the macro file.
struct OptionsTargets {
    SettingsRecord& settings;
    AutoStart& autoStart;
    std::string exePath;
    // Shows or hides the tray icon at once.
    std::function<void(bool)> showTrayIcon;
};

class OptionsEditor {
public:
    // Copies the entries of store.MacroList, sorted by name; the records are
    // shared, so edits land in them at once. `hotKeyProbe` is registered
    // for a moment to learn whether another program holds a combination.
    // `codePage` reads the program lists. `sortKey`, when given, orders as
    // `collation` does and sorts the list.
    OptionsEditor(MacroStore& store, OptionsTargets targets, NameCollation collation, IHotKeys& hotKeyProbe,
                  IKeyboard& keyboard, ICodePage& codePage, const NameSortKey& sortKey = {});

    void SetView(IOptionsView* view) { m_view = view; }

    const TMacroList& Entries() const { return m_entries; }
    int Selected() const { return m_selected; }
    int EditIndex() const { return m_editIndex; }
    bool Loading() const { return m_loading; }
    bool EditPanelVisible() const { return m_editIndex >= 0; }
    // The macro file could not be read when the window opened: the macros
    // and the password (which lives in that file) stay as they are, and the
    // close applies only the settings.
    bool MacrosLocked() const { return m_macrosLocked; }
    // Why, for the window to show; empty when not locked.
    std::string MacrosNotLoadedText() const;

    // The window writes what the user changes into these; the handlers read them.
    MacroPanel Panel;
    OptionsPage Page;
    // What the run-another drop-down lists, filled when a macro is selected.
    const TMacroList& NextMacroChoices() const { return m_nextChoices; }
    // Changes whenever NextMacroChoices is refilled, so a view can skip
    // refilling a drop-down that already holds them.
    unsigned NextMacroChoicesVersion() const { return m_nextChoicesVersion; }

    // The user picked a row (-1: none).
    void SelectMacro(int index);
    // Panel.ActionIndex holds the user's choice: the record starts that
    // action afresh, even the one it had.
    void ChangeAction();
    // The key or a modifier changed: into the record, and checked.
    void CommitHotKey();
    // The abbreviation or the program list changed: into the record, and
    // checked, the hot key too, which the program list may free.
    void CommitAbbreviation();
    // Panel.Name holds the new name: the entry moves to its sorted place.
    void RenameMacro();
    void AddMacro();
    void DeleteMacro();
    // Writes the panel into the record it shows.
    void CommitPanel();

    // Commits, takes the password, then looks for the first abbreviation or
    // program list the file cannot keep and the first hot-key clash between
    // macros whose program lists clash.
    CloseQuery FormCloseQuery();
    // Applies the settings, then saves the macros, which replaces the macro
    // list and registers the hot keys again. Throws the save's error; what
    // was applied before it stays applied, and closing again tries again.
    // With the macros locked nothing is saved; the hot keys come back.
    // Returns what the user is to be told about the save: that another
    // program's version was kept; empty for nothing.
    std::string FormClose(int outerWidth, int outerHeight);
    // After a failed save the user chose to close anyway: the macros of the
    // file come back into force with their hot keys.
    void CloseWithoutSaving();

private:
    TMacro* EditedRecord() const;
    // Commits the macro shown and shows the selected one.
    void LoadSelection();
    void ClearActionFields(int action);
    int InsertionPoint(const std::string& name, int after) const;
    void SetSelected(int index);
    // Tells the view what the panel's hot key and abbreviation are up against.
    void ReportHotKeyStatus();

    MacroStore& m_store;
    OptionsTargets m_targets;
    NameCollation m_collation;
    IHotKeys& m_hotKeyProbe;
    IKeyboard& m_keyboard;
    ICodePage& m_codePage;
    IOptionsView* m_view = nullptr;
    TMacroList m_entries;
    TMacroList m_nextChoices;
    unsigned m_nextChoicesVersion = 0;
    int m_selected = -1;
    int m_editIndex = -1;
    bool m_loading = false;
    bool m_macrosLocked = false;
};

// The question asked when the close could not save, with the save's error.
std::string SaveFailedQuestion(std::string_view error);

// The question asked when `earlier` and `current` share the hot key `key`.
std::string HotKeyClashQuestion(const TMacro& earlier, const TMacro& current, const std::string& key);

// A stored window length: "-1000" (none stored) and anything that is not a
// number give `current`; a number is kept within [minimum, maximum].
int StoredWindowLength(std::string_view caption, int current, int minimum, int maximum);

// The macro list's row: two lines of text, at least 18 pixels.
int MacroListRowHeight(int textHeightOfM);

}  // namespace velmora
