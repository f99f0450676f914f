// The main window's share of a key the hook posted, with the real calls: the
// foreground window's layout, its input method, ToUnicodeEx, then the
// matcher with 1,000 abbreviations. The hook itself only reads the modifiers
// and posts. Not a test: run it through the harness,
//
//   scripts/wine-harness -- build/windows/bench/velmora_key_watch_benchmark.exe [--rounds N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hotkeys/AbbreviationMatcher.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32CodePage.h"
#include "platform/win32/Win32KeyWatch.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

class NoProgram : public IForegroundWatch {
public:
    std::u16string ForegroundProgram() override { return u"notepad.exe"; }
};

int Run(int rounds)
{
    win32::Win32CodePage codePage;
    NoProgram foreground;
    AbbreviationMatcher matcher{codePage, foreground};
    TMacroList macros;
    for (int i = 0; i < 1000; ++i) {
        auto macro = std::make_shared<TMacro>();
        macro->Abbreviation = ";" + std::string(1, static_cast<char>('a' + i % 26)) +
                              static_cast<char>('a' + i / 26 % 26) + static_cast<char>('a' + i / 676);
        macros.push_back({std::to_string(i), macro});
    }
    matcher.SetMacros(macros);
    const win32::UniqueWindow window(
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    win32::Win32KeyWatch watch;
    watch.SetWindow(window.Get(), WM_APP + 1, WM_APP + 2);
    std::size_t matches = 0;
    watch.KeyPressed = [&](const WatchedKey& key) { matches += matcher.KeyPressed(key) ? 1u : 0u; };
    if (!watch.Start()) {
        std::fprintf(stderr, "the hooks were refused\n");
        return 1;
    }
    // Letters and a space, as posted: the virtual key, and its scan code above.
    const std::string text = "the report reads well but the third table needs another look ";
    std::vector<WPARAM> keys;
    for (const char c : text) {
        const auto key = static_cast<WPARAM>(c == ' ' ? VK_SPACE : c - 'a' + 'A');
        keys.push_back(key | (static_cast<WPARAM>(::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16));
    }
    std::vector<double> perKey;
    for (int round = 0; round < rounds; ++round) {
        constexpr int kKeys = 20000;
        const auto start = Clock::now();
        for (int i = 0; i < kKeys; ++i) {
            watch.WMKeyWatchKey(keys[static_cast<std::size_t>(i) % keys.size()], 0);
        }
        perKey.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kKeys);
    }
    std::sort(perKey.begin(), perKey.end());
    std::printf("key watch, main window's share per key over %d rounds: median %.0f ns, min %.0f ns, max %.0f ns "
                "(%zu matches)\n",
                rounds, perKey[perKey.size() / 2], perKey.front(), perKey.back(), matches);
    return 0;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv)
{
    int rounds = 10;
    if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0) {
        rounds = std::max(1, std::atoi(argv[2]));
    }
    return velmora::Run(rounds);
}
