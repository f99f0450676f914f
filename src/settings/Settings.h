#pragma once

// The program's few settings, kept as string values in the current user's
// registry under "Software\<executable base name>\TMain", and the value that
// starts the program at log-on.

#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace velmora {

struct SettingsRecord {
    bool FirstTimeRun = true;
    bool ShowInTray = true;
    bool SlowdownKeystrokes = false;
    // Characters without a key go as Unicode input, not through the clipboard.
    bool UnicodeInput = false;
    std::string OptionsHeight = "-1000";
    std::string OptionsWidth = "-1000";
    std::string ReferencePage = "1";
};

// The file name without its folder and its last extension:
// "C:\x\velmora.exe" gives "velmora".
std::string ExecutableBaseName(std::string_view fullPath);

class SettingsStore {
public:
    static constexpr const char* kSection = "TMain";

    // baseName: see ExecutableBaseName; a renamed executable has its own settings.
    SettingsStore(IRegistry& registry, std::string_view baseName);

    // Loads what is stored over the record's values; what is missing or
    // unreadable keeps the value the record has.
    void Restore(SettingsRecord& settings);
    // Stores every setting. Failures are silent: there is no one to tell at exit.
    void Save(const SettingsRecord& settings);
    // Lets the exit skip a second save after the one at close.
    bool SavedSinceRestore() const { return m_saved; }

    // "Software\<base name>".
    const std::string& KeyPath() const { return m_keyPath; }

private:
    IRegistry& m_registry;
    std::string m_keyPath;
    bool m_saved = false;
};

// How the Run value's data names the program. Older versions wrote the path
// without quotes, which lets "C:\Program.exe" start at log-on for a path
// with a blank; letters compare without regard to case.
enum class RunValueForm { NotOurs, Unquoted, Quoted };
RunValueForm ReadRunValueForm(std::string_view data, std::string_view exePath);

// The Run value whose presence alone starts the program at log-on. Failures
// are silent.
class AutoStart {
public:
    static constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kRunValue = "Velmora";

    explicit AutoStart(IRegistry& registry) : m_registry(registry) {}

    // Stores the full path of the executable in quotes, without arguments,
    // creating the Run key when it is missing.
    void Write(const std::string& exePath);
    // Puts quotes around a value an older version wrote for this executable;
    // any other value is left as it is.
    void QuoteOldValue(const std::string& exePath);
    // Deleting a value that is not there is harmless.
    void Remove();
    // False also when the Run key cannot be read.
    bool Exists();

private:
    IRegistry& m_registry;
};

}  // namespace velmora
