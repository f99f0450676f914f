// The settings and the Run value on the real registry of the current user
// (Wine's, in the harness's prefix), checked with the plain registry calls.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "settings/Settings.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::win32 {
namespace {

struct RawValue {
    DWORD type = REG_NONE;
    std::string data;
    bool operator==(const RawValue&) const = default;
};

UniqueKey OpenRaw(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return UniqueKey();
    }
    return UniqueKey(key);
}

std::optional<RawValue> QueryRaw(HKEY key, const std::string& name)
{
    DWORD size = 0;
    RawValue value;
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()),
                           &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

// Every value of a key, by name, as the plain calls see it.
std::map<std::string, RawValue> AllValues(const std::string& path)
{
    std::map<std::string, RawValue> values;
    const UniqueKey key = OpenRaw(path);
    if (!key) {
        return values;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        if (::RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        values[std::string(name, nameLength)] = QueryRaw(key.Get(), std::string(name, nameLength)).value_or(RawValue{});
    }
    return values;
}

void SetRaw(const std::string& path, const std::string& name, DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const UniqueKey owner(key);
    ASSERT_EQ(::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

RawValue Sz(const std::string& text)
{
    return {REG_SZ, text + '\0'};
}

// A key of its own per test, so runs and tests never see each other's values.
class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_baseName = "VelmoraTest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_keyPath = "Software\\" + m_baseName;
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_keyPath.c_str());
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, m_keyPath.c_str()); }

    std::string Section() const { return m_keyPath + "\\TMain"; }

    Win32Registry registry;
    std::string m_baseName;
    std::string m_keyPath;
};

TEST_F(Win32RegistryTest, SavedSettingsLandAsStringsAndComeBack)
{
    SettingsStore store(registry, m_baseName);
    SettingsRecord settings;
    settings.FirstTimeRun = false;
    settings.SlowdownKeystrokes = true;
    settings.OptionsHeight = " 500 ";
    settings.OptionsWidth = "700";
    settings.ReferencePage = "\xC4pfel";
    settings.UnicodeInput = true;
    store.Save(settings);

    EXPECT_EQ(AllValues(Section()), (std::map<std::string, RawValue>{
                                        {"FormVersion", Sz("0")},
                                        {"FirstTimeRun_Checked", Sz("False")},
                                        {"ShowInTray_Checked", Sz("True")},
                                        {"OptionsHeight_Caption", Sz("500")},
                                        {"SlowdownKeystrokes_Checked", Sz("True")},
                                        {"ReferencePage_Caption", Sz("\xC4pfel")},
                                        {"UnicodeInput_Checked", Sz("True")},
                                        {"OptionsWidth_Caption", Sz("700")},
                                    }));
    EXPECT_TRUE(AllValues(m_keyPath).empty()) << "nothing beside the section";

    SettingsStore later(registry, m_baseName);
    SettingsRecord restored;
    later.Restore(restored);
    EXPECT_FALSE(restored.FirstTimeRun);
    EXPECT_TRUE(restored.ShowInTray);
    EXPECT_TRUE(restored.SlowdownKeystrokes);
    EXPECT_EQ(restored.OptionsHeight, "500");
    EXPECT_EQ(restored.OptionsWidth, "700");
    EXPECT_EQ(restored.ReferencePage, "\xC4pfel");
    EXPECT_TRUE(restored.UnicodeInput);
}

TEST_F(Win32RegistryTest, RestoreCreatesTheKeyAndKeepsDefaultsWhenNothingIsStored)
{
    SettingsStore store(registry, m_baseName);
    SettingsRecord restored;
    store.Restore(restored);
    EXPECT_TRUE(OpenRaw(m_keyPath)) << "the settings key exists after the first restore";
    EXPECT_FALSE(OpenRaw(Section())) << "the section comes with the first save";
    EXPECT_TRUE(restored.FirstTimeRun);
    EXPECT_EQ(restored.OptionsHeight, "-1000");
}

TEST_F(Win32RegistryTest, StringsAreReadSafelyWhateverIsStored)
{
    SetRaw(Section(), "NoTerminator", REG_SZ, "True");
    SetRaw(Section(), "AfterTerminator", REG_SZ, std::string("480\0junk", 8));
    SetRaw(Section(), "Expandable", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9));
    SetRaw(Section(), "Empty", REG_SZ, "");
    SetRaw(Section(), "Number", REG_DWORD, std::string("\x01\0\0\0", 4));
    SetRaw(Section(), "Binary", REG_BINARY, "True");
    SetRaw(Section(), "Big", REG_SZ, std::string(200000, 'x') + '\0');
    SetRaw(Section(), "TooBig", REG_SZ, std::string(Win32Registry::kMaxValueBytes + 10, 'y') + '\0');

    const auto key = registry.OpenKeyReadOnly(Section());
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("NoTerminator"), "True");
    EXPECT_EQ(key->ReadString("AfterTerminator"), "480");
    EXPECT_EQ(key->ReadString("Expandable"), "%TEMP%\\x") << "read as stored, not expanded";
    EXPECT_EQ(key->ReadString("Empty"), "");
    EXPECT_EQ(key->ReadString("Number"), std::nullopt);
    EXPECT_EQ(key->ReadString("Binary"), std::nullopt);
    EXPECT_EQ(key->ReadString("Big"), std::string(200000, 'x'));
    EXPECT_EQ(key->ReadString("TooBig"), std::nullopt);
    EXPECT_EQ(key->ReadString("Missing"), std::nullopt);
    EXPECT_TRUE(key->ValueExists("Number")) << "any type counts";
    EXPECT_FALSE(key->ValueExists("Missing"));

    SetRaw(Section(), "FirstTimeRun_Checked", REG_SZ, "false");
    SetRaw(Section(), "ShowInTray_Checked", REG_DWORD, std::string("\0\0\0\0", 4));
    SetRaw(Section(), "OptionsWidth_Caption", REG_SZ, " 321");
    SettingsStore store(registry, m_baseName);
    SettingsRecord restored;
    store.Restore(restored);
    EXPECT_FALSE(restored.FirstTimeRun);
    EXPECT_TRUE(restored.ShowInTray) << "a number is not a stored setting";
    EXPECT_EQ(restored.OptionsWidth, "321");
}

TEST_F(Win32RegistryTest, KeysWriteDeleteAndRefuseWhatTheirAccessForbids)
{
    EXPECT_EQ(registry.OpenKeyReadOnly(m_keyPath), nullptr) << "opening never creates";

    const auto key = registry.CreateKey(m_keyPath + "\\A\\B");
    ASSERT_TRUE(key) << "missing parents are created too";
    EXPECT_TRUE(key->WriteString("Name", std::string("cut\0here", 8)));
    EXPECT_EQ(QueryRaw(OpenRaw(m_keyPath + "\\A\\B").Get(), "Name"), Sz("cut"));
    EXPECT_TRUE(key->WriteString("Name", "again"));
    EXPECT_EQ(key->ReadString("Name"), "again") << "a write replaces the value";
    EXPECT_TRUE(key->DeleteValue("Name"));
    EXPECT_FALSE(key->ValueExists("Name"));
    EXPECT_TRUE(key->DeleteValue("Name")) << "deleting a missing value is harmless";

    const auto readOnly = registry.OpenKeyReadOnly(m_keyPath + "\\A\\B");
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->WriteString("Name", "x"));
    EXPECT_FALSE(readOnly->ValueExists("Name"));
    ASSERT_TRUE(key->WriteString("Kept", "y"));
    EXPECT_FALSE(readOnly->DeleteValue("Kept"));
    EXPECT_EQ(readOnly->ReadString("Kept"), "y");
}

// Puts back whatever Run value the prefix had, so no test program is left
// to start at the next log-on.
class Win32AutoStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const UniqueKey run = OpenRaw(AutoStart::kRunKey)) {
            m_previous = QueryRaw(run.Get(), AutoStart::kRunValue);
        }
    }
    void TearDown() override
    {
        if (m_previous) {
            SetRaw(AutoStart::kRunKey, AutoStart::kRunValue, m_previous->type, m_previous->data);
        } else if (const UniqueKey run = OpenRaw(AutoStart::kRunKey)) {
            ::RegDeleteValueA(run.Get(), AutoStart::kRunValue);
        }
    }

    Win32Registry registry;
    AutoStart autoStart{registry};
    std::optional<RawValue> m_previous;
};

TEST_F(Win32AutoStartTest, RunValueHoldsThePathAndComesAndGoes)
{
    const std::string path = "C:\\Program Files\\Velmora Test\\velmora.exe";
    autoStart.Write(path);
    EXPECT_TRUE(autoStart.Exists());
    const UniqueKey run = OpenRaw(AutoStart::kRunKey);
    ASSERT_TRUE(run);
    EXPECT_EQ(QueryRaw(run.Get(), "Velmora"), Sz("\"" + path + "\""));

    autoStart.Remove();
    EXPECT_FALSE(autoStart.Exists());
    EXPECT_EQ(QueryRaw(run.Get(), "Velmora"), std::nullopt);
    autoStart.Remove();
    EXPECT_FALSE(autoStart.Exists());
}

}  // namespace
}  // namespace velmora::win32
