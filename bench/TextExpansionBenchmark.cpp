// Expansion throughput on plain text and on text dense with tags, from 10 KB
// to 1 MB, to show the cost grows linearly; and in code page 932.

#include <benchmark/benchmark.h>

#include "engine/TextExpansion.h"
#include "fakes/FakePlatform.h"

namespace velmora {
namespace {

std::string Repeat(std::string_view unit, std::size_t size)
{
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size) {
        text += unit;
    }
    return text;
}

void Expand(benchmark::State& state, std::string_view unit, int page = 1252)
{
    tests::FakeClock clock;
    RandomGenerator random;
    tests::FakeCodePage codePage;
    codePage.Use(page);
    MacroTextExpander expander{clock, clock, random, codePage};
    const std::string text = Repeat(unit, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(expander.ExpandMacroText(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.SetComplexityN(state.range(0));
}

void BM_ExpandPlainText(benchmark::State& state)
{
    Expand(state, "Dear customer, thank you for your letter.\r\nWe will reply within a week. ");
}

void BM_ExpandTagDenseText(benchmark::State& state)
{
    Expand(state, "{\"tab\"}{\"date\"}x{\"ctrl\"}{\"F5\"}{\"#65\"}{\"rand 1,100,3\"}{\"shorttime\"}{\"unknown\"}");
}

// An opening mark with no closing mark anywhere after it, over and over: the
// case a naive scan turns quadratic.
void BM_ExpandUnclosedMarks(benchmark::State& state)
{
    Expand(state, "{\"a");
}

// The same English text where a character may take two bytes, and Japanese
// text whose every character does (one with a trail byte that is "{").
void BM_ExpandPlainTextOnCodePage932(benchmark::State& state)
{
    Expand(state, "Dear customer, thank you for your letter.\r\nWe will reply within a week. ", 932);
}

void BM_ExpandJapaneseText(benchmark::State& state)
{
    Expand(state, "\x93\xFA\x96\x7B\x8C\xEA\x83\x7B\x83\x5C\x95\x5C {\"tab\"}\r\n", 932);
}

BENCHMARK(BM_ExpandPlainText)->RangeMultiplier(10)->Range(10 << 10, 1 << 20)->Complexity();
BENCHMARK(BM_ExpandTagDenseText)->RangeMultiplier(10)->Range(10 << 10, 1 << 20)->Complexity();
BENCHMARK(BM_ExpandUnclosedMarks)->RangeMultiplier(10)->Range(10 << 10, 1 << 20)->Complexity();
BENCHMARK(BM_ExpandPlainTextOnCodePage932)->RangeMultiplier(10)->Range(10 << 10, 1 << 20)->Complexity();
BENCHMARK(BM_ExpandJapaneseText)->RangeMultiplier(10)->Range(10 << 10, 1 << 20)->Complexity();

}  // namespace
}  // namespace velmora
