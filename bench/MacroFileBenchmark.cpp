// Load and save of large macro files, through the in-memory file system so
// the figures measure the program, not the disk.

#include <benchmark/benchmark.h>

#include "fakes/FakeFileSystem.h"
#include "macros/MacroFile.h"

namespace velmora {
namespace {

TMacroList MakeMacros(std::int64_t count)
{
    TMacroList macros;
    macros.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        auto macro = std::make_shared<TMacro>();
        macro->Id = static_cast<std::int32_t>(i + 1);
        macro->Name = "Macro number " + std::to_string(i);
        macro->HotKeyCtrl = true;
        macro->HotKey = "F" + std::to_string(i % 12 + 1);
        auto text = std::make_unique<TTextMacro>();
        text->Text = "Dear customer, thank you for your message of <date>.";
        macro->Settings = std::move(text);
        macros.push_back({macro->Name, std::move(macro)});
    }
    return macros;
}

void BM_SaveMacros(benchmark::State& state)
{
    tests::FakeFileSystem files;
    MacroStore store{files};
    const TMacroList macros = MakeMacros(state.range(0));
    store.MaxMacroId = static_cast<std::int32_t>(state.range(0));
    store.OptionsPassword = "secret";
    for (auto _ : state) {
        store.SaveMacros(macros);
    }
    state.SetComplexityN(state.range(0));
    state.counters["bytes"] = static_cast<double>(files.Files.begin()->second.size());
}

void BM_LoadMacros(benchmark::State& state)
{
    tests::FakeFileSystem files;
    MacroStore writer{files};
    writer.MaxMacroId = static_cast<std::int32_t>(state.range(0));
    writer.SaveMacros(MakeMacros(state.range(0)));
    for (auto _ : state) {
        MacroStore store{files};
        store.LoadMacros();
        benchmark::DoNotOptimize(store.MacroList.data());
        state.PauseTiming();
        store.MacroList.clear();  // freeing the records is not part of a load
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_SaveMacros)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LoadMacros)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
}  // namespace velmora
