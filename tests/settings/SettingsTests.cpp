#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeRegistry.h"

namespace velmora {
namespace {

using tests::FakeRegistry;

constexpr const char* kKey = "Software\\velmora";
constexpr const char* kSection = "Software\\velmora\\TMain";

bool operator==(const SettingsRecord& a, const SettingsRecord& b)
{
    return a.FirstTimeRun == b.FirstTimeRun && a.ShowInTray == b.ShowInTray &&
           a.SlowdownKeystrokes == b.SlowdownKeystrokes && a.OptionsHeight == b.OptionsHeight &&
           a.OptionsWidth == b.OptionsWidth && a.ReferencePage == b.ReferencePage;
}

TEST(ExecutableBaseName, DropsFolderAndLastExtension)
{
    EXPECT_EQ(ExecutableBaseName("C:\\x\\velmora.exe"), "velmora");
    EXPECT_EQ(ExecutableBaseName("/home/u/.wine/drive_c/velmora.exe"), "velmora");
    EXPECT_EQ(ExecutableBaseName("C:\\a/b\\Velmora.EXE"), "Velmora") << "mixed separators, case kept";
    EXPECT_EQ(ExecutableBaseName("C:\\Tools.v2\\velmora"), "velmora") << "a dot in the folder is no extension";
    EXPECT_EQ(ExecutableBaseName("C:\\x\\my.macros.exe"), "my.macros");
    EXPECT_EQ(ExecutableBaseName("C:velmora.exe"), "velmora");
    EXPECT_EQ(ExecutableBaseName("velmora.exe"), "velmora");
}

class SettingsStoreTest : public ::testing::Test {
protected:
    FakeRegistry registry;
    SettingsStore store{registry, "velmora"};
    SettingsRecord settings;

    SettingsRecord Restored()
    {
        SettingsRecord restored;
        store.Restore(restored);
        return restored;
    }
};

TEST_F(SettingsStoreTest, NothingStoredKeepsDefaultsAndCreatesTheKey)
{
    EXPECT_EQ(store.KeyPath(), kKey);
    const SettingsRecord restored = Restored();
    EXPECT_TRUE(restored == SettingsRecord{});
    EXPECT_EQ(registry.Keys.count(kKey), 1u) << "the settings key exists from the first start";
    EXPECT_TRUE(registry.Writes.empty()) << "restoring writes no value";

    // A section holding only some values: the rest keep the record's own.
    registry.Set(kSection, "ShowInTray_Checked", "False");
    SettingsRecord partly;
    partly.ReferencePage = "4";
    store.Restore(partly);
    EXPECT_FALSE(partly.ShowInTray);
    EXPECT_TRUE(partly.FirstTimeRun);
    EXPECT_EQ(partly.ReferencePage, "4");
    EXPECT_EQ(partly.OptionsHeight, "-1000");
}

TEST_F(SettingsStoreTest, BooleansReadInAnyCaseAndOtherTextsLeaveThem)
{
    for (const char* text : {"true", "TRUE", "True", "tRuE", " true\t", "\r\ntrue\n"}) {
        registry.Set(kSection, "SlowdownKeystrokes_Checked", text);
        EXPECT_TRUE(Restored().SlowdownKeystrokes) << '"' << text << '"';
    }
    for (const char* text : {"false", "FALSE", "fAlSe", "  False  "}) {
        registry.Set(kSection, "FirstTimeRun_Checked", text);
        EXPECT_FALSE(Restored().FirstTimeRun) << '"' << text << '"';
    }
    for (const char* text : {"yes", "1", "0", "", "T", "Truee", "no", "Fals", "true\xA0", "\xA0true"}) {
        registry.Set(kSection, "FirstTimeRun_Checked", text);
        registry.Set(kSection, "SlowdownKeystrokes_Checked", text);
        const SettingsRecord restored = Restored();
        EXPECT_TRUE(restored.FirstTimeRun) << '"' << text << "\" keeps true";
        EXPECT_FALSE(restored.SlowdownKeystrokes) << '"' << text << "\" keeps false";
    }
}

TEST_F(SettingsStoreTest, TextsLoseSurroundingBlanksAndControlCharactersOnly)
{
    registry.Set(kSection, "OptionsHeight_Caption", "  480 \t");
    registry.Set(kSection, "OptionsWidth_Caption", std::string("\x01\x1F 6 4 0\x7F\x20", 9));
    registry.Set(kSection, "ReferencePage_Caption", "\xE9t\xE9");
    const SettingsRecord restored = Restored();
    EXPECT_EQ(restored.OptionsHeight, "480");
    EXPECT_EQ(restored.OptionsWidth, "6 4 0\x7F") << "inner blanks and DEL stay";
    EXPECT_EQ(restored.ReferencePage, "\xE9t\xE9") << "8-bit letters are not blanks";

    registry.Set(kSection, "ReferencePage_Caption", " ");
    EXPECT_EQ(Restored().ReferencePage, "") << "a stored empty text is a text";
}

TEST_F(SettingsStoreTest, FormVersionDecidesWhetherAnythingIsRestored)
{
    registry.Set(kSection, "ShowInTray_Checked", "False");
    registry.Set(kSection, "OptionsWidth_Caption", "700");
    const auto showInTrayAfter = [&](const char* version) {
        registry.Set(kSection, "FormVersion", version);
        return Restored().ShowInTray;
    };
    for (const char* version : {"0", "1", "+7", " 0 ", "", "abc", "1x", "--1", "+-1", "-", "99999999999",
                                "-99999999999", "0x10"}) {
        EXPECT_FALSE(showInTrayAfter(version)) << "version \"" << version << "\" restores";
    }
    for (const char* version : {"-1", " -1", "-2147483648"}) {
        EXPECT_TRUE(showInTrayAfter(version)) << "version \"" << version << "\" skips restoring";
        EXPECT_EQ(Restored().OptionsWidth, "-1000");
    }

    registry.Keys[kSection].erase("FormVersion");
    EXPECT_FALSE(Restored().ShowInTray) << "a missing version counts as 0";
    registry.Set(kSection, "FormVersion", "-1", false);
    EXPECT_FALSE(Restored().ShowInTray) << "a version that is no string counts as 0";
}

TEST_F(SettingsStoreTest, OneUnreadableValueDoesNotStopTheOthers)
{
    registry.Set(kSection, "FirstTimeRun_Checked", "False");
    registry.Set(kSection, "ShowInTray_Checked", "False");
    registry.Set(kSection, "OptionsHeight_Caption", "300");
    registry.Set(kSection, "SlowdownKeystrokes_Checked", "True");
    registry.Set(kSection, "ReferencePage_Caption", "3");
    registry.Set(kSection, "OptionsWidth_Caption", "400", false);
    registry.Set(kSection, "UnicodeInput_Checked", "True");

    registry.OutOfMemoryReads.insert("ShowInTray_Checked");
    registry.FailingReads.insert("ReferencePage_Caption");
    const SettingsRecord restored = Restored();
    EXPECT_FALSE(restored.FirstTimeRun);
    EXPECT_TRUE(restored.ShowInTray) << "the failed setting keeps its value";
    EXPECT_EQ(restored.OptionsHeight, "300");
    EXPECT_TRUE(restored.SlowdownKeystrokes);
    EXPECT_EQ(restored.ReferencePage, "1");
    EXPECT_EQ(restored.OptionsWidth, "-1000") << "a value of another type is not read";
    EXPECT_TRUE(restored.UnicodeInput);
    EXPECT_EQ(registry.Reads, (std::vector<std::string>{"FormVersion", "FirstTimeRun_Checked", "ShowInTray_Checked",
                                                        "OptionsHeight_Caption", "SlowdownKeystrokes_Checked",
                                                        "ReferencePage_Caption", "OptionsWidth_Caption",
                                                        "UnicodeInput_Checked"}));

    registry.OutOfMemoryReads = {"FormVersion"};
    EXPECT_FALSE(Restored().FirstTimeRun) << "an unreadable version counts as 0";

    registry.FailOpen = true;
    registry.FailCreate = true;
    SettingsRecord custom;
    custom.OptionsHeight = "50";
    store.Restore(custom);
    EXPECT_EQ(custom.OptionsHeight, "50") << "no registry at all keeps the record";
    EXPECT_TRUE(custom.FirstTimeRun);
}

TEST_F(SettingsStoreTest, SaveWritesEveryValueInOrder)
{
    settings.FirstTimeRun = false;
    settings.SlowdownKeystrokes = true;
    settings.OptionsHeight = " 512\n";
    settings.OptionsWidth = "\t640";
    settings.ReferencePage = "2";
    EXPECT_FALSE(store.SavedSinceRestore());
    store.Save(settings);
    EXPECT_TRUE(store.SavedSinceRestore());
    EXPECT_EQ(registry.Writes, (std::vector<std::string>{
                                   "Software\\velmora\\TMain|FormVersion=0",
                                   "Software\\velmora\\TMain|FirstTimeRun_Checked=False",
                                   "Software\\velmora\\TMain|ShowInTray_Checked=True",
                                   "Software\\velmora\\TMain|OptionsHeight_Caption=512",
                                   "Software\\velmora\\TMain|SlowdownKeystrokes_Checked=True",
                                   "Software\\velmora\\TMain|ReferencePage_Caption=2",
                                   "Software\\velmora\\TMain|OptionsWidth_Caption=640",
                                   "Software\\velmora\\TMain|UnicodeInput_Checked=False",
                               }));
    EXPECT_EQ(registry.Keys.at(kSection).size(), 8u);
    EXPECT_EQ(registry.Keys.count(kKey), 1u);

    store.Restore(settings);
    EXPECT_FALSE(store.SavedSinceRestore()) << "a restore starts a new round";
}

TEST_F(SettingsStoreTest, SavedSettingsComeBackAndTheKeyFollowsTheBaseName)
{
    settings.FirstTimeRun = false;
    settings.ShowInTray = false;
    settings.SlowdownKeystrokes = true;
    settings.OptionsHeight = "768";
    settings.OptionsWidth = "1024";
    settings.ReferencePage = "12";
    store.Save(settings);
    EXPECT_TRUE(Restored() == settings);

    SettingsStore renamed(registry, "tools");
    SettingsRecord fresh;
    renamed.Restore(fresh);
    EXPECT_TRUE(fresh == SettingsRecord{}) << "a renamed executable starts from the defaults";
    renamed.Save(fresh);
    EXPECT_EQ(registry.Get("Software\\tools\\TMain", "ShowInTray_Checked"), "True");
    EXPECT_EQ(registry.Get(kSection, "ShowInTray_Checked"), "False");
}

TEST_F(SettingsStoreTest, FailedSaveIsSilentAndStillCounts)
{
    registry.FailCreate = true;
    store.Save(settings);
    EXPECT_TRUE(store.SavedSinceRestore());
    EXPECT_TRUE(registry.Keys.empty());
}

class AutoStartTest : public ::testing::Test {
protected:
    FakeRegistry registry;
    AutoStart autoStart{registry};
    const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
};

TEST_F(AutoStartTest, WriteRemoveAndExists)
{
    EXPECT_FALSE(autoStart.Exists()) << "no Run key";
    autoStart.Write("C:\\Program Files\\Velmora\\velmora.exe");
    EXPECT_TRUE(autoStart.Exists());
    EXPECT_EQ(registry.Get(kRun, "Velmora"), "\"C:\\Program Files\\Velmora\\velmora.exe\"")
        << "quoted, so C:\\Program.exe cannot take its place";

    autoStart.Write("\"D:\\Other Place\\velmora.exe\"");
    EXPECT_EQ(registry.Get(kRun, "Velmora"), "\"D:\\Other Place\\velmora.exe\"") << "quoted once, path replaced";

    registry.Set(kRun, "SomethingElse", "x");
    autoStart.Remove();
    EXPECT_FALSE(autoStart.Exists());
    EXPECT_EQ(registry.Get(kRun, "SomethingElse"), "x") << "only our value goes";
    autoStart.Remove();
    EXPECT_FALSE(autoStart.Exists()) << "removing twice is harmless";

    registry.Set(kRun, "velmora", "", false);
    EXPECT_TRUE(autoStart.Exists()) << "presence alone counts, whatever the type or case";
}

// A value an older version wrote without quotes is still the program's own
// and gets its quotes at the next start; other values are left alone.
TEST_F(AutoStartTest, OldUnquotedValueIsRecognisedAndQuoted)
{
    const std::string exe = "Z:\\Home\\My Tools\\velmora.exe";
    struct Case {
        const char* stored;
        RunValueForm form;
        const char* after;
    };
    const Case cases[] = {
        {"Z:\\Home\\My Tools\\velmora.exe", RunValueForm::Unquoted, "\"Z:\\Home\\My Tools\\velmora.exe\""},
        {"z:\\home\\my tools\\VELMORA.EXE", RunValueForm::Unquoted, "\"Z:\\Home\\My Tools\\velmora.exe\""},
        {"\"Z:\\Home\\My Tools\\velmora.exe\"", RunValueForm::Quoted, "\"Z:\\Home\\My Tools\\velmora.exe\""},
        {"Z:\\Other\\velmora.exe", RunValueForm::NotOurs, "Z:\\Other\\velmora.exe"},
        {"Z:\\Home\\My Tools\\velmora.exe /options", RunValueForm::NotOurs,
         "Z:\\Home\\My Tools\\velmora.exe /options"},
        {"\"Z:\\Home\\My Tools\\velmora.exe", RunValueForm::NotOurs, "\"Z:\\Home\\My Tools\\velmora.exe"},
        {"", RunValueForm::NotOurs, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(ReadRunValueForm(c.stored, exe), c.form);
        registry.Set(kRun, "Velmora", c.stored);
        autoStart.QuoteOldValue(exe);
        EXPECT_EQ(registry.Get(kRun, "Velmora"), c.after);
    }
    EXPECT_EQ(ReadRunValueForm("", ""), RunValueForm::NotOurs);

    registry.Keys.clear();
    autoStart.QuoteOldValue(exe);
    EXPECT_FALSE(autoStart.Exists()) << "no value, none made: the user turned the start at log-on off";
}

TEST_F(AutoStartTest, RegistryFailuresAreSilent)
{
    autoStart.Write("C:\\velmora.exe");
    registry.FailOpen = true;
    EXPECT_FALSE(autoStart.Exists()) << "an unreadable Run key reads as absent";
    registry.FailOpen = false;

    registry.FailCreate = true;
    autoStart.Remove();
    EXPECT_TRUE(autoStart.Exists()) << "a Run key that cannot be opened is skipped";
    registry.Keys.clear();
    autoStart.Write("C:\\velmora.exe");
    EXPECT_FALSE(autoStart.Exists());
}

}  // namespace
}  // namespace velmora
