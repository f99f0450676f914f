// Not part of the test run: scripts/soak runs it. Presses the hot keys of a
// typed and a pasted macro many times over and checks after every run what a
// user would notice: the whole text arrived, no key is left down, their own
// clipboard is still there. The program's memory is sampled as it goes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/support/TargetProcess.h"
#include "e2e/support/VelmoraProcess.h"

#include <psapi.h>

#include "support/TestVectors.h"
#include "support/WaitFor.h"

namespace velmora::tests {
namespace {

// The user's clipboard: Unicode text beyond the code page and a private format.
std::vector<std::pair<UINT, std::string>> UserClipboard()
{
    const wchar_t text[] = L"user's \x2192 text";
    return {
        {CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text), sizeof text)},
        {::RegisterClipboardFormatA("Velmora Soak Private"), std::string("\x01\x00\x02\xFFprivate", 11)},
    };
}

// Every format is back, as far as its block holds the bytes put there.
bool ClipboardHolds(const std::vector<std::pair<UINT, std::string>>& formats)
{
    return std::all_of(formats.begin(), formats.end(), [](const auto& format) {
        const auto bytes = ClipboardBytes(format.first);
        return bytes && bytes->substr(0, format.second.size()) == format.second;
    });
}

// The memory committed to the process alone (its private bytes).
SIZE_T PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{.cb = sizeof(PROCESS_MEMORY_COUNTERS)};
    return ::K32GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PagefileUsage : 0;
}

int RunsWanted()
{
    const char* runs = std::getenv("VELMORA_SOAK_RUNS");
    return runs != nullptr && std::atoi(runs) > 0 ? std::atoi(runs) : 1000;
}

class SoakRun : public VelmoraProcessTest {};

TEST_F(SoakRun, EveryRunArrivesWholeAndLeavesTheUserAsTheyWere)
{
    // One character above 126 makes the typed macro borrow the clipboard too.
    const std::string typedText = "Typed {\"#233\"} run {\"tab\"}end";
    const std::string typedResult = "Typed \xE9 run \tend";
    const std::string pastedText = "Pasted text, one whole piece";
    auto pasted = HotKeyMacro(2, pastedText, "F9");
    static_cast<TTextMacro&>(*pasted->Settings).Paste = true;
    SaveMacros(directory, {{"typed", HotKeyMacro(1, typedText, "F8")}, {"pasted", pasted}});

ASSERT_NO_FATAL_FAILURE(StartReadyWithTarget());
    const auto user = UserClipboard();
    ASSERT_TRUE(PutOnClipboard(user));

    const int runs = RunsWanted();
    int broken = 0;
    int keysLeftDown = 0;
    int clipboardLost = 0;
    std::vector<SIZE_T> memory;
    const auto started = std::chrono::steady_clock::now();
    for (int run = 0; run < runs; ++run) {
        const bool paste = run % 2 == 1;
        const std::string& expected = paste ? pastedText : typedResult;
        target->SetText("");
        Press({VK_CONTROL, VK_MENU, static_cast<BYTE>(paste ? VK_F9 : VK_F8)});
        if (target->WaitForText(expected, std::chrono::seconds(10)) != expected) {
            ++broken;
            std::printf("run %d: \"%s\" arrived as \"%s\"\n", run, expected.c_str(), target->Text().c_str());
        }
        // The run is over once the user's clipboard is back.
        if (!WaitFor([&] { return ClipboardHolds(user); }, std::chrono::seconds(5))) {
            ++clipboardLost;
            PutOnClipboard(user);
        }
        for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_F8, VK_F9}) {
            if (::GetAsyncKeyState(key) & 0x8000) {
                ++keysLeftDown;
            }
        }
        if (run % 100 == 0 || run == runs - 1) {
            memory.push_back(PrivateBytes(process.Get()));
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("soak: %d runs in %.1f s (%.0f ms a run); %d broken, %d keys left down, %d clipboards lost\n", runs,
                seconds, 1000.0 * seconds / runs, broken, keysLeftDown, clipboardLost);
    std::printf("soak: private bytes every 100 runs (KiB):");
    for (const SIZE_T bytes : memory) {
        std::printf(" %zu", bytes / 1024);
    }
    std::printf("\n");
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(keysLeftDown, 0);
    EXPECT_EQ(clipboardLost, 0);
    // Flat: after the first hundred runs have warmed the caches, growth stays
    // within a few pages per hundred runs.
    ASSERT_GE(memory.size(), 2u);
    ASSERT_GT(memory.front(), 0u) << "the program's memory cannot be read";
    const SIZE_T warmed = memory.size() > 2 ? memory[1] : memory[0];
    EXPECT_LE(memory.back(), warmed + 1024 * 1024) << "memory grew over the runs";
    CloseAndExpectCleanExit();
}

}  // namespace
}  // namespace velmora::tests
