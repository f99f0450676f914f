// The work for one key the user presses, from the key watch's delivery to the
// matcher's verdict, with 1,000 abbreviations: ordinary typing, and typing
// whose every word runs deep into abbreviations that share their ending.
// One iteration is one key.

#include <benchmark/benchmark.h>

#include "fakes/AbbreviationRig.h"
#include "platform/Keyboard.h"

namespace velmora {
namespace {

using Watching = tests::AbbreviationRig;

// "aaa", "baa", ... : three letters for each number below 26^3.
std::string Letters(int number)
{
    std::string letters;
    for (int i = 0; i < 3; ++i, number /= 26) {
        letters += static_cast<char>('a' + number % 26);
    }
    return letters;
}

// 1,000 macros whose abbreviations are `before` + three letters + `after`;
// every fourth is for some programs only.
void AddAbbreviations(Watching& watching, const std::string& before, const std::string& after)
{
    for (int i = 0; i < 1000; ++i) {
        auto macro = std::make_shared<TMacro>();
        macro->Id = i + 1;
        macro->Abbreviation = before + Letters(i) + after;
        macro->OnlyIn = i % 4 == 0 ? "notepad.exe;winword.exe" : "";
        auto text = std::make_unique<TTextMacro>();
        text->Text = "expanded";
        macro->Settings = std::move(text);
        watching.macros.push_back({"m" + std::to_string(i), macro});
    }
    watching.trigger.Follow(watching.macros);
}

// The keys of the text; '<' stands for Backspace.
std::vector<WatchedKey> Keys(std::u16string_view text)
{
    std::vector<WatchedKey> keys;
    for (const char16_t c : text) {
        if (c == u'<') {
            keys.push_back({.virtualKey = vk::Back});
        } else {
            const bool upper = c >= u'A' && c <= u'Z';
            keys.push_back({.virtualKey = tests::FakeKeyWatch::VirtualKeyOf(c),
                            .held = upper ? kHeldShift : std::uint8_t{0},
                            .text = std::u16string(1, c)});
        }
    }
    return keys;
}

void TypeKeys(benchmark::State& state, Watching& watching, const std::vector<WatchedKey>& keys)
{
    std::size_t next = 0;
    for (auto _ : state) {
        watching.watch.Press(keys[next]);
        next = next + 1 == keys.size() ? 0 : next + 1;
    }
    // None of the typing completes an abbreviation: each key costs the same
    // in every round, and no macro runs.
    if (!watching.platform.keyboard.events.empty()) {
        state.SkipWithError("an abbreviation fired");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// Prose with the abbreviations' ";" inside words (each one walked to its end
// and refused there), mistakes taken back, capitals and punctuation.
void BM_KeyEventOrdinaryTyping(benchmark::State& state)
{
    Watching watching;
    AddAbbreviations(watching, ";", "");
    const auto keys = Keys(u"Thanks for the report;aab, it reads well. The thrid<<<ird table;cab needs "
                           u"another look before Friday; send it to Ann (and Bob) when done!  ");
    TypeKeys(state, watching, keys);
}

// Words ending in "tion", where every abbreviation ends: each "n" walks
// eight characters back.
void BM_KeyEventSharedEnding(benchmark::State& state)
{
    Watching watching;
    AddAbbreviations(watching, ";", "tion");
    const auto keys = Keys(u"the nation's station: a motion of caution, a ration of lotion; notion ");
    TypeKeys(state, watching, keys);
}

BENCHMARK(BM_KeyEventOrdinaryTyping);
BENCHMARK(BM_KeyEventSharedEnding);

}  // namespace
}  // namespace velmora
