// Shows Velmora's main job on a machine without a screen: it prepares a
// scratch folder with velmora.exe and two demo macros, starts Velmora, waits
// for Notepad (which scripts/run starts beside it), presses the first macro's
// hot key, and prints what Velmora typed.
//
//   velmora_demo.exe VELMORA_EXE SCRATCH_FOLDER
//
// The screenshot is scripts/run's: Wine gives no handle to wait on for a
// Linux program started from here, so the picture could be read half-written.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "macros/MacroFile.h"

#include "platform/win32/Handles.h"
#include "platform/win32/Win32FileSystem.h"

#include <shellapi.h>

namespace {

using namespace std::chrono_literals;
using velmora::win32::UniqueHandle;

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

UniqueHandle Start(std::string commandLine, const std::string& folder)
{
    STARTUPINFOA startup{.cb = sizeof(STARTUPINFOA)};
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        return UniqueHandle();
    }
    ::CloseHandle(info.hThread);
    return UniqueHandle(info.hProcess);
}

std::shared_ptr<velmora::TMacro> TextMacro(std::int32_t id, const char* name, const char* text)
{
    auto macro = std::make_shared<velmora::TMacro>();
    macro->Id = id;
    macro->Name = name;
    auto action = std::make_unique<velmora::TTextMacro>();
    action->Text = text;
    macro->Settings = std::move(action);
    return macro;
}

// Asks the control itself: GetWindowText would give only the caption of a
// window in another process.
std::string WindowText(HWND window)
{
    const auto length = static_cast<std::size_t>(::SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto copied = ::SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

int Fail(const char* why)
{
    std::fprintf(stderr, "demo: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        return Fail("usage: velmora_demo VELMORA_EXE SCRATCH_FOLDER");
    }
    const std::filesystem::path folder = argv[2];
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(argv[1], folder / "velmora.exe", std::filesystem::copy_options::overwrite_existing);
    const std::string directory = folder.string() + "\\";

    // Two chained macros on Ctrl+Alt+V, written by the program's own writer.
    velmora::win32::Win32FileSystem files(directory);
    velmora::MacroStore store{files};
    auto greeting = TextMacro(1, "Greeting", "Hello from Velmora! It is {\"shorttime\"} on {\"date\"}.{\"enter\"}");
    greeting->HotKeyCtrl = greeting->HotKeyAlt = true;
    greeting->HotKey = "V";
    greeting->RunAnother = true;
    greeting->RunAnotherId = 2;
    store.MaxMacroId = 2;
    store.SaveMacros({{"Greeting", greeting}, {"Signature", TextMacro(2, "Signature", "-- typed by a hot key")}});

    const auto started = std::chrono::steady_clock::now();
    const UniqueHandle velmora = Start("\"" + directory + "velmora.exe\"", directory);
    if (!velmora) {
        return Fail("cannot start velmora.exe");
    }
    // Start-up shows the tray icon right after registering the hot keys.
    // (Probing the hot key by registering it could take it from Velmora.)
    if (!WaitFor(
            [] {
                const HWND main = ::FindWindowA("TMain", "Velmora");
                NOTIFYICONDATAA icon{.cbSize = sizeof(NOTIFYICONDATAA), .hWnd = main, .uID = 1};
                return main != nullptr && ::Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
            },
            30s)) {
        return Fail("Velmora never finished starting");
    }
    const auto registered = std::chrono::steady_clock::now();

    // A first start greets the user; the demo answers with OK, as a user would,
    // so the welcome window does not take the keys meant for Notepad.
    HWND welcome = nullptr;
    if (WaitFor([&] { return (welcome = ::FindWindowA(nullptr, "Welcome to Velmora")) != nullptr; }, 5s)) {
        std::printf("Velmora shows its welcome window on the first start; closing it.\n");
        ::PostMessageA(welcome, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(welcome); }, 10s);
    }

    HWND window = nullptr;
    HWND edit = nullptr;
    if (!WaitFor(
                        [&] {
                            window = ::FindWindowA("Notepad", nullptr);
                            edit = window ? ::FindWindowExA(window, nullptr, "Edit", nullptr) : nullptr;
                            return edit != nullptr;
                        },
                        30s)) {
        return Fail("Notepad did not appear");
    }
    WaitFor(
        [&] {
            ::SetForegroundWindow(window);
            return ::GetForegroundWindow() == window;
        },
        10s);

    std::printf("Pressing Ctrl+Alt+V in Notepad...\n");
    for (const BYTE key : {BYTE{VK_CONTROL}, BYTE{VK_MENU}, BYTE{'V'}}) {
        ::keybd_event(key, 0, 0, 0);
    }
    for (const BYTE key : {BYTE{'V'}, BYTE{VK_MENU}, BYTE{VK_CONTROL}}) {
        ::keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
    const auto pressed = std::chrono::steady_clock::now();
    WaitFor([&] { return !WindowText(edit).empty(); }, 60s);
    const auto firstCharacter = std::chrono::steady_clock::now();
    const bool typed = WaitFor([&] { return WindowText(edit).find("hot key") != std::string::npos; }, 60s);
    std::printf("Velmora typed into Notepad:\n----\n%s\n----\n", WindowText(edit).c_str());

    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    std::printf("Start to hot keys registered (tray icon shown): %lld ms (polled every millisecond)\n",
                static_cast<long long>(duration_cast<milliseconds>(registered - started).count()));
    std::printf("Hot key press to first character in Notepad: %lld ms (polled every millisecond)\n",
                static_cast<long long>(duration_cast<milliseconds>(firstCharacter - pressed).count()));

    const UniqueHandle shutdown = Start("\"" + directory + "velmora.exe\" /shutdown", directory);
    if (shutdown) {
        ::WaitForSingleObject(shutdown.Get(), 30000);
    }
    ::WaitForSingleObject(velmora.Get(), 30000);
    return typed ? 0 : Fail("the macro's text did not arrive");
}
