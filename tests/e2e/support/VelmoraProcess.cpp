#include "e2e/support/VelmoraProcess.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WidePath.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"

namespace velmora::tests {

namespace fs = std::filesystem;

namespace {

// The process's token opened for that access; empty when it cannot be.
win32::UniqueHandle TokenOf(HANDLE process, DWORD access)
{
    HANDLE token = nullptr;
    return ::OpenProcessToken(process, access, &token) ? win32::UniqueHandle(token) : win32::UniqueHandle();
}

// A primary token of the limited one linked to this process's token; empty
// when there is none (this process is not elevated).
win32::UniqueHandle LimitedToken()
{
    const win32::UniqueHandle own = TokenOf(::GetCurrentProcess(), TOKEN_QUERY);
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!own || !::GetTokenInformation(own.Get(), TokenLinkedToken, &linked, sizeof linked, &size)) {
        return {};
    }
    const win32::UniqueHandle impersonation(linked.LinkedToken);
    HANDLE primary = nullptr;
    if (!::DuplicateTokenEx(impersonation.Get(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY, nullptr,
                            SecurityImpersonation, TokenPrimary, &primary)) {
        return {};
    }
    return win32::UniqueHandle(primary);
}

}  // namespace

SuspendedProcess::SuspendedProcess(DWORD processId)
{
    const win32::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{.dwSize = sizeof(THREADENTRY32)};
    for (BOOL more = snapshot && ::Thread32First(snapshot.Get(), &entry); more;
         more = ::Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID != processId) {
            continue;
        }
        win32::UniqueHandle thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (thread && ::SuspendThread(thread.Get()) != static_cast<DWORD>(-1)) {
            m_threads.push_back(std::move(thread));
        }
    }
}

SuspendedProcess::~SuspendedProcess()
{
    for (const auto& thread : m_threads) {
        ::ResumeThread(thread.Get());
    }
}

std::optional<bool> Elevated(DWORD processId)
{
    const win32::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    const win32::UniqueHandle token = process ? TokenOf(process.Get(), TOKEN_QUERY) : win32::UniqueHandle();
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!token || !::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

win32::UniqueHandle StartProgram(const std::string& program, const std::string& arguments,
                                 const std::string& directory, DWORD* processId, bool limited)
{
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    std::wstring wideLine = win32::WidePath(commandLine);
    const std::wstring folder =
        directory.empty() ? HostPathOf(program).parent_path().wstring() : win32::WidePath(directory);
    STARTUPINFOW startup{.cb = sizeof(STARTUPINFOW)};
    PROCESS_INFORMATION info{};
    const wchar_t* const where = folder.empty() ? nullptr : folder.c_str();
    const win32::UniqueHandle token = limited ? LimitedToken() : win32::UniqueHandle();
    if (limited ? !token || !::CreateProcessAsUserW(token.Get(), nullptr, wideLine.data(), nullptr, nullptr,
                                                    FALSE, 0, nullptr, where, &startup, &info)
                : !::CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, FALSE, 0, nullptr, where,
                                    &startup, &info)) {
        const DWORD error = ::GetLastError();
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << error;
        return {};
    }
    ::CloseHandle(info.hThread);
    if (processId != nullptr) {
        *processId = info.dwProcessId;
    }
    return win32::UniqueHandle(info.hProcess);
}

std::optional<DWORD> RunToEnd(const std::string& program, const std::string& arguments, const std::string& directory,
                              std::chrono::milliseconds timeout)
{
    const win32::UniqueHandle process = StartProgram(program, arguments, directory);
    if (!process) {
        return std::nullopt;
    }
    if (::WaitForSingleObject(process.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 1);
        return std::nullopt;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode;
}

namespace {

// Clicks the one icon in Wine's tray. The tray window shows before its icon
// is in place, and a click beside the icon falls on the desktop and may open
// the window manager's menu, which then takes the next click too. The icon
// of a program that just ended may linger a moment, so the click waits until
// only this program's icon is left.
bool ClickOnTheTray(const char* button)
{
    std::string seen = "no tray window";
    const bool clicked = WaitFor([&] {
        const HWND tray = ::FindWindowA(nullptr, "Wine System Tray");
        if (tray == nullptr || !::IsWindowVisible(tray)) {
            return false;
        }
        std::vector<HWND> icons;
        for (HWND icon = ::FindWindowExA(tray, nullptr, nullptr, nullptr); icon != nullptr;
             icon = ::FindWindowExA(tray, icon, nullptr, nullptr)) {
            if (::IsWindowVisible(icon)) {
                icons.push_back(icon);
            }
        }
        seen = std::to_string(icons.size()) + " icons in the tray";
        RECT place{};
        if (icons.size() != 1 || !::GetClientRect(icons.front(), &place)) {
            return false;
        }
        // Its middle within the tray's X window, moved to and clicked in one
        // go. (No --sync: it waits for a move, and the pointer may be there.)
        ::MapWindowPoints(icons.front(), tray, reinterpret_cast<POINT*>(&place), 2);
        const POINT middle = Middle(place);
        seen = "the click was not given";
        return Xdotool(tray, "mousemove --window %1 " + std::to_string(middle.x) + " " + std::to_string(middle.y) +
                                 " click " + button);
    });
    if (!clicked) {
        ADD_FAILURE() << "cannot click on the tray icon: " << seen;
    }
    return clicked;
}

}  // namespace

bool ClickTrayIcon()
{
    return ClickOnTheTray("1");
}

win32::UniqueHandle HoldFile(const std::string& path)
{
    return win32::UniqueHandle(
        ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string ReasonCannotRead(const std::string& path)
{
    win32::Win32FileSystem probe;
    return probe.ReadWholeFile(path) ? std::string() : probe.LastErrorText();
}

bool ChooseFromTrayMenu(DWORD processId, std::initializer_list<BYTE> keys)
{
    HWND menu = nullptr;
    if (!ClickOnTheTray("3") || !WaitFor([&] {
            menu = FindVisibleWindow(processId, "#32768");
            return menu != nullptr;
        })) {
        return false;
    }
    for (const BYTE key : keys) {
        ::PostMessageA(menu, WM_KEYDOWN, key, 0);
    }
    return true;
}

bool TrayIconShown(HWND mainWindow)
{
    NOTIFYICONDATAA icon{.cbSize = sizeof(NOTIFYICONDATAA), .hWnd = mainWindow, .uID = 1};
    return ::Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
}

bool HotKeyTaken(UINT key)
{
    if (::RegisterHotKey(nullptr, 0x7FFF, MOD_CONTROL | MOD_ALT, key)) {
        ::UnregisterHotKey(nullptr, 0x7FFF);
        return false;
    }
    return true;
}

bool ModifierKeyDown()
{
    for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        if ((::GetAsyncKeyState(key) & 0x8000) != 0) {
            return true;
        }
    }
    return false;
}

void Type(HWND edit, const std::string& text)
{
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button)
{
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

bool PutOnClipboard(const std::vector<std::pair<UINT, std::string>>& formats)
{
    if (!WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; })) {
        return false;
    }
    ::EmptyClipboard();
    bool put = true;
    for (const auto& [format, bytes] : formats) {
        win32::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
        {
            win32::LockedGlobal<char> data(memory.Get());
            put = put && data;
            if (data) {
                std::copy(bytes.begin(), bytes.end(), data.Get());
            }
        }
        put = put && ::SetClipboardData(format, memory.Get()) != nullptr;
        if (put) {
            memory.Release();
        }
    }
    ::CloseClipboard();
    return put;
}

std::optional<std::string> ClipboardBytes(UINT format)
{
    if (!WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; })) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    if (const HANDLE memory = ::GetClipboardData(format)) {
        win32::LockedGlobal<const char> data(memory);
        bytes = data ? std::string(data.Get(), ::GlobalSize(memory)) : std::string();
    }
    ::CloseClipboard();
    return bytes;
}

std::shared_ptr<TMacro> TextMacro(std::int32_t id, std::string text, std::int32_t next)
{
    auto macro = std::make_shared<TMacro>();
    macro->Id = id;
    macro->Name = "Macro " + std::to_string(id);
    auto action = std::make_unique<TTextMacro>();
    action->Text = std::move(text);
    macro->Settings = std::move(action);
    macro->RunAnother = true;
    macro->RunAnotherId = next;
    return macro;
}

std::shared_ptr<TMacro> HotKeyMacro(std::int32_t id, std::string text, std::string key, bool shift)
{
    auto macro = TextMacro(id, std::move(text), 0);
    macro->RunAnother = false;
    macro->HotKeyCtrl = true;
    (shift ? macro->HotKeyShift : macro->HotKeyAlt) = true;
    macro->HotKey = std::move(key);
    return macro;
}

std::shared_ptr<TMacro> Named(std::shared_ptr<TMacro> macro, const std::string& name)
{
    macro->Name = name;
    return macro;
}

std::vector<std::string> NamesOf(const TMacroList& macros)
{
    std::vector<std::string> names;
    for (const TMacroEntry& entry : macros) {
        names.push_back(entry.Macro->Name);
    }
    return names;
}

void SaveMacros(const std::string& directory, const TMacroList& macros, const std::string& password)
{
    win32::Win32FileSystem files(directory);
    MacroStore store{files};
    store.OptionsPassword = password;
    store.MaxMacroId = static_cast<std::int32_t>(macros.size());
    store.SaveMacros(macros);
}

TMacroList LoadMacros(const std::string& directory, std::string* password)
{
    win32::Win32FileSystem files(directory);
    MacroStore store{files};
    store.LoadMacros();
    if (password != nullptr) {
        *password = store.OptionsPassword;
    }
    return store.MacroList;
}

// The program's own registry layer: wide calls, and values read safely whatever is stored.
std::optional<std::string> RegistryText(const std::string& key, const char* value)
{
    const auto opened = win32::Win32Registry().OpenKeyReadOnly(key);
    return opened ? opened->ReadPath(value) : std::nullopt;
}

void SetRegistryText(const std::string& key, const char* value, const std::string& text)
{
    const auto opened = win32::Win32Registry().CreateKey(key);
    ASSERT_TRUE(opened && opened->WritePath(value, text)) << key << "\\" << value;
}

void ForgetSettings(const std::string& baseName, const std::optional<std::string>& runBefore)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + baseName).c_str());
    if (runBefore) {
        SetRegistryText(kRunKey, "Velmora", *runBefore);
    } else {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Velmora");
    }
}

void VelmoraProcessTest::SetUp()
{
    fs::copy_file(HostPath(VELMORA_EXE), folder / "velmora.exe");
    directory = win32::PathFromWide(folder.wstring()) + "\\";
}

void VelmoraProcessTest::UseFolder(const std::string& name)
{
    const fs::path named = folder / HostPathOf(name);
    fs::create_directory(named);
    fs::copy_file(folder / "velmora.exe", named / "velmora.exe");
    folder = named;
    directory = win32::PathFromWide(folder.wstring()) + "\\";
}

void VelmoraProcessTest::TearDown()
{
    if (process) {
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), 5000);
    }
    if (m_ownName) {
        ForgetSettings(*m_ownName, m_runBefore);
    }
}

std::string VelmoraProcessTest::UseOwnName(const std::string& prefix)
{
    const std::string baseName = prefix + "-" + std::to_string(::GetCurrentProcessId());
    exeName = baseName + ".exe";
    fs::copy_file(folder / "velmora.exe", folder / exeName);
    m_runBefore = RegistryText(kRunKey, "Velmora");
    m_ownName = baseName;
    return "Software\\" + baseName + "\\TMain";
}

void VelmoraProcessTest::Start()
{
    process = StartProgram(directory + exeName, {}, directory, &processId, limited);
    ASSERT_TRUE(process);
    ASSERT_TRUE(WaitFor([&] { return (mainWindow = FindProcessWindow(processId, "TMain")) != nullptr; }))
        << "the main window never appeared";
}

void VelmoraProcessTest::StartReady()
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitFor([&] { return TrayIconShown(mainWindow); })) << "start-up never finished";
}

void VelmoraProcessTest::StartReadyWithTarget()
{
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ASSERT_NO_FATAL_FAILURE(OpenTarget());
}

void VelmoraProcessTest::OpenTarget()
{
    target.emplace(HostPath(VELMORA_TARGET_EXE), UniqueTargetTitle());
    ASSERT_TRUE(target->Focus());
}

HWND VelmoraProcessTest::WaitForWindow(const char* className, const char* caption) const
{
    HWND window = nullptr;
    WaitFor([&] { return (window = FindVisibleWindow(processId, className, caption)) != nullptr; });
    return window;
}

std::string VelmoraProcessTest::WaitForDialogText(HWND box, const std::string& expected)
{
    std::string text;
    WaitFor([&] { return (text = DialogText(box)) == expected; });
    return text;
}

bool VelmoraProcessTest::Settle() const
{
    return ::SendMessageTimeoutA(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr) != 0;
}

void VelmoraProcessTest::CloseAndExpectCleanExit()
{
    ASSERT_TRUE(::PostMessageA(mainWindow, WM_CLOSE, 0, 0));
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    process.Reset();
}

DWORD VelmoraProcessTest::RunAgain(const std::string& arguments)
{
    return RunToEnd(directory + exeName, arguments, directory).value_or(998);
}

bool VelmoraProcessTest::Running()
{
    return ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

std::string VelmoraProcessTest::ReadFile(const std::string& name)
{
    return ReadHostFile(directory + name);
}

void VelmoraProcessTest::WriteFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(HostPathOf(directory + name), std::ios::binary) << bytes;
}

}  // namespace velmora::tests
