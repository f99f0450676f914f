#include "macros/MacroFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "fakes/FakeFileSystem.h"
#include "macros/Error.h"
#include "support/FailingAllocations.h"
#include "support/TestVectors.h"

namespace velmora {
namespace {

using tests::FakeFileSystem;
using tests::LoadByteVector;

std::string Scrambled(std::string plain)
{
    ScrambleFileContent(plain);
    return plain;
}

class MacroFileTest : public ::testing::Test {
protected:
    const std::string dtx = FakeFileSystem::PathOf("velmora.dtx");
    const std::string dat = FakeFileSystem::PathOf("velmora.dat");

    FakeFileSystem files;
    MacroStore store{files};
    int replaced = 0;

    void SetUp() override
    {
        store.MacroListReplaced = [this] { ++replaced; };
    }

    void PutPlain(const std::string& plain) { files.Files[dtx] = Scrambled(plain); }

    // Loads the plain content of a vector, saves it back and returns the
    // plain bytes that were written.
    std::string LoadAndSave(const std::string& vectorName)
    {
        PutPlain(LoadByteVector(vectorName).plain);
        store.LoadMacros();
        store.SaveMacros(store.MacroList);
        return Scrambled(files.Files.at(dtx));
    }

    std::shared_ptr<TMacro> NewMacro(const std::string& name)
    {
        auto macro = std::make_shared<TMacro>();
        macro->Id = store.NewMacroId();
        macro->Name = name;
        return macro;
    }
};

TEST_F(MacroFileTest, EmptyListGivesTheEighteenByteExample)
{
    const auto vector = LoadByteVector("empty.hex");
    ASSERT_EQ(vector.stored.size(), 18u);
    store.SaveMacros({});
    EXPECT_EQ(files.Files.at(dtx), vector.stored);
    EXPECT_EQ(Scrambled(vector.stored), vector.plain);
    EXPECT_EQ(replaced, 1);
}

TEST_F(MacroFileTest, GoldenVectorsLoadToTheirRecordsAndSaveToTheSameBytes)
{
    for (const char* name : {"empty.hex", "keystrokes.hex", "launch.hex", "system.hex", "velmora.hex", "password.hex"}) {
        SCOPED_TRACE(name);
        FakeFileSystem freshFiles;
        MacroStore fresh{freshFiles};
        const std::string plain = LoadByteVector(name).plain;
        freshFiles.Files[dtx] = Scrambled(plain);
        fresh.LoadMacros();
        fresh.SaveMacros(fresh.MacroList);
        EXPECT_EQ(Scrambled(freshFiles.Files.at(dtx)), plain);
    }
}

TEST_F(MacroFileTest, KeystrokeVectorLoadsEveryField)
{
    PutPlain(LoadByteVector("keystrokes.hex").plain);
    store.LoadMacros();
    ASSERT_EQ(store.MacroList.size(), 2u);
    EXPECT_EQ(store.MaxMacroId, 12);

    const TMacroEntry& first = store.MacroList[0];
    EXPECT_EQ(first.Name, "Greeting");
    EXPECT_EQ(first.Macro->Id, 3);
    EXPECT_TRUE(first.Macro->HotKeyWin && first.Macro->HotKeyCtrl && first.Macro->HotKeyShift &&
                first.Macro->HotKeyAlt);
    EXPECT_EQ(first.Macro->HotKey, "F5");
    EXPECT_TRUE(first.Macro->HideOnReferenceCard);
    EXPECT_TRUE(first.Macro->RunAnother);
    EXPECT_EQ(first.Macro->RunAnotherId, 9);
    const auto* text = dynamic_cast<const TTextMacro*>(first.Macro->Settings.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text, "Hello there");
    EXPECT_TRUE(text->Paste);

    const TMacro& second = *store.MacroList[1].Macro;
    EXPECT_EQ(second.Name, "");
    EXPECT_EQ(second.HotKey, "");
    EXPECT_FALSE(second.HotKeyWin || second.HotKeyCtrl || second.HotKeyShift || second.HotKeyAlt);
    EXPECT_FALSE(second.RunAnother);
    const auto* secondText = dynamic_cast<const TTextMacro*>(second.Settings.get());
    ASSERT_NE(secondText, nullptr);
    EXPECT_EQ(secondText->Text, "\xE9\x0D\xFF");
}

TEST_F(MacroFileTest, OtherKindVectorsLoadTheirActions)
{
    PutPlain(LoadByteVector("launch.hex").plain);
    store.LoadMacros();
    ASSERT_EQ(store.MacroList.size(), 2u);
    const auto* launch = dynamic_cast<const TLaunchMacro*>(store.MacroList[0].Macro->Settings.get());
    ASSERT_NE(launch, nullptr);
    EXPECT_EQ(launch->FileName, "notepad.exe");
    EXPECT_EQ(launch->CommandLine, "C:\\todo.txt x");
    EXPECT_EQ(store.MacroList[1].Macro->HotKey, "Page Up");

    FakeFileSystem systemFiles;
    MacroStore systemStore{systemFiles};
    systemFiles.Files[dtx] = Scrambled(LoadByteVector("system.hex").plain);
    systemStore.LoadMacros();
    ASSERT_EQ(systemStore.MacroList.size(), 2u);
    EXPECT_EQ(dynamic_cast<const TSystemMacro&>(*systemStore.MacroList[0].Macro->Settings).Action, -1);
    EXPECT_EQ(dynamic_cast<const TSystemMacro&>(*systemStore.MacroList[1].Macro->Settings).Action, 3);

    FakeFileSystem commandFiles;
    MacroStore commandStore{commandFiles};
    commandFiles.Files[dtx] = Scrambled(LoadByteVector("velmora.hex").plain);
    commandStore.LoadMacros();
    ASSERT_EQ(commandStore.MacroList.size(), 1u);
    EXPECT_EQ(dynamic_cast<const TVelmoraMacro&>(*commandStore.MacroList[0].Macro->Settings).Action, 1);
}

TEST_F(MacroFileTest, PasswordKeyStartsAtTheCounterAndWraps)
{
    PutPlain(LoadByteVector("password.hex").plain);
    store.LoadMacros();
    EXPECT_EQ(store.OptionsPassword, "key");
    EXPECT_EQ(store.MaxMacroId, 255);

    EXPECT_EQ(ScramblePassword("A", 0x1234), std::string(1, static_cast<char>('A' ^ 0x34)));
    EXPECT_EQ(ScramblePassword("ab", -1), std::string("\x9E\x62", 2));
}

TEST_F(MacroFileTest, PasswordOrderAndRepetitionFollowTheFile)
{
    MemoryStream plain;
    WriteString(plain, "password");  // before the counter: key 0
    WriteString(plain, ScramblePassword("one", 0));
    WriteString(plain, "maxmacroid");
    WriteInt32(plain, 40);
    WriteString(plain, "end");  // passed over at the top level
    WriteString(plain, "password");
    WriteString(plain, ScramblePassword("two", 40));
    PutPlain(plain.Bytes());
    store.LoadMacros();
    EXPECT_EQ(store.OptionsPassword, "onetwo");
}

TEST_F(MacroFileTest, SavedFileLoadsBackTheSameState)
{
    auto first = NewMacro("Zeta");
    auto second = NewMacro("Alpha");
    second->RunAnother = true;
    second->RunAnotherId = first->Id;
    store.OptionsPassword = std::string("p\xFFw\0d", 5);
    store.SaveMacros({{"Zeta", first}, {"Alpha", second}});
    EXPECT_EQ(store.MacroList.size(), 2u);
    EXPECT_EQ(store.MacroList[1].Macro, second) << "the list takes the very same records";

    FakeFileSystem reloadedFiles;
    reloadedFiles.Files = files.Files;
    MacroStore reloaded{reloadedFiles};
    reloaded.LoadMacros();
    EXPECT_EQ(reloaded.MaxMacroId, 2);
    EXPECT_EQ(reloaded.OptionsPassword, store.OptionsPassword);
    ASSERT_EQ(reloaded.MacroList.size(), 2u);
    EXPECT_EQ(reloaded.MacroList[0].Name, "Zeta");
    EXPECT_EQ(reloaded.MacroList[1].Macro->RunAnotherId, 1);
}

TEST_F(MacroFileTest, AbbreviationsAndProgramListsSurviveASaveAndAReload)
{
    auto both = NewMacro("Both");
    both->Abbreviation = "brb";
    both->OnlyIn = "notepad.exe;wordpad.exe";
    store.SaveMacros({{"Both", both}, {"Neither", NewMacro("Neither")}});

    FakeFileSystem reloadedFiles;
    reloadedFiles.Files = files.Files;
    MacroStore reloaded{reloadedFiles};
    reloaded.LoadMacros();
    ASSERT_EQ(reloaded.MacroList.size(), 2u);
    EXPECT_EQ(reloaded.MacroList[0].Macro->Abbreviation, "brb");
    EXPECT_EQ(reloaded.MacroList[0].Macro->OnlyIn, "notepad.exe;wordpad.exe");
    EXPECT_EQ(reloaded.MacroList[1].Macro->Abbreviation + reloaded.MacroList[1].Macro->OnlyIn, "");
}

TEST_F(MacroFileTest, FileIsReadOnceAndWrittenOnce)
{
    std::string plain = LoadByteVector("keystrokes.hex").plain;
    PutPlain(plain);
    store.LoadMacros();
    EXPECT_EQ(files.ReadCalls, 1);
    store.NewMacroId();
    store.SaveMacros(store.MacroList);
    EXPECT_EQ(files.WriteCalls, 2) << "the file and its backup, each in one write";
}

TEST_F(MacroFileTest, NoFileOrEmptyFileMeansNoMacros)
{
    store.LoadMacros();
    EXPECT_TRUE(store.MacroList.empty());
    EXPECT_EQ(store.MaxMacroId, 0);
    EXPECT_EQ(NewMacro("first")->Id, 1);

    files.Files[dtx] = "";
    MacroStore emptyStore{files};
    emptyStore.LoadMacros();
    EXPECT_TRUE(emptyStore.MacroList.empty());
    EXPECT_EQ(emptyStore.OptionsPassword, "");
    EXPECT_TRUE(files.Files.count(dtx)) << "a load never writes the file";
}

TEST_F(MacroFileTest, UnreadableFileIsNeverSavedOverAndLoadsOnceReadable)
{
    PutPlain(LoadByteVector("keystrokes.hex").plain);
    const std::string stored = files.Files.at(dtx);
    files.Unreadable.insert(dtx);
    try {
        store.LoadMacros();
        FAIL() << "expected an error";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + dtx);
    }
    EXPECT_TRUE(store.MacroList.empty());
    EXPECT_FALSE(store.Loaded());
    EXPECT_EQ(store.LoadError(), "Cannot open file " + dtx);

    // Still held: the retry fails too, and no save replaces the file.
    EXPECT_THROW(store.RetryLoad(), VelmoraError);
    EXPECT_THROW(store.SaveMacros({{"new", NewMacro("new")}}), VelmoraError);
    EXPECT_EQ(files.Files.at(dtx), stored);
    EXPECT_EQ(files.Files.count(dtx + ".bak"), 0u);
    EXPECT_EQ(replaced, 0);

    files.Unreadable.clear();
    store.RetryLoad();
    EXPECT_TRUE(store.Loaded());
    EXPECT_EQ(store.LoadError(), "");
    ASSERT_EQ(store.MacroList.size(), 2u) << "read afresh, the earlier attempt's state dropped";
    EXPECT_EQ(store.MacroList[0].Name, "Greeting");
    const int reads = files.ReadCalls;
    store.RetryLoad();
    EXPECT_EQ(files.ReadCalls, reads) << "a loaded file is not read again";
    EXPECT_EQ(store.MacroList.size(), 2u);
    store.SaveMacros({{"new", NewMacro("new")}});
    EXPECT_EQ(files.Files.at(dtx + ".bak"), stored);
}

TEST_F(MacroFileTest, DamagedFilesKeepWhatCameBeforeTheDamage)
{
    const std::string plain = LoadByteVector("keystrokes.hex").plain;
    const std::size_t secondMacro = plain.rfind("\x05\0\0\0macro", std::string::npos, 9);
    ASSERT_NE(secondMacro, std::string::npos);

    // Cut inside the second macro: the length changes, so the stored bytes
    // are cut and then unscrambled with the wrong key, as on a real disk.
    std::string stored = Scrambled(plain);
    stored.resize(secondMacro + 20);
    files.Files[dtx] = stored;
    EXPECT_NO_THROW(store.LoadMacros());
    EXPECT_EQ(files.Files.at(dtx), stored) << "a damaged file stays as it was";
    EXPECT_TRUE(store.Loaded()) << "read to its end without an error: saves may replace it";

    // Cut the plain content and scramble it for its new length: the first
    // macro is whole and kept.
    MacroStore cutStore{files};
    files.Files[dtx] = Scrambled(plain.substr(0, secondMacro + 20));
    cutStore.LoadMacros();
    ASSERT_EQ(cutStore.MacroList.size(), 2u);
    EXPECT_EQ(cutStore.MacroList[0].Name, "Greeting");
    EXPECT_EQ(cutStore.MacroList[1].Macro->Id, 9);
    EXPECT_EQ(cutStore.MaxMacroId, 12);

    // A damaged length in the middle claims far more than the file holds.
    std::string damaged = plain;
    const std::size_t nameLength = damaged.find("\x08\0\0\0Greeting", 0, 12);
    damaged[nameLength + 3] = '\x7F';
    MacroStore damagedStore{files};
    files.Files[dtx] = Scrambled(damaged);
    damagedStore.LoadMacros();
    ASSERT_EQ(damagedStore.MacroList.size(), 1u);
    EXPECT_EQ(damagedStore.MacroList[0].Macro->Id, 3);
    EXPECT_EQ(damagedStore.MacroList[0].Macro->Name.size(), damaged.size() - nameLength - 4);
}

TEST_F(MacroFileTest, ExtendedFileReadsAsDamagedWithoutLosingTheFile)
{
    std::string stored = Scrambled(LoadByteVector("velmora.hex").plain);
    stored += "extra";
    files.Files[dtx] = stored;
    EXPECT_NO_THROW(store.LoadMacros());
    EXPECT_EQ(files.Files.at(dtx), stored);
}

TEST_F(MacroFileTest, IdentifiersStayAboveEveryLoadedMacro)
{
    MemoryStream plain;
    WriteString(plain, "maxmacroid");
    WriteInt32(plain, 2);
    TMacro seven;
    seven.Id = 7;
    WriteString(plain, "macro");
    WriteMacro(seven, plain);
    PutPlain(plain.Bytes());
    store.LoadMacros();
    EXPECT_EQ(store.MaxMacroId, 7);
    EXPECT_EQ(NewMacro("next")->Id, 8);

    // Adding and then dropping a macro still uses up its identifier.
    NewMacro("dropped");
    store.SaveMacros(store.MacroList);
    MacroStore reloaded{files};
    reloaded.LoadMacros();
    EXPECT_EQ(reloaded.MaxMacroId, 9);
}

TEST_F(MacroFileTest, FileWithoutCounterTakesTheLargestIdentifier)
{
    MemoryStream plain;
    for (const std::int32_t id : {-4, 6, 3}) {
        TMacro macro;
        macro.Id = id;
        WriteString(plain, "macro");
        WriteMacro(macro, plain);
    }
    PutPlain(plain.Bytes());
    store.LoadMacros();
    EXPECT_EQ(store.MaxMacroId, 6);
}

TEST_F(MacroFileTest, ReadingThatFailsAnywhereKeepsTheCounterAboveLoadedMacrosAndStopsSaves)
{
    MemoryStream plain;
    WriteString(plain, "maxmacroid");
    WriteInt32(plain, 1);
    for (const std::int32_t id : {30, 12, 41}) {
        TMacro macro;
        macro.Id = id;
        macro.Name = "a name long enough to need its own allocation";
        WriteString(plain, "macro");
        WriteMacro(macro, plain);
    }
    PutPlain(plain.Bytes());
    const std::string stored = files.Files.at(dtx);

    // Fail each allocation of the load in turn, as running out of memory would.
    int failures = 0;
    for (long after = 0;; ++after) {
        MacroStore attempt{files};
        tests::FailAllocationAfter(after);
        try {
            attempt.LoadMacros();
        } catch (const std::bad_alloc&) {
            ++failures;
        }
        const bool failedHere = !tests::DisarmAllocationFailure();
        for (const TMacroEntry& entry : attempt.MacroList) {
            EXPECT_GE(attempt.MaxMacroId, entry.Macro->Id) << "failing allocation " << after;
        }
        if (!failedHere) {
            EXPECT_TRUE(attempt.Loaded());
            EXPECT_EQ(attempt.MaxMacroId, 41);
            break;
        }
        EXPECT_FALSE(attempt.Loaded()) << "failing allocation " << after;
        EXPECT_THROW(attempt.SaveMacros(attempt.MacroList), VelmoraError);
        EXPECT_EQ(files.Files.at(dtx), stored);
    }
    EXPECT_GT(failures, 3);
}

TEST_F(MacroFileTest, CounterCannotWrapOntoStoredIdentifiers)
{
    store.MaxMacroId = INT32_MAX - 1;
    EXPECT_EQ(store.NewMacroId(), INT32_MAX);
    EXPECT_THROW(store.NewMacroId(), VelmoraError);
    EXPECT_EQ(store.MaxMacroId, INT32_MAX);
}

class MacroFileSaveFailureTest : public MacroFileTest {
protected:
    void SetUp() override
    {
        MacroFileTest::SetUp();
        PutPlain(LoadByteVector("keystrokes.hex").plain);
        files.Put(backup, "an older backup");
        store.LoadMacros();
        before = files.Files.at(dtx);
        macrosBefore = store.MacroList;
        replacement = {{"only", NewMacro("only")}};
    }

    const std::string backup = dtx + ".bak";
    std::string before;
    TMacroList macrosBefore;
    TMacroList replacement;
};

TEST_F(MacroFileSaveFailureTest, EachFaultLeavesTheFileTheListAndTheHotKeysAsTheyWere)
{
    struct Case {
        const char* fault;
        std::function<void(FakeFileSystem&)> inject;
        std::string error;
        bool backupReplaced;
    };
    const std::vector<Case> cases = {
        {"read-only folder", [](FakeFileSystem& f) { f.ReadOnlyFolder = true; }, "Cannot create file " + dtx, false},
        {"disk full halfway", [](FakeFileSystem& f) { f.DiskSpace = 10; }, "Cannot create file " + dtx, false},
        {"flush fails", [](FakeFileSystem& f) { f.FailFlush = true; }, "Cannot create file " + dtx, false},
        {"close fails", [](FakeFileSystem& f) { f.FailClose = true; }, "Cannot create file " + dtx, false},
        {"moves fail", [](FakeFileSystem& f) { f.FailMove = true; }, "Cannot create file " + backup, false},
        {"backup read-only", [this](FakeFileSystem& f) { f.ReadOnly.insert(backup); }, "Cannot create file " + backup,
         false},
        {"file held for reading", [this](FakeFileSystem& f) { f.InUse.insert(dtx); }, "Cannot create file " + dtx,
         true},
        {"file unreadable now", [this](FakeFileSystem& f) { f.Unreadable.insert(dtx); }, "Cannot open file " + dtx,
         false},
    };
    files.FailureText = "The system's reason.";
    const FakeFileSystem pristine = files;
    for (const Case& each : cases) {
        SCOPED_TRACE(each.fault);
        files = pristine;
        each.inject(files);
        try {
            store.SaveMacros(replacement);
            ADD_FAILURE() << "expected an error";
        } catch (const VelmoraError& error) {
            EXPECT_EQ(std::string(error.what()), each.error + ": The system's reason.");
        }
        EXPECT_EQ(files.Files.at(dtx), before);
        EXPECT_EQ(files.Files.at(backup), each.backupReplaced ? before : "an older backup");
        EXPECT_EQ(files.Files.size(), 2u) << "no temporary file may be left behind";
        ASSERT_EQ(store.MacroList.size(), macrosBefore.size());
        EXPECT_EQ(store.MacroList[0].Macro, macrosBefore[0].Macro);
        EXPECT_EQ(replaced, 0) << "the hot keys must not be registered again";
    }
}

TEST_F(MacroFileSaveFailureTest, SaveSucceedsOnceTheDiskHasRoom)
{
    files.DiskSpace = 10;
    EXPECT_THROW(store.SaveMacros(replacement), VelmoraError);
    files.DiskSpace = static_cast<std::size_t>(-1);
    store.SaveMacros(replacement);
    EXPECT_EQ(store.MacroList.size(), 1u);
    EXPECT_EQ(replaced, 1);
}

// A step failing alone, or the program dying at it: every file on disk is
// still whole, old or new, and the next start loads.
TEST_F(MacroFileSaveFailureTest, AFaultAtAnyStepLeavesTheFileAndItsBackupWhole)
{
    const std::string newContent = Scrambled(BuildMacroFileContent(replacement, store.MaxMacroId, store.OptionsPassword));
    for (const bool powerCut : {false, true}) {
        for (int step = 0;; ++step) {
            SCOPED_TRACE((powerCut ? "power cut after step " : "failing step ") + std::to_string(step));
            FakeFileSystem disk;
            disk.Put(dtx, before);
            disk.Put(backup, "an older backup");
            (powerCut ? disk.StepsBeforePowerCut : disk.FailingStep) = step;
            MacroStore saving{disk};
            saving.MaxMacroId = store.MaxMacroId;
            saving.OptionsPassword = store.OptionsPassword;
            bool saved = true;
            try {
                saving.SaveMacros(replacement);
            } catch (const VelmoraError&) {
                saved = false;
            }
            const std::string& now = disk.Files.at(dtx);
            EXPECT_TRUE(now == before || now == newContent);
            EXPECT_EQ(now == newContent, saved) << "a save reports what it did";
            const std::string& kept = disk.Files.at(backup);
            EXPECT_TRUE(kept == "an older backup" || kept == before);
            if (now == newContent) {
                EXPECT_EQ(kept, before) << "the file is replaced only after its backup";
            }
            MacroStore restarted{disk};
            disk.StepsBeforePowerCut = disk.FailingStep = -1;
            EXPECT_NO_THROW(restarted.LoadMacros());
            if (step >= disk.Steps) {
                EXPECT_TRUE(saved);
                break;
            }
        }
    }
}

class LegacyFileTest : public MacroFileTest {
protected:
    const std::string legacyPlain = LoadByteVector("legacy.hex").plain;
    const std::string keystrokesPlain = LoadByteVector("keystrokes.hex").plain;
};

TEST_F(LegacyFileTest, ConvertedWhenAlone)
{
    files.Put(dat, legacyPlain);
    store.LoadMacros();
    EXPECT_FALSE(files.FileExists(dat));
    EXPECT_EQ(files.Files.at(dtx), Scrambled(legacyPlain));
    ASSERT_EQ(store.MacroList.size(), 1u);
    EXPECT_EQ(store.MacroList[0].Name, "Legacy");
    EXPECT_EQ(store.OptionsPassword, "ss");
    EXPECT_EQ(store.MaxMacroId, 5);
}

// Only a newer legacy file replaces velmora.dtx, which it keeps as the
// backup; without times to compare, velmora.dtx is left alone.
TEST_F(LegacyFileTest, ReplacesOnlyAnOlderFileBesideItKeepingItAsTheBackup)
{
    const std::tuple<const char*, bool, bool> cases[] = {
        {"legacy file newer", true, false}, {"data file newer", false, false}, {"no times", true, true}};
    for (const auto& [name, legacyNewer, failTimes] : cases) {
        SCOPED_TRACE(name);
        files = FakeFileSystem{};
        files.FailTimes = failTimes;
        files.Put(legacyNewer ? dtx : dat, legacyNewer ? Scrambled(keystrokesPlain) : legacyPlain);
        files.Put(legacyNewer ? dat : dtx, legacyNewer ? legacyPlain : Scrambled(keystrokesPlain));
        const bool converted = legacyNewer && !failTimes;
        MacroStore loading{files};
        loading.LoadMacros();
        EXPECT_EQ(files.FileExists(dat), !converted);
        ASSERT_EQ(loading.MacroList.size(), converted ? 1u : 2u);
        EXPECT_EQ(loading.MacroList[0].Name, converted ? "Legacy" : "Greeting");
        EXPECT_EQ(files.Files.at(converted ? dtx + ".bak" : dtx), Scrambled(keystrokesPlain));
    }
}

// The legacy file cannot be deleted; it is converted once all the same.
TEST_F(LegacyFileTest, AnUndeletableFileIsConvertedOnlyOnce)
{
    // Read-only, it is renamed; open elsewhere, it is older than the data file.
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "open elsewhere");
        files = FakeFileSystem{};
        files.Put(dat, legacyPlain);
        (readOnly ? files.ReadOnly : files.InUse).insert(dat);
        MacroStore first{files};
        first.LoadMacros();
        EXPECT_EQ(first.MacroList.size(), 1u);
        EXPECT_EQ(files.FileExists(dat), !readOnly);
        EXPECT_EQ(files.FileExists(dat + ".converted"), readOnly);

        MacroStore saving{files};  // a later save, newer than the legacy file
        saving.LoadMacros();
        saving.SaveMacros({{"Later", NewMacro("Later")}});
        const std::string saved = files.Files.at(dtx);
        for (int start = 0; start < 2; ++start) {
            MacroStore later{files};
            later.LoadMacros();
            ASSERT_EQ(later.MacroList.size(), 1u);
            EXPECT_EQ(later.MacroList[0].Name, "Later");
            EXPECT_EQ(files.Files.at(dtx), saved);
        }
    }
}

TEST_F(LegacyFileTest, FailedConversionKeepsBothFilesAndStopsSaves)
{
    PutPlain(keystrokesPlain);
    files.Put(dat, legacyPlain);
    const std::string dtxBefore = files.Files.at(dtx);
    files.DiskSpace = 7;
    EXPECT_THROW(store.LoadMacros(), VelmoraError);
    EXPECT_EQ(files.Files.at(dat), legacyPlain);
    EXPECT_EQ(files.Files.at(dtx), dtxBefore);
    EXPECT_EQ(files.Files.size(), 2u);
    EXPECT_FALSE(store.Loaded());

    files.Unreadable.insert(dat);
    files.DiskSpace = static_cast<std::size_t>(-1);
    try {
        store.LoadMacros();
        FAIL() << "expected an error";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + dat);
    }
    EXPECT_TRUE(files.FileExists(dat));
    EXPECT_THROW(store.SaveMacros({}), VelmoraError);
    EXPECT_EQ(files.Files.at(dtx), dtxBefore);
}

TEST_F(MacroFileTest, ASaveOfTheBytesOnDiskWritesNothingSoTheBackupKeepsTheLastRealChange)
{
    PutPlain(LoadByteVector("keystrokes.hex").plain);
    store.LoadMacros();
    const std::string original = files.Files.at(dtx);
    EXPECT_FALSE(store.SaveMacros(store.MacroList).written);
    EXPECT_EQ(files.Steps, 0) << "nothing created, written or moved";
    EXPECT_EQ(replaced, 1) << "the hot keys come back all the same";
    EXPECT_TRUE(store.SaveMacros({{"new", NewMacro("new")}}).written);
    const int steps = files.Steps;
    EXPECT_FALSE(store.SaveMacros(store.MacroList).written);
    EXPECT_EQ(files.Steps, steps);
    EXPECT_EQ(files.Files.at(dtx + ".bak"), original) << "the version before the last real change";
}

TEST_F(MacroFileTest, OnlyNotFoundMeansNoFileAndAnythingElseIsAnUnreadableFile)
{
    const std::tuple<const char*, std::uint32_t, FileState> cases[] = {
        {"file not found", 2, FileState::Missing},        {"path not found", 3, FileState::Missing},
        {"access denied", 5, FileState::Unknown},         {"network path not found", 53, FileState::Unknown},
        {"network name deleted", 64, FileState::Unknown}, {"device not ready", 21, FileState::Unknown},
    };
    for (const auto& [error, code, state] : cases) {
        SCOPED_TRACE(error);
        EXPECT_EQ(FileStateAfterError(code), state);
        // The file is there, with a legacy file beside it, but the system says `error`.
        files = FakeFileSystem{};
        files.FailureText = error;
        files.Put(dtx, "stored");
        files.Put(dat, "legacy");
        if (state == FileState::Unknown) {
            files.CannotTell = {dtx};
        } else {
            files.Files.erase(dtx);
        }
        MacroStore loading{files};
        if (state == FileState::Missing) {
            EXPECT_NO_THROW(loading.LoadMacros());
            continue;
        }
        EXPECT_THROW(loading.LoadMacros(), VelmoraError);
        EXPECT_EQ(loading.LoadError(), "Cannot open file " + dtx + ": " + error);
        EXPECT_THROW(loading.SaveMacros({}), VelmoraError);
        EXPECT_EQ(files.Files.at(dtx), "stored") << "neither saved nor converted over";
        EXPECT_EQ(files.Files.size(), 2u);
    }
}

class ChangedElsewhereTest : public MacroFileTest {
protected:
    void SetUp() override
    {
        MacroFileTest::SetUp();
        store.Now = [] { return LocalTime{.year = 2024, .month = 3, .day = 7, .hour = 9, .minute = 5, .second = 4}; };
        store.SaveMacros({{"mine", NewMacro("mine")}});
    }

    // Another program saves velmora.dtx with these macros.
    std::string WriteElsewhere(const TMacroList& macros, std::int32_t maxMacroId, const std::string& password = {})
    {
        files.Put(dtx, Scrambled(BuildMacroFileContent(macros, maxMacroId, password)));
        return files.Files.at(dtx);
    }
};

TEST_F(ChangedElsewhereTest, ASaveKeepsTheOtherVersionBesideTheFileAndSaysSo)
{
    const std::string kept = FakeFileSystem::PathOf("velmora (changed elsewhere 2024-03-07 090504).dtx");
    const std::string keptAgain = FakeFileSystem::PathOf("velmora (changed elsewhere 2024-03-07 090504 2).dtx");
    const TMacroList window = {{"window", NewMacro("window")}};
    const auto windowBytes = [&] { return Scrambled(BuildMacroFileContent(window, store.MaxMacroId, "")); };
    const std::string theirs = WriteElsewhere({{"theirs", NewMacro("theirs")}}, 9);

    const SaveOutcome outcome = store.SaveMacros(window);
    EXPECT_EQ(outcome.keptVersion, kept);
    EXPECT_EQ(files.Files.at(kept), theirs);
    EXPECT_EQ(files.Files.at(dtx), windowBytes());
    EXPECT_EQ(files.Files.at(dtx + ".bak"), theirs);

    // Again within the same second: the first kept version stays.
    const std::string again = WriteElsewhere({{"again", NewMacro("again")}}, 9);
    EXPECT_EQ(store.SaveMacros(window).keptVersion, keptAgain);
    EXPECT_EQ(files.Files.at(kept), theirs);
    EXPECT_EQ(files.Files.at(keptAgain), again);

    // Nothing to keep: unchanged since this store wrote it, gone, or already the window's bytes.
    const std::function<void()> cases[] = {
        [] {}, [&] { files.Files.erase(dtx); }, [&] { files.Put(dtx, windowBytes()); }};
    for (const auto& happenElsewhere : cases) {
        happenElsewhere();
        EXPECT_EQ(store.SaveMacros(window).keptVersion, "");
        EXPECT_EQ(files.Files.at(dtx), windowBytes());
        EXPECT_EQ(files.Files.size(), 4u) << "the file, its backup and the two kept versions";
    }
}

TEST_F(ChangedElsewhereTest, AChangeOnDiskIsLoadedAndAnUnreadableOneIsToldOnce)
{
    const std::shared_ptr<TMacro> theirs = NewMacro("theirs");
    const std::tuple<const char*, std::function<void()>, FileCheck::Result, const char*> steps[] = {
        {"its own save", [] {}, FileCheck::Unchanged, "mine"},
        {"held open", [&] { files.Unreadable.insert(dtx); }, FileCheck::Unreadable, "mine"},
        {"still held", [] {}, FileCheck::Unchanged, "mine"},
        {"free again, changed", [&] {
             files.Unreadable.clear();
             WriteElsewhere({{"theirs", theirs}}, 3, "pw");
         }, FileCheck::Reloaded, "theirs"},
        {"on a share that blinks, after a good read", [&] { files.CannotTell.insert(dtx); },
         FileCheck::Unreadable, "theirs"},
        {"deleted", [&] {
             files.CannotTell.clear();
             files.Files.erase(dtx);
         }, FileCheck::Unchanged, "theirs"},
    };
    const std::int32_t idsHandedOut = store.MaxMacroId = 50;
    for (const auto& [what, happen, result, firstMacro] : steps) {
        SCOPED_TRACE(what);
        happen();
        const FileCheck check = store.ReloadIfChanged();
        EXPECT_EQ(check.result, result);
        EXPECT_EQ(check.result == FileCheck::Unreadable, !check.error.empty());
        ASSERT_EQ(store.MacroList.size(), 1u);
        EXPECT_EQ(store.MacroList[0].Name, firstMacro);
    }
    EXPECT_EQ(store.OptionsPassword, "pw");
    EXPECT_EQ(store.MaxMacroId, idsHandedOut) << "the file's lower counter never lowers it";
    EXPECT_EQ(replaced, 1) << "a reload leaves the hot keys to the caller, which shows no refusals";
}

TEST_F(ChangedElsewhereTest, ClosingWithoutSavingPutsTheFilesMacrosBackInForce)
{
    const std::string ours = files.Files.at(dtx);
    store.MacroList[0].Macro->Name = "edited in place";
    store.OptionsPassword = "typed";
    files.ReadOnlyFolder = true;
    const TMacroList window = {store.MacroList[0], {"added", NewMacro("added")}};
    EXPECT_THROW(store.SaveMacros(window), VelmoraError);
    store.DiscardEdits();
    ASSERT_EQ(store.MacroList.size(), 1u);
    EXPECT_EQ(store.MacroList[0].Name, "mine");
    EXPECT_EQ(store.MacroList[0].Macro->Name, "mine");
    EXPECT_EQ(store.OptionsPassword, "");
    EXPECT_EQ(files.Files.at(dtx), ours);
    EXPECT_EQ(replaced, 2) << "the hot keys of the macros in force";
}

TEST(ErrorBoxText, FullStopIsAddedOnlyAfterLettersAndDigits)
{
    EXPECT_EQ(ErrorBoxText("Cannot open file C:\\velmora.dtx"), "Cannot open file C:\\velmora.dtx.");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Really?"), "Really?.");  // '?' is above '.'
    EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorBoxText(""), "");
    EXPECT_EQ(FormatText("Cannot create file %s", "x"), "Cannot create file x");
}

}  // namespace
}  // namespace velmora
