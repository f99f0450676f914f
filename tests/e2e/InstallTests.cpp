// The Windows packages as a user gets them: the setup program installs into
// the user's own programs folder, an upgrade over a running Velmora keeps the
// user's macros and settings, the uninstaller removes the program and keeps
// (or, when asked, removes) the user's data, and the portable zip runs from
// any folder and keeps its macros beside itself.

#include <gtest/gtest.h>

#include "platform/win32/Win32.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Version.h"
#include "e2e/support/VelmoraProcess.h"
#include "options/OptionsControls.h"
#include "platform/win32/ProcessIdentity.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tests::Click;
using tests::DialogText;
using tests::HostPath;
using tests::ReadHostFile;
using tests::RegistryText;
using tests::RunToEnd;
using tests::SetRegistryText;
using tests::StartProgram;
using tests::TextOf;
using tests::TrayIconShown;
using tests::Type;
using tests::WaitFor;

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";
constexpr const char* kSettingsKey = "Software\\velmora";

std::string KnownFolder(int folder)
{
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return path;
}

// The running Velmora as a second start finds it: through the block that
// holds its main window. The block is let go at once, or the next start would
// take this test for the running instance.
struct RunningVelmora {
    HWND window = nullptr;
    DWORD processId = 0;
    std::string program;
};

std::optional<RunningVelmora> FindRunningVelmora()
{
    win32::UniqueHandle mapping(
        ::OpenFileMappingA(FILE_MAP_READ, FALSE, win32::UserObjectName("Velmora1(ipc)").c_str()));
    if (!mapping) {
        return std::nullopt;
    }
    const void* view = ::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(std::int32_t));
    if (view == nullptr) {
        return std::nullopt;
    }
    const auto low = *static_cast<const volatile std::int32_t*>(view);
    ::UnmapViewOfFile(view);
    RunningVelmora running;
    running.window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(low));
    if (!::IsWindow(running.window)) {
        return std::nullopt;
    }
    ::GetWindowThreadProcessId(running.window, &running.processId);
    win32::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running.processId));
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (process && ::QueryFullProcessImageNameA(process.Get(), 0, path, &size)) {
        running.program = path;
    }
    return running;
}

// Start-up is over once the tray icon shows.
std::optional<RunningVelmora> WaitForRunningVelmora()
{
    std::optional<RunningVelmora> running;
    WaitFor([&] { return (running = FindRunningVelmora()) && TrayIconShown(running->window); }, 60s);
    return running;
}

// A file's bytes, or nothing while it is not there.
std::optional<std::string> ReadIfThere(const std::string& path)
{
    try {
        return ReadHostFile(path);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool SamePath(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(fs::path(a).lexically_normal().string().c_str(),
                       fs::path(b).lexically_normal().string().c_str()) == 0;
}

// The dialogs of a setup program or uninstaller. Their captions end in a
// blank where a page would name itself.
std::vector<HWND> SetupWindows(const std::string& caption)
{
    std::vector<HWND> found;
    for (HWND window = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); window != nullptr;
         window = ::FindWindowExA(nullptr, window, "#32770", nullptr)) {
        std::string text = TextOf(window);
        text.erase(text.find_last_not_of(' ') + 1);
        if (text == caption) {
            found.push_back(window);
        }
    }
    return found;
}

// Every value under a key of HKEY_CURRENT_USER, by its path below the key.
using RegistrySnapshot = std::map<std::string, std::pair<DWORD, std::string>>;

void SnapshotKey(HKEY key, const std::string& prefix, RegistrySnapshot& snapshot)
{
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD nameSize = sizeof name;
        BYTE data[2048] = {};
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) {
            break;
        }
        snapshot[prefix + name] = {type, std::string(reinterpret_cast<const char*>(data), dataSize)};
    }
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        if (::RegEnumKeyA(key, index, name, sizeof name) != ERROR_SUCCESS) {
            break;
        }
        HKEY child = nullptr;
        if (::RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            SnapshotKey(child, prefix + name + "\\", snapshot);
            ::RegCloseKey(child);
        }
    }
}

std::optional<RegistrySnapshot> Snapshot(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistrySnapshot snapshot;
    SnapshotKey(key, "", snapshot);
    ::RegCloseKey(key);
    return snapshot;
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

std::optional<DWORD> RegistryNumber(const std::string& path, const char* value)
{
    DWORD number = 0;
    DWORD size = sizeof number;
    if (::RegGetValueA(HKEY_CURRENT_USER, path.c_str(), value, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return number;
}

// Where a shortcut leads, read through the shell as Explorer reads it.
std::string ShortcutTarget(const std::string& link)
{
    IShellLinkA* shellLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&shellLink)))) {
        return {};
    }
    std::string target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        const std::wstring wide(link.begin(), link.end());
        char path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

// A string of a file's version resource, and its numeric file version.
struct VersionInfo {
    std::string productVersion;
    std::string fileVersion;
    std::string productName;
    std::uint64_t number = 0;
};

VersionInfo ReadVersionInfo(const std::string& path)
{
    VersionInfo info;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return info;
    }
    std::vector<char> block(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return info;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
        info.number = (std::uint64_t{fixed->dwFileVersionMS} << 32) | fixed->dwFileVersionLS;
    }
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (!::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                          &length) ||
        length < sizeof(Translation)) {
        return info;
    }
    char prefix[64] = {};
    std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", translation->language,
                  translation->codePage);
    const auto text = [&](const char* name) -> std::string {
        char* value = nullptr;
        UINT chars = 0;
        if (::VerQueryValueA(block.data(), (std::string(prefix) + name).c_str(), reinterpret_cast<void**>(&value),
                             &chars) &&
            value != nullptr) {
            return value;
        }
        return {};
    };
    info.productVersion = text("ProductVersion");
    info.fileVersion = text("FileVersion");
    info.productName = text("ProductName");
    return info;
}

// 1.24.083 is the file version 1.24.83.0.
std::uint64_t NumericVersion(const std::string& text)
{
    unsigned major = 0, minor = 0, build = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%u", &major, &minor, &build) != 3) {
        return 0;
    }
    return (std::uint64_t{major} << 48) | (std::uint64_t{minor} << 32) | (std::uint64_t{build} << 16);
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_FALSE(FindRunningVelmora()) << "another Velmora runs; the tests would end it";
        setup = HostPath(VELMORA_SETUP_EXE);
        installFolder = KnownFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Velmora";
        shortcut = KnownFolder(CSIDL_PROGRAMS) + "\\Velmora.lnk";
        ASSERT_FALSE(installFolder.starts_with("\\")) << "no local application data folder";
        runBefore = RegistryText(tests::kRunKey, "Velmora");
        RemoveInstallation();
    }

    void TearDown() override
    {
        if (const auto running = FindRunningVelmora()) {
            EndVelmora(*running);
        }
        // A setup window a failed test left would keep the test run waiting.
        for (const char* caption : {"Velmora Setup", "Velmora Uninstall"}) {
            for (const HWND window : SetupWindows(caption)) {
                DWORD processId = 0;
                ::GetWindowThreadProcessId(window, &processId);
                win32::UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
                if (process && ::TerminateProcess(process.Get(), 1)) {
                    ::WaitForSingleObject(process.Get(), 10000);
                }
            }
        }
        RemoveInstallation();
        tests::ForgetSettings("velmora", runBefore);
        ::CoUninitialize();
    }

    // What an earlier run may have left, so every test starts on a clean machine.
    void RemoveInstallation()
    {
        std::error_code ignored;
        fs::remove_all(installFolder, ignored);
        fs::remove(shortcut, ignored);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    static void EndVelmora(const RunningVelmora& running)
    {
        win32::UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, running.processId));
        ::PostMessageA(running.window, WM_CLOSE, 0, 0);
        if (process && ::WaitForSingleObject(process.Get(), 20000) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.Get(), 1);
        }
    }

    std::string Installed(const char* name) const { return installFolder + "\\" + name; }

    void InstallSilently()
    {
        const auto exitCode = RunToEnd(setup, "/S", {}, 120s);
        ASSERT_TRUE(exitCode.has_value()) << "the setup program did not run to its end";
        ASSERT_EQ(*exitCode, 0u);
        ASSERT_TRUE(fs::exists(Installed("velmora.exe")));
    }

    // The macros and settings of a user who has used Velmora for a while:
    // it has run and stored all its settings, and two were changed since.
    void GiveTheUserData()
    {
        // A first save, kept as the backup by the second, and what a save
        // that died halfway leaves.
        tests::SaveMacros(installFolder + "\\", {{"Greeting", tests::HotKeyMacro(1, "Kind regards", "G")}});
        std::ofstream(Installed("velmora.dtx.bak.tmp"), std::ios::binary) << "a backup being written";
        tests::SaveMacros(installFolder + "\\",
                            {{"Greeting", tests::HotKeyMacro(1, "Kind regards", "G")},
                             {"Signature", tests::HotKeyMacro(2, "Velmora user", "S", true)}});
        const std::string settings = std::string(kSettingsKey) + "\\TMain";
        // No welcome window: this user has run Velmora before.
        ASSERT_NO_FATAL_FAILURE(SetRegistryText(settings, "FirstTimeRun_Checked", "False"));
        win32::UniqueHandle process = StartProgram(Installed("velmora.exe"));
        ASSERT_TRUE(WaitForRunningVelmora()) << "the installed program did not start";
        ASSERT_EQ(RunToEnd(Installed("velmora.exe"), "/shutdown"), 0u);
        ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
        ASSERT_NO_FATAL_FAILURE(SetRegistryText(settings, "SlowdownKeystrokes_Checked", "True"));
        ASSERT_NO_FATAL_FAILURE(SetRegistryText(settings, "OptionsWidth_Caption", "800"));
    }

    // The NSIS uninstaller runs from a copy in the temporary folder and the
    // program started here ends at once, so the test waits for its work.
    bool WaitForProgramFilesGone()
    {
        return WaitFor(
            [&] {
                return !fs::exists(Installed("uninstall.exe")) && !fs::exists(Installed("velmora.exe")) &&
                       !KeyExists(kUninstallKey);
            },
            60s);
    }

    std::string setup;
    std::string installFolder;
    std::string shortcut;
    std::optional<std::string> runBefore;
};

TEST_F(InstallTest, PackagesCarryTheVersionOfTheProgram)
{
    const VersionInfo installer = ReadVersionInfo(setup);
    const VersionInfo program = ReadVersionInfo(HostPath(VELMORA_EXE));
    EXPECT_EQ(installer.productVersion, VELMORA_VERSION_TEXT);
    EXPECT_EQ(program.productVersion, VELMORA_VERSION_TEXT);
    EXPECT_EQ(program.fileVersion, VELMORA_VERSION_TEXT);
    EXPECT_EQ(installer.productName, "Velmora");
    EXPECT_NE(installer.number, 0u);
    EXPECT_EQ(installer.number, NumericVersion(VELMORA_VERSION_TEXT));
    EXPECT_EQ(program.number, NumericVersion(VELMORA_VERSION_TEXT));
    EXPECT_NE(std::string(VELMORA_SETUP_EXE).find(std::string("velmora-setup-") + VELMORA_VERSION_TEXT + ".exe"),
              std::string::npos);
    // The setup program shows the program's own icon.
    EXPECT_NE(::ExtractIconA(::GetModuleHandleA(nullptr), setup.c_str(), 0), nullptr);
}

TEST_F(InstallTest, SilentInstallPutsTheProgramInTheUsersOwnFolderAndItRuns)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());
    EXPECT_EQ(ReadHostFile(Installed("velmora.exe")), ReadHostFile(HostPath(VELMORA_EXE)));
    EXPECT_EQ(ReadHostFile(Installed("velmora.chm")), ReadHostFile(HostPath(VELMORA_CHM)));
    EXPECT_TRUE(fs::exists(Installed("uninstall.exe")));
    EXPECT_FALSE(fs::exists(Installed("velmora.dtx"))) << "setup wrote macros of its own";
    EXPECT_TRUE(SamePath(ShortcutTarget(shortcut), Installed("velmora.exe"))) << ShortcutTarget(shortcut);

    EXPECT_EQ(RegistryText(kUninstallKey, "DisplayName"), "Velmora");
    EXPECT_EQ(RegistryText(kUninstallKey, "DisplayVersion"), VELMORA_VERSION_TEXT);
    EXPECT_EQ(RegistryText(kUninstallKey, "Publisher"), "Brackwell, Inc.");
    EXPECT_EQ(RegistryText(kUninstallKey, "DisplayIcon"), Installed("velmora.exe") + ",0");
    EXPECT_EQ(RegistryText(kUninstallKey, "InstallLocation"), installFolder);
    EXPECT_EQ(RegistryText(kUninstallKey, "UninstallString"), "\"" + Installed("uninstall.exe") + "\"");
    const auto programKilobytes = (fs::file_size(Installed("velmora.exe")) + fs::file_size(Installed("velmora.chm"))) / 1024;
    const auto estimated = RegistryNumber(kUninstallKey, "EstimatedSize");
    ASSERT_TRUE(estimated.has_value());
    EXPECT_GE(*estimated, programKilobytes);
    EXPECT_LE(*estimated, programKilobytes + 1024) << "the size counts more than the program";

    EXPECT_FALSE(FindRunningVelmora()) << "a silent install started Velmora though it was not running";
    win32::UniqueHandle process = StartProgram(Installed("velmora.exe"));
    ASSERT_TRUE(process);
    const auto running = WaitForRunningVelmora();
    ASSERT_TRUE(running) << "the installed program did not start";
    EXPECT_TRUE(SamePath(running->program, Installed("velmora.exe"))) << running->program;

    EXPECT_EQ(RunToEnd(Installed("velmora.exe"), "/shutdown"), 0u);
    EXPECT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0) << "/shutdown did not end it";
}

TEST_F(InstallTest, SetupRefusesProgramFilesBecauseTheMacrosLiveBesideTheProgram)
{
    const std::string protectedFolder = KnownFolder(CSIDL_PROGRAM_FILES) + "\\Velmora";
    ASSERT_FALSE(fs::exists(protectedFolder));
    // /D= must come last and unquoted.
    const auto exitCode = RunToEnd(setup, "/S /D=" + protectedFolder);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 2u) << "setup reported success";
    EXPECT_FALSE(fs::exists(protectedFolder + "\\velmora.exe"));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    std::error_code ignored;
    fs::remove_all(protectedFolder, ignored);
}

TEST_F(InstallTest, InstallingWithTheWizardEndsByStartingVelmora)
{
    ASSERT_TRUE(StartProgram(setup));
    HWND wizard = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        const auto windows = SetupWindows("Velmora Setup");
        wizard = windows.empty() ? nullptr : windows.front();
        return wizard != nullptr && ::IsWindowVisible(wizard);
    })) << "the setup wizard did not show";
    const HWND next = ::GetDlgItem(wizard, IDOK);
    const auto press = [&](const char* caption) {
        return WaitFor([&] { return TextOf(next) == caption && ::IsWindowEnabled(next); }) &&
               (Click(next), true);
    };
    // The folder page offers the user's own programs folder.
    const auto folderField = [&] {
        HWND field = nullptr;
        WaitFor([&] {
            const HWND page = ::FindWindowExA(wizard, nullptr, "#32770", nullptr);
            field = page != nullptr ? ::FindWindowExA(page, nullptr, "Edit", nullptr) : nullptr;
            return field != nullptr && ::IsWindowVisible(field);
        });
        return field;
    }();
    ASSERT_NE(folderField, nullptr);
    EXPECT_TRUE(SamePath(TextOf(folderField), installFolder)) << TextOf(folderField);
    ASSERT_TRUE(press("&Install")) << TextOf(next);

    ASSERT_TRUE(WaitFor([&] { return TextOf(next) == "&Finish"; }, 60s)) << TextOf(next);
    HWND startNow = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        const HWND page = ::FindWindowExA(wizard, nullptr, "#32770", nullptr);
        startNow = page != nullptr ? ::FindWindowExA(page, nullptr, "Button", "Start Velmora now") : nullptr;
        return startNow != nullptr && ::IsWindowVisible(startNow);
    })) << "the last page does not offer to start Velmora";
    EXPECT_EQ(::SendMessageA(startNow, BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_TRUE(press("&Finish"));

    const auto running = WaitForRunningVelmora();
    ASSERT_TRUE(running) << "Velmora did not start";
    EXPECT_TRUE(SamePath(running->program, Installed("velmora.exe"))) << running->program;
    EXPECT_EQ(RunToEnd(Installed("velmora.exe"), "/shutdown"), 0u);
    EXPECT_TRUE(WaitFor([] { return !FindRunningVelmora(); }));
}

TEST_F(InstallTest, UpgradeOverARunningVelmoraRestartsItAndKeepsMacrosAndSettings)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());
    ASSERT_NO_FATAL_FAILURE(GiveTheUserData());
    const std::string macros = ReadHostFile(Installed("velmora.dtx"));
    const std::string backup = ReadHostFile(Installed("velmora.dtx.bak"));
    ASSERT_FALSE(backup.empty());
    // An older help file stands for the older build being replaced.
    std::ofstream(Installed("velmora.chm"), std::ios::binary | std::ios::trunc) << "an older help file";

    win32::UniqueHandle before = StartProgram(Installed("velmora.exe"));
    const auto first = WaitForRunningVelmora();
    ASSERT_TRUE(first) << "the installed program did not start";
    const auto settings = Snapshot(kSettingsKey);
    ASSERT_TRUE(settings.has_value());

    ASSERT_NO_FATAL_FAILURE(InstallSilently());

    EXPECT_EQ(::WaitForSingleObject(before.Get(), 0), WAIT_OBJECT_0) << "setup replaced the files of a running Velmora";
    const auto second = WaitForRunningVelmora();
    ASSERT_TRUE(second) << "setup did not start Velmora again";
    EXPECT_NE(second->processId, first->processId);
    EXPECT_TRUE(SamePath(second->program, Installed("velmora.exe"))) << second->program;

    EXPECT_EQ(ReadHostFile(Installed("velmora.chm")), ReadHostFile(HostPath(VELMORA_CHM))) << "not replaced";
    EXPECT_EQ(ReadHostFile(Installed("velmora.dtx")), macros);
    EXPECT_EQ(ReadHostFile(Installed("velmora.dtx.bak")), backup);
    EXPECT_EQ(Snapshot(kSettingsKey), settings);
    const TMacroList kept = tests::LoadMacros(installFolder + "\\");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Macro->Name, "Macro 1");

    EXPECT_EQ(RunToEnd(Installed("velmora.exe"), "/shutdown"), 0u);
    EXPECT_TRUE(WaitFor([] { return !FindRunningVelmora(); })) << "the restarted Velmora did not end";
    EXPECT_EQ(Snapshot(kSettingsKey), settings) << "the restarted Velmora lost a setting";
}

TEST_F(InstallTest, SilentUninstallRemovesTheProgramAndKeepsTheUsersData)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());
    ASSERT_NO_FATAL_FAILURE(GiveTheUserData());
    const std::string macros = ReadHostFile(Installed("velmora.dtx"));
    win32::UniqueHandle process = StartProgram(Installed("velmora.exe"));
    ASSERT_TRUE(WaitForRunningVelmora());
    // What "Automatically start when Windows starts" writes.
    SetRegistryText(tests::kRunKey, "Velmora", Installed("velmora.exe"));
    const auto settings = Snapshot(kSettingsKey);

    ASSERT_TRUE(RunToEnd(Installed("uninstall.exe"), "/S", {}, 120s).has_value());
    ASSERT_TRUE(WaitForProgramFilesGone()) << "the uninstaller left the program";
    EXPECT_EQ(::WaitForSingleObject(process.Get(), 0), WAIT_OBJECT_0) << "Velmora still runs";
    EXPECT_FALSE(fs::exists(Installed("velmora.chm")));
    EXPECT_FALSE(fs::exists(shortcut));
    // The uninstaller's next step after the files and its entry.
    EXPECT_TRUE(WaitFor([] { return !RegistryText(tests::kRunKey, "Velmora"); })) << "the log-on start stays";

    EXPECT_EQ(ReadHostFile(Installed("velmora.dtx")), macros);
    EXPECT_EQ(Snapshot(kSettingsKey), settings);
    EXPECT_TRUE(settings.has_value() && !settings->empty());
}

TEST_F(InstallTest, UninstallAskedToRemoveTheUsersDataRemovesItToo)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());
    ASSERT_NO_FATAL_FAILURE(GiveTheUserData());
    ASSERT_TRUE(RunToEnd(Installed("uninstall.exe"), "").has_value());

    // The uninstaller's window and, later, its question share one caption.
    const auto findDialog = [](const std::string& containing) {
        HWND found = nullptr;
        WaitFor([&] {
            for (const HWND window : SetupWindows("Velmora Uninstall")) {
                if (::IsWindowVisible(window) && DialogText(window).find(containing) != std::string::npos) {
                    found = window;
                    return true;
                }
            }
            return false;
        });
        return found;
    };
    const HWND uninstaller = findDialog("");
    ASSERT_NE(uninstaller, nullptr) << "the uninstaller did not show";
    // The button that goes on shows a page's caption before it takes clicks.
    const HWND next = ::GetDlgItem(uninstaller, IDOK);
    const auto ready = [&](const char* caption) {
        return WaitFor([&] { return TextOf(next) == caption && ::IsWindowEnabled(next); });
    };
    ASSERT_TRUE(ready("&Uninstall")) << TextOf(next);
    Click(next);

    const HWND question = findDialog("Also remove your macros");
    ASSERT_NE(question, nullptr) << "the uninstaller did not ask about the user's data";
    EXPECT_EQ(::GetWindowLongPtrA(::GetDlgItem(question, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON)
        << "keeping the data must be the default";
    Click(::GetDlgItem(question, IDYES));

    EXPECT_TRUE(WaitForProgramFilesGone());
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(installFolder); })) << "the folder or the macros were left";
    EXPECT_TRUE(WaitFor([] { return !KeyExists(kSettingsKey); })) << "the settings were left";

    // The last page closes the uninstaller.
    ASSERT_TRUE(ready("&Close")) << TextOf(next);
    // Wine may drop a click that comes while the page is still being shown.
    EXPECT_TRUE(WaitFor([&] {
        if (::IsWindow(uninstaller)) {
            ::PostMessageA(next, BM_CLICK, 0, 0);
            ::Sleep(200);
        }
        return !::IsWindow(uninstaller);
    }));
}

TEST_F(InstallTest, PortableZipRunsFromAnyWritableFolderAndSavesItsMacrosBesideItself)
{
    // A folder with a space in its name, as on many a USB stick.
    const std::string unixFolder = VELMORA_PORTABLE_TEST_DIR;
    const std::string folder = HostPath(unixFolder);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    const std::string readme = ReadHostFile(HostPath(VELMORA_PORTABLE_README));
    // Unpacked with the host's unzip, whose end cannot be waited for: the
    // last file of the archive at its full size shows it is done.
    ASSERT_TRUE(tests::StartHostProgram("/usr/bin/unzip -q -o \"" + std::string(VELMORA_PORTABLE_ZIP) + "\" -d \"" +
                                          unixFolder + "\""));
    ASSERT_TRUE(WaitFor([&] { return ReadIfThere(folder + "\\README.txt") == readme; }, 60s)) << "nothing unpacked";
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"README.txt", "velmora.chm", "velmora.exe"}));
    EXPECT_NE(readme.find("velmora.dtx"), std::string::npos) << "the README does not say where the macros live";
    EXPECT_NE(readme.find("\r\n"), std::string::npos) << "Notepad wants CRLF line ends";

    const std::string program = folder + "\\velmora.exe";
    SetRegistryText(std::string(kSettingsKey) + "\\TMain", "FirstTimeRun_Checked", "False");
    win32::UniqueHandle process = StartProgram(program);
    const auto running = WaitForRunningVelmora();
    ASSERT_TRUE(running) << "the unpacked program did not start";
    EXPECT_TRUE(SamePath(running->program, program)) << running->program;

    ASSERT_EQ(RunToEnd(program, "/options"), 0u);
    HWND options = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        options = tests::FindProcessWindow(running->processId, "TOptions");
        return options != nullptr && ::IsWindowVisible(options);
    })) << "the options window did not open";
    Click(tests::FindControl(options, options_id::kAddMacro));
    Type(tests::FindControl(options, options_id::kName), "Carried along");
    Click(tests::FindControl(options, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); })) << "OK did not close the options window";

    const TMacroList saved = tests::LoadMacros(folder + "\\");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].Macro->Name, "Carried along");

    EXPECT_EQ(RunToEnd(program, "/shutdown"), 0u);
    EXPECT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace velmora
