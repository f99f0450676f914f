// The options window with many macros under Wine: how long it takes to open
// (created, filled, shown and painted), and how long one keystroke of a
// rename takes (the name field's change, the list re-sorted, repainted).
// Run by scripts/bench-options.
//
//   velmora_options_benchmark [--macros N] [--rounds N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "options/OptionsControls.h"
#include "options/frmOptions.h"
#include "windows/WindowTestSupport.h"

namespace velmora {
namespace {

using tests::FindControl;
using tests::PumpWaitingMessages;

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

void Report(const char* what, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s median %8.2f ms   min %8.2f ms   max %8.2f ms   (%zu samples)\n", what,
                samples[samples.size() / 2], samples.front(), samples.back(), samples.size());
}

int Run(int macroCount, int rounds)
{
    tests::FakeFileSystem files;
    tests::FakeRegistry registry;
    MacroStore store(files);
    SettingsRecord settings;
    AutoStart autoStart(registry);
    unsigned seed = 2026;
    for (int i = 0; i < macroCount; ++i) {
        seed = seed * 1103515245u + 12345u;
        auto macro = std::make_shared<TMacro>();
        macro->Id = store.NewMacroId();
        macro->Name = "Macro " + std::to_string((seed >> 8) % 1000000) + " for letters";
        macro->HotKey = i % 3 == 0 ? "F" + std::to_string(1 + i % 24) : "";
        macro->HotKeyCtrl = true;
        store.MacroList.push_back({macro->Name, macro});
    }

    std::vector<double> opening;
    // Where the opening goes: made, shown, painted.
    std::vector<double> creating;
    std::vector<double> showing;
    std::vector<double> painting;
    std::vector<double> keystrokes;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        TOptions window(OptionsWindowHost{store, settings, autoStart, "C:\\velmora.exe", {}, {}});
        if (!window.FormCreate()) {
            std::fprintf(stderr, "the window could not be created\n");
            return 1;
        }
        const auto created = Clock::now();
        window.ShowOnTop();
        const auto shown = Clock::now();
        ::UpdateWindow(window.Handle());
        tests::PumpWaitingMessages();
        const auto painted = Clock::now();
        opening.push_back(Milliseconds(painted - start).count());
        creating.push_back(Milliseconds(created - start).count());
        showing.push_back(Milliseconds(shown - created).count());
        painting.push_back(Milliseconds(painted - shown).count());

        // Rename a macro from the middle of the list, one character at a time,
        // so it travels through the list.
        window.Editor().SelectMacro(macroCount / 2);
        tests::PumpWaitingMessages();
        const HWND name = FindControl(window.Handle(), options_id::kName);
        std::string typed;
        for (const char c : std::string("Zebra crossing at noon")) {
            typed += c;
            const auto keyStart = Clock::now();
            ::SetWindowTextA(name, typed.c_str());
            ::UpdateWindow(window.Handle());
            tests::PumpWaitingMessages();
            keystrokes.push_back(Milliseconds(Clock::now() - keyStart).count());
        }
    }
    std::printf("%d macros, %d rounds\n", macroCount, rounds);
    Report("open the window", opening);
    Report("  of which made", creating);
    Report("  of which shown", showing);
    Report("  of which painted", painting);
    Report("one keystroke of a rename", keystrokes);
    return 0;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv)
{
    int macros = 10000;
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--macros") {
            macros = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--rounds") {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    return velmora::Run(macros, rounds);
}
