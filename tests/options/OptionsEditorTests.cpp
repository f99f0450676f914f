// The options window's logic, driven the way its controls drive it.

#include "options/OptionsEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <tuple>

#include "hotkeys/HotKeys.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeRegistry.h"
#include "macros/Error.h"
#include "options/MacroNames.h"
#include "options/OptionsControls.h"
#include "options/OptionsLayout.h"
#include "options/AbbreviationCheck.h"
#include "options/PasswordGate.h"

namespace velmora {
namespace {

using tests::FakeFileSystem;
using tests::FakeHotKeys;
using tests::FakeRegistry;

// Keeps a copy of the list the way a list box would, from the notifications alone.
class MirrorView : public IOptionsView {
public:
    explicit MirrorView(const OptionsEditor& editor) : m_editor(editor) { EntriesReset(); }

    std::vector<std::string> rows;
    int selected = -1;
    int panelLoads = 0;
    std::vector<std::string> statuses;

    void EntriesReset() override
    {
        rows.clear();
        for (const TMacroEntry& entry : m_editor.Entries()) {
            rows.push_back(entry.Name);
        }
    }
    void EntryInserted(int index) override { rows.insert(rows.begin() + index, NameAt(index)); }
    void EntryRemoved(int index) override { rows.erase(rows.begin() + index); }
    void EntryMoved(int from, int to) override
    {
        rows.erase(rows.begin() + from);
        rows.insert(rows.begin() + to, NameAt(to));
    }
    void EntriesRedraw() override {}
    void SelectionChanged(int index) override { selected = index; }
    void PanelChanged() override { ++panelLoads; }
    void StatusChanged(const std::string& text) override { statuses.push_back(text); }

private:
    std::string NameAt(int index) const { return m_editor.Entries()[static_cast<std::size_t>(index)].Name; }

    const OptionsEditor& m_editor;
};

class OptionsEditorTest : public ::testing::Test {
protected:
    FakeFileSystem files;
    FakeRegistry registry;
    MacroStore store{files};
    SettingsRecord settings;
    AutoStart autoStart{registry};
    tests::FakePlatform platform;
    FakeHotKeys hotKeyProbe;
    std::vector<bool> trayShown;
    int hotKeysRegistered = 0;
    std::unique_ptr<OptionsEditor> editor;
    std::unique_ptr<MirrorView> view;

    void SetUp() override
    {
        store.MacroListReplaced = [this] { ++hotKeysRegistered; };
    }

    std::shared_ptr<TMacro> AddToList(const std::string& name, const std::string& hotKey = {}, bool ctrl = false,
                                      bool alt = false)
    {
        auto macro = std::make_shared<TMacro>();
        macro->Id = store.NewMacroId();
        macro->Name = name;
        macro->HotKey = hotKey;
        macro->HotKeyCtrl = ctrl;
        macro->HotKeyAlt = alt;
        store.MacroList.push_back({name, macro});
        return macro;
    }

    void Open(const NameSortKey& sortKey = {})
    {
        editor = std::make_unique<OptionsEditor>(
            store, OptionsTargets{settings, autoStart, "C:\\Tools\\velmora.exe", [this](bool shown) {
                                      trayShown.push_back(shown);
                                  }},
            ShownNameCollation(
                [](std::u16string_view a, std::u16string_view b) { return CompareIgnoringAsciiCase(a, b); },
                platform.codePage),
            hotKeyProbe, platform.keyboard, platform.codePage, sortKey);
        view = std::make_unique<MirrorView>(*editor);
        editor->SetView(view.get());
    }

    std::vector<std::string> EntryNames() const
    {
        std::vector<std::string> names;
        for (const TMacroEntry& entry : editor->Entries()) {
            names.push_back(entry.Name);
        }
        return names;
    }

    int IndexOf(const std::string& name) const
    {
        const auto names = EntryNames();
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }

    void TypeName(const std::string& name)
    {
        for (std::size_t length = 1; length <= name.size(); ++length) {
            editor->Panel.Name = name.substr(0, length);
            editor->RenameMacro();
        }
    }

    void ChooseAction(int action)
    {
        editor->Panel.ActionIndex = action;
        editor->ChangeAction();
    }
};

TEST_F(OptionsEditorTest, OpensSortedWithoutRegardToCaseAndSharesTheRecords)
{
    const auto c = AddToList("charlie");
    AddToList("Alpha");
    AddToList("bravo");
    AddToList("ALPHA");
    // Sorting by keys orders as the collation does, equal names kept in file order.
    const NameSortKey upperCase = [](std::string_view name) {
        std::string key(name);
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char ch) { return std::toupper(ch); });
        return key;
    };
    for (const NameSortKey& sortKey : {NameSortKey{}, upperCase}) {
        Open(sortKey);
        EXPECT_EQ(EntryNames(), (std::vector<std::string>{"Alpha", "ALPHA", "bravo", "charlie"}));
        EXPECT_EQ(editor->Entries()[3].Macro, c) << "the very record, not a copy";
        EXPECT_EQ(editor->EditIndex(), -1);
        EXPECT_FALSE(editor->EditPanelVisible());
    }
}

TEST_F(OptionsEditorTest, AddingGivesAnUnnamedMacroWithAFreshIdentifierEvenAfterADelete)
{
    AddToList("Zulu");
    Open();
    const std::int32_t before = store.MaxMacroId;

    editor->AddMacro();
    const auto first = editor->Entries()[static_cast<std::size_t>(editor->Selected())].Macro;
    EXPECT_EQ(first->Name, "New macro.");
    EXPECT_EQ(first->Id, before + 1);
    EXPECT_EQ(first->HotKey, "");
    EXPECT_EQ(first->Settings, nullptr);
    EXPECT_TRUE(editor->EditPanelVisible());
    EXPECT_EQ(editor->Panel.ActionIndex, kNoAction) << "no settings panel until an action is chosen";
    EXPECT_EQ(editor->Panel.HotKeyIndex, -1);

    editor->DeleteMacro();
    editor->AddMacro();
    EXPECT_EQ(editor->Entries()[static_cast<std::size_t>(editor->Selected())].Macro->Id, before + 2)
        << "an identifier handed out is used up";
}

TEST_F(OptionsEditorTest, TypingANameResortsOnEveryKeystrokeAndKeepsTheMacroSelected)
{
    AddToList("bravo");
    AddToList("delta");
    AddToList("foxtrot");
    Open();
    editor->AddMacro();
    const auto added = editor->Entries()[static_cast<std::size_t>(editor->Selected())].Macro;

    editor->Panel.Name = "e";
    editor->RenameMacro();
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"bravo", "delta", "e", "foxtrot"}));
    editor->Panel.Name = "A";
    editor->RenameMacro();
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"A", "bravo", "delta", "foxtrot"}));
    EXPECT_EQ(editor->Selected(), 0);
    EXPECT_EQ(editor->EditIndex(), 0);
    EXPECT_EQ(view->selected, 0);
    EXPECT_EQ(added->Name, "New macro.") << "the record follows at the next commit";

    editor->CommitPanel();
    EXPECT_EQ(added->Name, "A");
    EXPECT_EQ(view->rows, EntryNames());
}

TEST_F(OptionsEditorTest, DeletingSelectsTheNextOrTheNewLastAndHidesThePanelWhenEmpty)
{
    AddToList("a");
    AddToList("b");
    AddToList("c");
    Open();

    editor->DeleteMacro();
    EXPECT_EQ(EntryNames().size(), 3u) << "nothing selected, nothing deleted";

    editor->SelectMacro(2);
    editor->DeleteMacro();
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(editor->Selected(), 1);
    EXPECT_EQ(editor->Panel.Name, "b");

    editor->SelectMacro(0);
    editor->DeleteMacro();
    EXPECT_EQ(editor->Selected(), 0);
    EXPECT_EQ(editor->Panel.Name, "b");
    editor->DeleteMacro();
    EXPECT_TRUE(editor->Entries().empty());
    EXPECT_EQ(editor->Selected(), -1);
    EXPECT_FALSE(editor->EditPanelVisible());
    EXPECT_EQ(store.MacroList.size(), 3u) << "the program's list keeps its records until the close";
}

TEST_F(OptionsEditorTest, EditsOfTheDeletedMacroNeverReachAnotherRecord)
{
    const auto a = AddToList("a");
    const auto b = AddToList("b");
    Open();
    editor->SelectMacro(0);
    editor->Panel.Name = "typed into a";
    editor->DeleteMacro();
    EXPECT_EQ(b->Name, "b");
    EXPECT_EQ(editor->Panel.Name, "b");
    EXPECT_EQ(a->Name, "a");
}

TEST_F(OptionsEditorTest, ChoosingAnActionDiscardsTheValuesOfThePreviousOne)
{
    AddToList("m");
    Open();
    editor->SelectMacro(0);
    ChooseAction(kKeystrokesAction);
    editor->Panel.SendText = "Hello <Date>";
    editor->Panel.Paste = true;
    editor->CommitPanel();
    const auto record = editor->Entries()[0].Macro;
    ASSERT_NE(dynamic_cast<TTextMacro*>(record->Settings.get()), nullptr);
    EXPECT_EQ(dynamic_cast<TTextMacro&>(*record->Settings).Text, "Hello <Date>");

    ChooseAction(kLaunchAction);
    ASSERT_NE(dynamic_cast<TLaunchMacro*>(record->Settings.get()), nullptr);
    editor->Panel.FileName = "notepad.exe";
    ChooseAction(kKeystrokesAction);
    EXPECT_EQ(editor->Panel.SendText, "");
    EXPECT_FALSE(editor->Panel.Paste);
    EXPECT_EQ(editor->Panel.FileName, "notepad.exe") << "another action's field is left as the user sees it";
    editor->CommitPanel();
    EXPECT_EQ(dynamic_cast<TTextMacro&>(*record->Settings).Text, "");

    ChooseAction(kSystemAction);
    editor->Panel.SystemCommand = 4;
    editor->CommitPanel();
    EXPECT_EQ(dynamic_cast<TSystemMacro&>(*record->Settings).Action, 4);
    ChooseAction(kVelmoraAction);
    EXPECT_EQ(editor->Panel.VelmoraCommand, -1);
    editor->CommitPanel();
    EXPECT_EQ(dynamic_cast<TVelmoraMacro&>(*record->Settings).Action, -1);

    // Loading a macro shows its values without discarding them.
    editor->SelectMacro(-1);
    editor->SelectMacro(0);
    EXPECT_EQ(editor->Panel.ActionIndex, kVelmoraAction);
    EXPECT_NE(record->Settings, nullptr);
}

TEST_F(OptionsEditorTest, NoneClearsTheKeyAndEveryModifierWhileTheBoxesKeepTheirMarks)
{
    AddToList("m", "K", /*ctrl=*/true, /*alt=*/true);
    Open();
    editor->SelectMacro(0);
    EXPECT_EQ(kHotKeyNames[static_cast<std::size_t>(editor->Panel.HotKeyIndex)], "K");
    editor->Panel.Win = true;
    editor->CommitHotKey();
    const auto record = editor->Entries()[0].Macro;
    EXPECT_TRUE(record->HotKeyWin);

    editor->Panel.HotKeyIndex = 0;
    editor->CommitHotKey();
    EXPECT_EQ(record->HotKey, "");
    EXPECT_FALSE(record->HotKeyWin || record->HotKeyCtrl || record->HotKeyAlt || record->HotKeyShift);
    EXPECT_TRUE(editor->Panel.Ctrl && editor->Panel.Win);

    // A stored key in another case still finds its entry.
    editor->SelectMacro(-1);
    record->HotKey = "page up";
    editor->SelectMacro(0);
    EXPECT_EQ(kHotKeyNames[static_cast<std::size_t>(editor->Panel.HotKeyIndex)], "Page Up");
    editor->SelectMacro(-1);
    record->HotKey = "Pause";
    editor->SelectMacro(0);
    EXPECT_EQ(editor->Panel.HotKeyIndex, -1);
}

TEST_F(OptionsEditorTest, TheStatusFollowsTheKeyTheModifiersTheSelectionAndAdding)
{
    AddToList("Alpha", "J", /*ctrl=*/true, /*alt=*/true);
    AddToList("Beta");
    Open();
    editor->SelectMacro(1);
    editor->Panel.HotKeyIndex = static_cast<int>(std::find(kHotKeyNames.begin(), kHotKeyNames.end(), "J") -
                                                 kHotKeyNames.begin());
    editor->CommitHotKey();
    editor->Panel.Ctrl = editor->Panel.Alt = true;
    editor->CommitHotKey();
    editor->SelectMacro(0);
    editor->AddMacro();
    EXPECT_EQ(view->statuses,
              (std::vector<std::string>{"", "J is free", "Ctrl + Alt + J is also used by \"Alpha\"",
                                        "Ctrl + Alt + J is also used by \"Beta\"", "", ""}));
    EXPECT_TRUE(hotKeyProbe.registered.empty()) << "every probe is let go";
}

TEST_F(OptionsEditorTest, TheAbbreviationAndTheProgramListGoThroughThePanelAndJoinTheStatus)
{
    const auto alpha = AddToList("Alpha");
    alpha->Abbreviation = ";sig";
    alpha->OnlyIn = "notepad.exe";
    const auto beta = AddToList("Beta", "K");
    Open();
    editor->SelectMacro(0);
    editor->SelectMacro(1);
    editor->Panel.Abbreviation = ";sig";
    editor->Panel.OnlyIn = "NOTEPAD.EXE;x.exe";
    editor->CommitAbbreviation();
    EXPECT_EQ(beta->OnlyIn, "NOTEPAD.EXE;x.exe") << "into the record at once";
    EXPECT_EQ(view->statuses, (std::vector<std::string>{"\";sig\" is free", "K is free",
                                                        "K is free; \";sig\" is also used by \"Alpha\""}));
}

TEST_F(OptionsEditorTest, ARunAnotherTargetThatWasDeletedIsUncheckedWhenShown)
{
    const auto first = AddToList("first");
    const auto second = AddToList("second");
    Open();
    editor->SelectMacro(0);
    editor->Panel.RunAnother = true;
    editor->Panel.NextMacroIndex = IndexOfMacroId(editor->NextMacroChoices(), second->Id);
    editor->CommitPanel();
    EXPECT_TRUE(first->RunAnother);
    EXPECT_EQ(first->RunAnotherId, second->Id);

    editor->SelectMacro(1);
    editor->DeleteMacro();
    editor->SelectMacro(0);
    EXPECT_FALSE(editor->Panel.RunAnother);
    editor->CommitPanel();
    EXPECT_FALSE(first->RunAnother);
    EXPECT_EQ(first->RunAnotherId, second->Id) << "the identifier is left as it was";

    // Checked without a choice is not a link.
    editor->Panel.RunAnother = true;
    editor->Panel.NextMacroIndex = -1;
    editor->CommitPanel();
    EXPECT_FALSE(first->RunAnother);
}

TEST_F(OptionsEditorTest, ASecondClickOnTheEditedMacroKeepsWhatWasTyped)
{
    AddToList("m");
    Open();
    editor->SelectMacro(0);
    editor->Panel.Shift = true;
    editor->SelectMacro(0);
    EXPECT_TRUE(editor->Panel.Shift);
}

TEST_F(OptionsEditorTest, NotificationsKeepAListBoxInStepThroughManyEdits)
{
    for (const char* name : {"m", "c", "x", "c"}) {
        AddToList(name);
    }
    Open();
    std::mt19937 random(7);
    const std::vector<std::string> names = {"a", "B", "c", "C", "m", "zz", ""};
    for (int step = 0; step < 400; ++step) {
        switch (random() % 4) {
        case 0: editor->AddMacro(); break;
        case 1: editor->DeleteMacro(); break;
        case 2: editor->SelectMacro(static_cast<int>(random() % (editor->Entries().size() + 1)) - 1); break;
        default:
            if (editor->EditIndex() >= 0) {
                editor->Panel.Name = names[random() % names.size()];
                editor->RenameMacro();
            }
        }
        ASSERT_EQ(view->rows, EntryNames()) << "step " << step;
        ASSERT_EQ(view->selected, editor->Selected());
        ASSERT_TRUE(std::is_sorted(editor->Entries().begin(), editor->Entries().end(),
                                   [](const TMacroEntry& a, const TMacroEntry& b) {
                                       return CompareIgnoringAsciiCase(a.Name, b.Name) < 0;
                                   }));
        if (editor->EditIndex() >= 0) {
            ASSERT_EQ(editor->EditIndex(), editor->Selected());
        }
    }
}

class CloseQueryTest : public OptionsEditorTest {};

TEST_F(CloseQueryTest, TheFirstClashIsNamedWithItsCombinationInCtrlShiftAltWinOrder)
{
    AddToList("b second", "F5", true, true);
    AddToList("a first", "f5", true, true);
    AddToList("c third", "F5", true, true);
    Open();
    const CloseQuery query = editor->FormCloseQuery();
    EXPECT_EQ(query.verdict, CloseVerdict::Clash);
    EXPECT_EQ(query.question,
              "The macros \"a first\" and \"b second\" both share the same hot key combination:\r\n\r\n"
              "     [Ctrl] + [Alt] + F5\r\n\r\nOnly one of these macros will actually execute when the hot key "
              "combination is pressed.\r\n\r\nDo you want to change these macros now so that they do not "
              "conflict with each other?");

    TMacro all;
    all.HotKey = "K";
    all.HotKeyWin = all.HotKeyAlt = all.HotKeyShift = all.HotKeyCtrl = true;
    EXPECT_EQ(HotKeyClashKey(all), "[Ctrl] + [Shift] + [Alt] + [Win] + K");
}

TEST_F(CloseQueryTest, OtherModifiersOrAnEmptyKeyNeverClash)
{
    AddToList("a", "K", true, false);
    AddToList("b", "K", false, true);
    AddToList("c", "K", true, true);
    AddToList("d", "", true, true);
    AddToList("e", "", true, true);
    Open();
    EXPECT_EQ(editor->FormCloseQuery().verdict, CloseVerdict::Close);
}

TEST_F(CloseQueryTest, AHotKeySharedByMacrosForDifferentProgramsIsNoClash)
{
    const std::vector<std::tuple<const char*, const char*, CloseVerdict>> cases{
        {"notepad.exe", "wordpad.exe", CloseVerdict::Close},
        {"notepad.exe;winword.exe", "WINWORD.EXE", CloseVerdict::Clash},
    };
    for (const auto& [first, second, verdict] : cases) {
        store.MacroList.clear();
        AddToList("a", "K", true, true)->OnlyIn = first;
        AddToList("b", "K", true, true)->OnlyIn = second;
        Open();
        EXPECT_EQ(editor->FormCloseQuery().verdict, verdict) << first << " / " << second;
    }
}

TEST_F(CloseQueryTest, AnAbbreviationTheFileCannotKeepIsRefusedWithTheMacroShownAndNothingLost)
{
    AddToList("a clash", "K");
    AddToList("b clash", "K");
    const auto typed = AddToList("c typed");
    Open();
    editor->SelectMacro(2);
    editor->Panel.Abbreviation = "end";
    editor->Panel.OnlyIn = "notepad.exe";
    editor->SelectMacro(0);

    const CloseQuery query = editor->FormCloseQuery();
    EXPECT_EQ(query.verdict, CloseVerdict::Refused) << "before the clash, which may be let pass";
    EXPECT_EQ(query.question, TriggerRefusal(*typed, platform.codePage));
    EXPECT_EQ(view->selected, 2);
    EXPECT_EQ(editor->Panel.Abbreviation + "|" + editor->Panel.OnlyIn, "end|notepad.exe");
}

TEST_F(CloseQueryTest, PasswordRules)
{
    AddToList("x", "K");
    AddToList("y", "K");
    store.OptionsPassword = "Secret";
    Open();
    EXPECT_TRUE(editor->Page.PasswordProtect);
    EXPECT_EQ(editor->Page.PasswordConfirm, "Secret");

    editor->Page.Password = "new";
    editor->Page.PasswordConfirm = "New";
    EXPECT_EQ(editor->FormCloseQuery().verdict, CloseVerdict::PasswordMismatch);
    EXPECT_EQ(store.OptionsPassword, "Secret");
    editor->Page.PasswordConfirm = "new ";
    EXPECT_EQ(editor->FormCloseQuery().verdict, CloseVerdict::PasswordMismatch) << "blanks count";

    editor->Page.PasswordConfirm = "new";
    EXPECT_EQ(editor->FormCloseQuery().verdict, CloseVerdict::Clash);
    EXPECT_EQ(store.OptionsPassword, "new") << "taken even though the clash keeps the window open";

    editor->Page.Password.clear();
    editor->Page.PasswordConfirm.clear();
    editor->FormCloseQuery();
    EXPECT_EQ(store.OptionsPassword, "");

    editor->Page.Password = "a";
    editor->Page.PasswordConfirm = "b";
    editor->Page.PasswordProtect = false;
    editor->FormCloseQuery();
    EXPECT_EQ(store.OptionsPassword, "") << "unchecked clears it whatever the fields hold";
}

TEST_F(CloseQueryTest, CloseAppliesTheSettingsAndSavesInNameOrder)
{
    AddToList("zeta", "Z");
    AddToList("Alpha");
    Open();
    editor->Page.AutoStart = true;
    editor->Page.ShowInTray = false;
    editor->Page.SlowdownKeystrokes = true;
    editor->Page.UnicodeInput = true;
    editor->SelectMacro(1);
    editor->Panel.Name = "zeta renamed";
    editor->FormClose(700, 500);

    EXPECT_EQ(settings.OptionsWidth, "700");
    EXPECT_EQ(settings.OptionsHeight, "500");
    EXPECT_FALSE(settings.ShowInTray);
    EXPECT_TRUE(settings.SlowdownKeystrokes);
    EXPECT_TRUE(settings.UnicodeInput);
    EXPECT_EQ(trayShown, std::vector<bool>{false});
    EXPECT_EQ(registry.Get(AutoStart::kRunKey, "Velmora"), "\"C:\\Tools\\velmora.exe\"");
    ASSERT_EQ(store.MacroList.size(), 2u);
    EXPECT_EQ(store.MacroList[0].Name, "Alpha");
    EXPECT_EQ(store.MacroList[1].Macro->Name, "zeta renamed") << "the shown macro is committed first";
    EXPECT_EQ(hotKeysRegistered, 1);

    MacroStore reread(files);
    reread.LoadMacros();
    ASSERT_EQ(reread.MacroList.size(), 2u);
    EXPECT_EQ(reread.MacroList[1].Macro->Name, "zeta renamed");

    editor->Page.AutoStart = false;
    editor->FormClose(700, 500);
    EXPECT_EQ(registry.Get(AutoStart::kRunKey, "Velmora"), std::nullopt);
}

TEST_F(CloseQueryTest, AFailedSaveKeepsTheListAndTheWindowsEditsForAnotherTry)
{
    AddToList("b");
    AddToList("a");
    Open();
    editor->AddMacro();
    files.ReadOnlyFolder = true;
    EXPECT_THROW(
        {
            try {
                editor->FormClose(625, 468);
            } catch (const VelmoraError& error) {
                EXPECT_EQ(std::string(error.what()), "Cannot create file " + store.MacroFilePath());
                throw;
            }
        },
        VelmoraError);
    EXPECT_EQ(store.MacroList.size(), 2u);
    EXPECT_EQ(store.MacroList[0].Name, "b") << "not replaced";
    EXPECT_EQ(hotKeysRegistered, 0);
    EXPECT_EQ(editor->Entries().size(), 3u);

    files.ReadOnlyFolder = false;
    editor->FormClose(625, 468);
    EXPECT_EQ(store.MacroList.size(), 3u);
    EXPECT_EQ(hotKeysRegistered, 1);
}

TEST_F(CloseQueryTest, AnUnreadFileLocksTheMacrosAndTheCloseAppliesOnlyTheSettings)
{
    const std::string path = store.MacroFilePath();
    files.Put(path, "held by another program");
    files.Unreadable.insert(path);
    EXPECT_THROW(store.LoadMacros(), VelmoraError);
    AddToList("a", "K");
    AddToList("b", "K");
    Open();
    ASSERT_TRUE(editor->MacrosLocked());
    const std::string reason = editor->MacrosNotLoadedText();
    EXPECT_NE(reason.find("Cannot open file " + path + "."), std::string::npos) << reason;
    EXPECT_NE(reason.find("velmora.dtx.bak"), std::string::npos);

    editor->AddMacro();
    editor->SelectMacro(0);
    editor->DeleteMacro();
    editor->CommitHotKey();
    EXPECT_EQ(editor->Entries().size(), 2u);
    EXPECT_FALSE(editor->EditPanelVisible());
    EXPECT_TRUE(view->statuses.empty()) << "the status bar keeps saying why";

    editor->Page.PasswordProtect = true;
    editor->Page.Password = "typed";
    editor->Page.PasswordConfirm = "other";
    editor->Page.ShowInTray = false;
    EXPECT_EQ(editor->FormCloseQuery().verdict, CloseVerdict::Close) << "no edits to check";
    editor->FormClose(640, 480);
    EXPECT_EQ(store.OptionsPassword, "");
    EXPECT_FALSE(settings.ShowInTray);
    EXPECT_EQ(settings.OptionsWidth, "640");
    EXPECT_EQ(files.Files.at(path), "held by another program");
    EXPECT_EQ(files.Files.size(), 1u);
    EXPECT_EQ(hotKeysRegistered, 1) << "the hot keys come back";

    // Readable again: the next window works as ever.
    files.Unreadable.clear();
    files.Put(path, "");
    store.RetryLoad();
    Open();
    EXPECT_FALSE(editor->MacrosLocked());
    EXPECT_EQ(editor->MacrosNotLoadedText(), "");
    editor->AddMacro();
    editor->FormClose(640, 480);
    EXPECT_EQ(store.MacroList.size(), 1u);
}

TEST(OptionsWindowSize, StoredLengthsAreReadSafely)
{
    EXPECT_EQ(StoredWindowLength("-1000", 625, 625, 2000), 625);
    EXPECT_EQ(StoredWindowLength("700", 625, 625, 2000), 700);
    EXPECT_EQ(StoredWindowLength("$300", 625, 625, 2000), 768);
    EXPECT_EQ(StoredWindowLength("wide", 640, 625, 2000), 640);
    EXPECT_EQ(StoredWindowLength("", 640, 625, 2000), 640);
    EXPECT_EQ(StoredWindowLength("10", 640, 625, 2000), 625) << "never below the minimum";
    EXPECT_EQ(StoredWindowLength("99999", 640, 625, 2000), 2000) << "never beyond the screen";
    EXPECT_EQ(MacroListRowHeight(8), 18);
    EXPECT_EQ(MacroListRowHeight(9), 19);
    EXPECT_EQ(MacroListRowHeight(13), 27);
}

TEST(OptionsWindowLayout, WindowIsCentredAndWhollyOnTheWorkArea)
{
    struct Case {
        const char* what;
        int width, height;
        LayoutRect work;
        LayoutRect expected;
    };
    const Case cases[] = {
        {"fits", 625, 468, {0, 0, 1280, 994}, {327, 263, 625, 468}},
        {"stored 1400 x 900 on 1280 x 1024", 1400, 900, {0, 0, 1280, 994}, {0, 47, 1280, 900}},
        {"larger both ways", 3000, 2000, {0, 0, 1280, 994}, {0, 0, 1280, 994}},
        {"task bar at the top and left", 700, 500, {60, 40, 1000, 700}, {210, 140, 700, 500}},
        {"second monitor to the left", 800, 600, {-1920, 0, 1920, 1040}, {-1360, 220, 800, 600}},
        {"no work area", 625, 468, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const LayoutRect place = CentreOnWorkArea(c.width, c.height, c.work);
        EXPECT_EQ(place, c.expected) << c.what;
        EXPECT_GE(place.left, c.work.left) << c.what;
        EXPECT_LE(place.Right(), c.work.Right()) << c.what;
        EXPECT_GE(place.top, c.work.top) << c.what;
        EXPECT_LE(place.Bottom(), c.work.Bottom()) << c.what;
    }
}

TEST(OptionsWindowLayout, ListStretchesInHeightOnlyAndTheButtonsStayInTheirCorners)
{
    const auto place = [](const std::vector<LayoutRect>& places, int controlId) {
        const auto row = std::find_if(kOptionsTable.rows.begin(), kOptionsTable.rows.end(),
                                      [&](const LayoutRow& each) { return each.id == controlId; });
        return places[static_cast<std::size_t>(row - kOptionsTable.rows.begin())];
    };
    for (const int dpi : {96, 192}) {
        const std::vector<LayoutRect> small = LayOut(kOptionsTable, dpi);
        const LayoutSize design{ScaleLength(609, dpi), ScaleLength(468, dpi)};
        const std::vector<LayoutRect> large = LayOut(kOptionsTable, dpi, {design.width + 100, design.height + 50});
        const LayoutRect edit = place(small, options_id::kMacroEditPanel);
        EXPECT_EQ(edit.Right() + ScaleLength(8, dpi), place(small, options_id::kMacrosPage).width);
        EXPECT_EQ(place(small, kOkId).Right(), design.width - ScaleLength(8, dpi));
        EXPECT_EQ(place(large, kOkId).left, place(small, kOkId).left + 100);
        EXPECT_EQ(place(large, options_id::kHelp).Bottom(), design.height + 50 - ScaleLength(8, dpi));
        EXPECT_EQ(place(large, options_id::kMacroEditPanel).width, edit.width);
        EXPECT_EQ(place(large, options_id::kMacroEditPanel).height, edit.height + 50);
        EXPECT_EQ(place(large, options_id::kMacroList).width, place(small, options_id::kMacroList).width + 100);
        EXPECT_EQ(place(large, options_id::kMacroList).height, place(small, options_id::kMacroList).height + 50);
        EXPECT_EQ(place(large, options_id::kNextMacro).top, place(small, options_id::kNextMacro).top + 50)
            << "the boxes under the settings follow the panel's foot";
    }
}

TEST(PasswordGate, AsksOnlyWhenSetAndComparesExactly)
{
    int prompts = 0;
    std::vector<std::string> warnings;
    std::optional<std::string> typed;
    PasswordGate gate([&] { ++prompts; return typed; },
                      [&](std::string_view text) { warnings.emplace_back(text); });

    EXPECT_TRUE(gate.CheckOptionsPassword(""));
    EXPECT_EQ(prompts, 0);

    for (const char* wrong : {"secret", "Secret ", " Secret", ""}) {
        typed = wrong;
        EXPECT_FALSE(gate.CheckOptionsPassword("Secret")) << wrong;
    }
    EXPECT_EQ(warnings, std::vector<std::string>(4, "You have not entered the correct password."));
    typed = std::nullopt;
    EXPECT_FALSE(gate.CheckOptionsPassword("Secret"));
    EXPECT_EQ(warnings.size(), 4u) << "a cancel says nothing";
    typed = " Secret ";
    EXPECT_TRUE(gate.CheckOptionsPassword(" Secret "));
    EXPECT_FALSE(gate.PasswordShowing());
}

TEST(PasswordGate, ARequestWhileThePromptShowsIsRefusedSilently)
{
    PasswordGate* self = nullptr;
    bool inner = true;
    std::vector<std::string> warnings;
    PasswordGate gate(
        [&]() -> std::optional<std::string> {
            EXPECT_TRUE(self->PasswordShowing());
            inner = self->CheckOptionsPassword("pw");
            return "pw";
        },
        [&](std::string_view text) { warnings.emplace_back(text); });
    self = &gate;
    EXPECT_TRUE(gate.CheckOptionsPassword("pw")) << "the first prompt still works";
    EXPECT_FALSE(inner);
    EXPECT_TRUE(warnings.empty());

    PasswordGate failing([]() -> std::optional<std::string> { throw std::runtime_error("no window"); },
                         [](std::string_view) {});
    EXPECT_THROW(failing.CheckOptionsPassword("pw"), std::runtime_error);
    EXPECT_FALSE(failing.PasswordShowing()) << "a failed prompt does not lock the gate";
}

}  // namespace
}  // namespace velmora
