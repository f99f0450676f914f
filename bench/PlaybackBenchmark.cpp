// Playback speed end to end under Wine: how long 2,000 characters take from
// the start of injection until the last one is in another process's edit
// control, for KeyPlayer, for the same key events as one SendInput batch, and
// for `xdotool type` through the X server; then the delay from a hot key to
// the first character of its macro; and 1,000 characters into Wine's notepad,
// plain letters against text of which half has no key, typed through the
// clipboard and as Unicode input. Run by scripts/bench-playback.
//
//   velmora_playback_benchmark [--rounds N] [--xdotool /usr/bin/xdotool] [--only keyless]

#include <array>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "e2e/support/TargetProcess.h"
#include "engine/MacroRunner.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Window.h"
#include "support/TestVectors.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;
using namespace std::chrono_literals;
using tests::TargetProcess;

constexpr std::size_t kTextLength = 2000;
constexpr auto kArrivalTimeout = 300s;

// Lines of sentences: words, capitals, digits and the punctuation every key
// of the Wine layout types (no brackets: those would be pasted, not typed).
// The lines are short, as in a letter: an edit control slows down on one
// very long line, which would measure the target instead of the typing.
std::string MakeText()
{
    static const char* const kWords[] = {"the", "order", "arrived", "on", "Monday", "with", "invoice", "number",
                                         "please", "check", "it's", "a", "well-known", "issue", "email", "me",
                                         "at", "home", "thanks", "Velmora", "is", "ready", "for", "you"};
    static const char* const kEnds[] = {".", "!", "?", ";", ":", ","};
    std::string text;
    std::size_t lineStart = 0;
    unsigned seed = 12345;
    const auto next = [&](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    bool sentenceStart = true;
    while (text.size() < kTextLength) {
        std::string word = next(7) == 0 ? std::to_string(next(10000)) : kWords[next(std::size(kWords))];
        if (sentenceStart && word[0] >= 'a' && word[0] <= 'z') {
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        }
        if (next(13) == 0) {
            word = "\"" + word + "\"";
        }
        text += word;
        sentenceStart = next(6) == 0;
        if (sentenceStart) {
            text += kEnds[next(3)];
        } else if (next(5) == 0) {
            text += ',';
        }
        if (text.size() - lineStart > 60) {
            text += "\r\n";
            lineStart = text.size();
        } else {
            text += ' ';
        }
    }
    text.resize(kTextLength - 1);
    if (text.back() == '\r') {
        text.back() = 'x';
    }
    text += '.';
    return text;
}

// The same text with bare line feeds, as a Unix program types it.
std::string WithLineFeeds(const std::string& text)
{
    std::string result;
    for (const char c : text) {
        if (c != '\r') {
            result += c;
        }
    }
    return result;
}

struct Measurement {
    double seconds = 0;
    bool exact = false;
};

class Bench {
public:
    Bench(std::string targetExe, std::string xdotool) : m_targetExe(std::move(targetExe)), m_xdotool(std::move(xdotool))
    {
    }

    // Minimized, Wine's edit control skips its painting, which otherwise
    // costs it about 10 ms a character and hides the injection's own speed.
    void SetMinimized(bool minimized) { m_minimized = minimized; }

    std::unique_ptr<TargetProcess> StartTarget()
    {
        auto target = std::make_unique<TargetProcess>(m_targetExe, tests::UniqueTargetTitle());
        if (m_minimized) {
            ::ShowWindow(target->Window(), SW_MINIMIZE);
        }
        if (!target->Focus()) {
            throw std::runtime_error("the target never got the focus");
        }
        return target;
    }

    // Times inject() from its start until the edit holds as many characters
    // as the text, then checks the text itself once injection has ended.
    template <typename Text, typename Inject, typename Finish>
    Measurement Measure(TargetProcess& target, const Text& text, Inject inject, Finish finish)
    {
        const auto start = Clock::now();
        inject();
        const bool arrived = target.WaitForLength(text.size(), kArrivalTimeout);
        const auto end = Clock::now();
        finish();
        Text got;
        if constexpr (std::is_same_v<Text, std::wstring>) {
            got = target.WideText();
        } else {
            got = target.Text();
        }
        if (!arrived || got != text) {
            std::printf("  text differs: %zu characters arrived, first difference at %zu\n", got.size(),
                        static_cast<std::size_t>(std::mismatch(got.begin(), got.end(), text.begin(), text.end()).first -
                                                 got.begin()));
        }
        return {Seconds(end - start).count(), arrived && got == text};
    }

    Measurement KeyPlayerRun(const std::string& text)
    {
        auto target = StartTarget();
        KeyPlayer player(m_platform.keyboard, m_platform.clipboard, m_platform.thread, m_platform.codePage);
        return Measure(*target, text, [&] { player.PlayKeyString(text); }, [] {});
    }

    Measurement SendInputRun(const std::string& text)
    {
        std::vector<INPUT> inputs;
        const auto add = [&](WORD key, DWORD flags) {
            inputs.push_back({.type = INPUT_KEYBOARD, .ki = {.wVk = key, .dwFlags = flags}});
        };
        for (const char c : WithLineFeeds(text)) {
            const auto scan = static_cast<WORD>(c == '\n' ? VK_RETURN : ::VkKeyScanA(c));
            const bool shift = (scan & kScanShift) != 0;
            if (shift) {
                add(VK_SHIFT, 0);
            }
            add(scan & 0xFFu, 0);
            add(scan & 0xFFu, KEYEVENTF_KEYUP);
            if (shift) {
                add(VK_SHIFT, KEYEVENTF_KEYUP);
            }
        }
        auto target = StartTarget();
        return Measure(
            *target, text,
            [&] {
                if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
                    throw std::runtime_error("SendInput refused the batch");
                }
            },
            [] {});
    }

    Measurement XdotoolRun(const std::string& text)
    {
        auto target = StartTarget();
        // X sends its keys to the X input focus, which Wine leaves alone
        // without a window manager: give it to the target first.
        Run(m_xdotool + " search --sync --name \"^" + target->Title() + "$\" windowfocus --sync", true);
        // A host path both sides can open: xdotool reads the text from it.
        const std::string file = "/tmp/velmora-bench-" + std::to_string(::GetCurrentProcessId()) + ".txt";
        std::ofstream(tests::HostPath(file), std::ios::binary) << WithLineFeeds(text);
        win32::UniqueHandle typing;
        const Measurement measured = Measure(
            *target, text, [&] { typing = Run(m_xdotool + " type --file " + file, false); },
            [&] { ::WaitForSingleObject(typing.Get(), 60000); });
        std::remove(tests::HostPath(file).c_str());
        return measured;
    }

    // The macro text run as the program runs a hot key's macro, into notepad
    // (a Unicode window: WM_GETTEXTLENGTH counts each character once here).
    Measurement MacroRun(const std::string& macroText, const std::wstring& expected, bool unicodeInput)
    {
        auto target = std::make_unique<TargetProcess>("notepad.exe", "Notepad", "Edit");
        if (m_minimized) {
            ::ShowWindow(target->Window(), SW_MINIMIZE);
        }
        if (!target->Focus()) {
            throw std::runtime_error("notepad never got the focus");
        }
        auto macro = std::make_shared<TMacro>();
        auto settings = std::make_unique<TTextMacro>();
        settings->Text = macroText;
        macro->Settings = std::move(settings);
        TMacroList macros{{.Name = "text", .Macro = macro}};
        RandomGenerator random;
        MacroRunner runner(m_platform, macros, random, {}, [=] { return unicodeInput; });
        return Measure(*target, expected, [&] { runner.RunMacro(macro); }, [] {});
    }

    // From WM_HOTKEY to the first character of the macro in the target.
    double HotKeyRun()
    {
        auto target = StartTarget();
        HotKeyWindow window;
        constexpr UINT kKey = VK_F9;
        if (!::RegisterHotKey(window.Handle(), 1, MOD_CONTROL | MOD_ALT, kKey)) {
            throw std::runtime_error("cannot register the hot key");
        }
        auto macro = std::make_shared<TMacro>();
        macro->HotKeyCtrl = macro->HotKeyAlt = true;
        macro->VirtualKey = kKey;
        auto settings = std::make_unique<TTextMacro>();
        settings->Text = "Hot key text";
        macro->Settings = std::move(settings);
        TMacroList macros{{.Name = "hot key", .Macro = macro}};
        RandomGenerator random;
        MacroRunner runner(m_platform, macros, random);

        Clock::time_point firstCharacter{};
        std::thread watcher([&] {
            if (target->WaitForLength(1, 30s)) {
                firstCharacter = Clock::now();
            }
        });
        window.onHotKey = [&] { runner.RunMacro(macro); };
        INPUT keys[6] = {};
        const WORD sequence[] = {VK_CONTROL, VK_MENU, kKey};
        for (int i = 0; i < 3; ++i) {
            keys[i] = {.type = INPUT_KEYBOARD, .ki = {.wVk = sequence[i]}};
            keys[5 - i] = {.type = INPUT_KEYBOARD, .ki = {.wVk = sequence[i], .dwFlags = KEYEVENTF_KEYUP}};
        }
        ::SendInput(6, keys, sizeof(INPUT));
        const auto deadline = Clock::now() + 30s;
        while (!window.arrived && Clock::now() < deadline) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            win32::DispatchWaitingMessages();
        }
        watcher.join();
        ::UnregisterHotKey(window.Handle(), 1);
        if (!window.arrived || firstCharacter == Clock::time_point{}) {
            throw std::runtime_error("the hot key's macro never arrived");
        }
        const std::string got = target->WaitForText("Hot key text", 10s);
        if (got != "Hot key text") {
            throw std::runtime_error("the hot key typed \"" + got + "\"");
        }
        return Seconds(firstCharacter - window.arrival).count();
    }

    Platform& GetPlatform() { return m_platform; }

private:
    class HotKeyWindow : public win32::Window<HotKeyWindow> {
    public:
        HotKeyWindow() { CreateWindowFor({.className = "VelmoraBenchHotKey", .caption = "", .style = 0}); }
        ~HotKeyWindow()
        {
            if (Handle()) {
                ::DestroyWindow(Handle());
            }
        }
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
        {
            if (message == WM_HOTKEY && !arrived) {
                arrival = Clock::now();
                arrived = true;
                onHotKey();
                return 0;
            }
            return DefaultHandling(message, wParam, lParam);
        }
        std::function<void()> onHotKey;
        Clock::time_point arrival{};
        bool arrived = false;
    };

    // Wine starts host programs (xdotool) like Windows ones.
    static win32::UniqueHandle Run(std::string commandLine, bool wait)
    {
        STARTUPINFOA startup{.cb = sizeof(STARTUPINFOA)};
        PROCESS_INFORMATION info{};
        if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info)) {
            throw std::runtime_error("cannot run " + commandLine);
        }
        ::CloseHandle(info.hThread);
        win32::UniqueHandle process(info.hProcess);
        if (wait) {
            ::WaitForSingleObject(process.Get(), 30000);
        }
        return process;
    }

    std::string m_targetExe;
    std::string m_xdotool;
    bool m_minimized = false;
    win32::Win32Platform m_system;
    Platform m_platform = m_system.Get();
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// 1,000 plain letters against 1,000 characters of which every second one has
// no key (an arrow, then an e acute), typed through the clipboard and as
// Unicode input. Returns false when a text arrived wrong.
bool CompareCharactersWithoutKeys(Bench& bench, int rounds)
{
    constexpr std::size_t kCharacters = 1000;
    std::string plain;
    std::string mixed;
    std::wstring mixedWide;
    for (std::size_t i = 0; i < kCharacters; ++i) {
        const char letter = static_cast<char>('a' + i % 26);
        plain += letter;
        if (i % 2 == 0) {
            mixed += letter;
            mixedWide += static_cast<wchar_t>(letter);
        } else {
            mixed += i % 4 == 1 ? "{\"U+2192\"}" : "\xE9";
            mixedWide += i % 4 == 1 ? L'\u2192' : L'\u00E9';
        }
    }
    const std::wstring plainWide(plain.begin(), plain.end());
    struct Run {
        const char* name;
        const std::string& text;
        const std::wstring& expected;
        bool unicodeInput;
        bool pastes;
    };
    const Run runs[] = {{"plain letters", plain, plainWide, false, false},
                        {"half without key, clipboard", mixed, mixedWide, false, true},
                        {"half without key, Unicode input", mixed, mixedWide, true, false}};
    bool allExact = true;
    for (const bool minimized : {false, true}) {
        bench.SetMinimized(minimized);
        std::printf("%zu characters into %s notepad through MacroRunner, %d rounds\n", kCharacters,
                    minimized ? "a minimized" : "a visible", rounds);
        std::vector<std::vector<double>> seconds(std::size(runs));
        for (int round = 1; round <= rounds; ++round) {
            for (std::size_t i = 0; i < std::size(runs); ++i) {
                // A minimized notepad takes no Ctrl+V under Wine.
                if (minimized && runs[i].pastes) {
                    continue;
                }
                const Measurement m = bench.MacroRun(runs[i].text, runs[i].expected, runs[i].unicodeInput);
                allExact = allExact && m.exact;
                seconds[i].push_back(m.seconds);
                std::printf("  round %d  %-32s %8.3f s  %8.0f chars/s  %s\n", round, runs[i].name, m.seconds,
                            static_cast<double>(kCharacters) / m.seconds, m.exact ? "text exact" : "TEXT DIFFERS");
                std::fflush(stdout);
            }
        }
        std::printf("median of %d rounds:\n", rounds);
        const double plainSeconds = Median(seconds[0]);
        for (std::size_t i = 0; i < std::size(runs); ++i) {
            if (seconds[i].empty()) {
                continue;
            }
            const double median = Median(seconds[i]);
            std::printf("  %-32s %8.3f s  %8.0f chars/s  %5.2f x the plain letters' speed\n", runs[i].name, median,
                        static_cast<double>(kCharacters) / median, plainSeconds / median);
        }
    }
    bench.SetMinimized(false);
    return allExact;
}

int Main(int argc, char** argv)
{
    int rounds = 3;
    std::string xdotool = "/usr/bin/xdotool";
    bool keylessOnly = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--rounds") {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--xdotool") {
            xdotool = argv[i + 1];
        } else if (option == "--only") {
            keylessOnly = std::string(argv[i + 1]) == "keyless";
        }
    }
    const std::string text = MakeText();
    for (const char c : WithLineFeeds(text)) {
        if (c != '\n' && ::VkKeyScanA(c) == -1) {
            std::fprintf(stderr, "no key types '%c' in this layout\n", c);
            return 2;
        }
    }
    Bench bench(tests::HostPath(VELMORA_TARGET_EXE), xdotool);
    if (bench.GetPlatform().keyboard.IsKeyToggled(vk::Capital)) {
        bench.GetPlatform().keyboard.Send(
            std::array{KeyInput{.virtualKey = vk::Capital}, KeyInput{.virtualKey = vk::Capital, .flags = kKeyEventKeyUp}});
    }
    if (keylessOnly) {
        return CompareCharactersWithoutKeys(bench, rounds) ? 0 : 1;
    }

    struct Method {
        const char* name;
        Measurement (Bench::*run)(const std::string&);
        bool needsXFocus;
    };
    const Method methods[] = {{"SendInput batch", &Bench::SendInputRun, false},
                              {"KeyPlayer::PlayKeyString", &Bench::KeyPlayerRun, false},
                              {"xdotool type (default delay)", &Bench::XdotoolRun, true}};
    bool allExact = true;
    for (const bool minimized : {false, true}) {
        bench.SetMinimized(minimized);
        std::printf("%zu characters into %s edit control of another process, %d rounds\n", text.size(),
                    minimized ? "a minimized" : "a visible", rounds);
        std::vector<std::vector<double>> seconds(std::size(methods));
        for (int round = 1; round <= rounds; ++round) {
            for (std::size_t i = 0; i < std::size(methods); ++i) {
                // X cannot give its input focus to a window that is not shown.
                if (minimized && methods[i].needsXFocus) {
                    continue;
                }
                const Measurement m = (bench.*methods[i].run)(text);
                allExact = allExact && m.exact;
                seconds[i].push_back(m.seconds);
                std::printf("  round %d  %-30s %8.3f s  %8.0f chars/s  %s\n", round, methods[i].name, m.seconds,
                            static_cast<double>(text.size()) / m.seconds, m.exact ? "text exact" : "TEXT DIFFERS");
                std::fflush(stdout);
            }
        }
        const double batch = Median(seconds[0]);
        std::printf("median of %d rounds:\n", rounds);
        for (std::size_t i = 0; i < std::size(methods); ++i) {
            if (!seconds[i].empty()) {
                const double median = Median(seconds[i]);
                std::printf("  %-30s %8.3f s  %8.0f chars/s  %6.2f x the batch's time\n", methods[i].name, median,
                            static_cast<double>(text.size()) / median, median / batch);
            }
        }
    }
    bench.SetMinimized(false);

    std::vector<double> hotKey;
    for (int round = 1; round <= rounds; ++round) {
        hotKey.push_back(bench.HotKeyRun());
        std::printf("  round %d  hot key to first character %8.1f ms\n", round, hotKey.back() * 1000);
    }
    std::printf("hot key to first character, median %.1f ms\n", Median(hotKey) * 1000);
    allExact = CompareCharactersWithoutKeys(bench, rounds) && allExact;
    return allExact ? 0 : 1;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv)
{
    try {
        return velmora::Main(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "playback benchmark: %s\n", error.what());
        return 1;
    }
}
