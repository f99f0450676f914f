#include "settings/Settings.h"

#include <charconv>
#include <cstdint>
#include <exception>
#include <optional>

namespace velmora {

namespace {

constexpr const char* kFormVersionValue = "FormVersion";
// The settings layout this program writes; a stored version below 0 is not ours.
constexpr const char* kFormVersion = "0";

// The settings in the order they are read and written.
struct Field {
    const char* valueName;
    bool SettingsRecord::*flag;
    std::string SettingsRecord::*text;
};

constexpr Field kFields[] = {
    {"FirstTimeRun_Checked", &SettingsRecord::FirstTimeRun, nullptr},
    {"ShowInTray_Checked", &SettingsRecord::ShowInTray, nullptr},
    {"OptionsHeight_Caption", nullptr, &SettingsRecord::OptionsHeight},
    {"SlowdownKeystrokes_Checked", &SettingsRecord::SlowdownKeystrokes, nullptr},
    {"ReferencePage_Caption", nullptr, &SettingsRecord::ReferencePage},
    {"OptionsWidth_Caption", nullptr, &SettingsRecord::OptionsWidth},
    {"UnicodeInput_Checked", &SettingsRecord::UnicodeInput, nullptr},
};

// Blanks and control characters; bytes above 127 are letters of the code page.
bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// Letters compared without regard to case, ASCII only, whatever the locale.
bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// A decimal 32-bit integer with an optional sign; nothing for anything else.
std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string CurrentText(const SettingsRecord& settings, const Field& field)
{
    if (field.flag != nullptr) {
        return settings.*field.flag ? "True" : "False";
    }
    return settings.*field.text;
}

// Nothing, when the value is missing or cannot be read: one unreadable
// setting must not cost the others.
std::optional<std::string> ReadStored(IRegistryKey* section, const char* valueName)
{
    try {
        return section != nullptr ? section->ReadString(valueName) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void RestoreField(IRegistryKey* section, const Field& field, SettingsRecord& settings)
{
    const std::optional<std::string> stored = ReadStored(section, field.valueName);
    const std::string text = Trim(stored ? *stored : CurrentText(settings, field));
    if (field.flag == nullptr) {
        settings.*field.text = text;
    } else if (EqualsIgnoringCase(text, "True")) {
        settings.*field.flag = true;
    } else if (EqualsIgnoringCase(text, "False")) {
        settings.*field.flag = false;
    }
}

}  // namespace

std::string ExecutableBaseName(std::string_view fullPath)
{
    const auto separator = fullPath.find_last_of("\\/:");
    if (separator != std::string_view::npos) {
        fullPath.remove_prefix(separator + 1);
    }
    const auto dot = fullPath.rfind('.');
    if (dot != std::string_view::npos) {
        fullPath = fullPath.substr(0, dot);
    }
    return std::string(fullPath);
}

SettingsStore::SettingsStore(IRegistry& registry, std::string_view baseName)
    : m_registry(registry), m_keyPath("Software\\" + std::string(baseName))
{
}

void SettingsStore::Restore(SettingsRecord& settings)
{
    m_saved = false;
    std::unique_ptr<IRegistryKey> section;
    try {
        // The settings key exists from the first start on, even before a save.
        m_registry.CreateKey(m_keyPath);
        section = m_registry.OpenKeyReadOnly(m_keyPath + "\\" + kSection);
    } catch (const std::exception&) {
        // Nothing readable: the settings keep their values below.
    }
    std::int32_t version = 0;
    try {
        if (section) {
            version = ParseInteger(Trim(section->ReadString(kFormVersionValue).value_or(""))).value_or(0);
        }
    } catch (const std::exception&) {
        // An unreadable version counts as a missing one.
    }
    if (version < 0) {
        return;
    }
    for (const Field& field : kFields) {
        RestoreField(section.get(), field, settings);
    }
}

void SettingsStore::Save(const SettingsRecord& settings)
{
    m_saved = true;
    try {
        const auto section = m_registry.CreateKey(m_keyPath + "\\" + kSection);
        if (!section) {
            return;
        }
        section->WriteString(kFormVersionValue, kFormVersion);
        for (const Field& field : kFields) {
            section->WriteString(field.valueName, Trim(CurrentText(settings, field)));
        }
    } catch (const std::exception&) {
        // Runs at exit, where a failure has no one to report to.
    }
}

namespace {

std::string_view Unquoted(std::string_view path)
{
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    return path;
}

}  // namespace

RunValueForm ReadRunValueForm(std::string_view data, std::string_view exePath)
{
    const std::string_view path = Unquoted(exePath);
    if (path.empty() || !EqualsIgnoringCase(Unquoted(data), path)) {
        return RunValueForm::NotOurs;
    }
    return data.front() == '"' ? RunValueForm::Quoted : RunValueForm::Unquoted;
}

void AutoStart::Write(const std::string& exePath)
{
    if (const auto run = m_registry.CreateKey(kRunKey)) {
        run->WritePath(kRunValue, "\"" + std::string(Unquoted(exePath)) + "\"");
    }
}

void AutoStart::QuoteOldValue(const std::string& exePath)
{
    const auto run = m_registry.OpenKeyReadOnly(kRunKey);
    const std::optional<std::string> data = run ? run->ReadPath(kRunValue) : std::nullopt;
    if (data && ReadRunValueForm(*data, exePath) == RunValueForm::Unquoted) {
        Write(exePath);
    }
}

void AutoStart::Remove()
{
    if (const auto run = m_registry.CreateKey(kRunKey)) {
        run->DeleteValue(kRunValue);
    }
}

bool AutoStart::Exists()
{
    const auto run = m_registry.OpenKeyReadOnly(kRunKey);
    return run && run->ValueExists(kRunValue);
}

}  // namespace velmora
