// Feeds arbitrary bytes to the loader as the plain content of a macro file
// (scrambled here, so mutations act on the records rather than on a
// scrambling that changes with every change of length). Beyond not crashing,
// a load must keep identifiers above every loaded macro, and saving what was
// loaded must be stable: save, load and save again give equal bytes.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes/FakeFileSystem.h"
#include "macros/MacroFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    const std::string path = tests::FakeFileSystem::PathOf("velmora.dtx");

    tests::FakeFileSystem files;
    std::string content(reinterpret_cast<const char*>(data), size);
    ScrambleFileContent(content);
    files.Files[path] = std::move(content);
    MacroStore store{files};
    store.LoadMacros();
    for (const TMacroEntry& entry : store.MacroList) {
        if (entry.Macro->Id > store.MaxMacroId) {
            std::abort();
        }
    }

    store.SaveMacros(store.MacroList);
    const std::string saved = files.Files[path];
    MacroStore reloaded{files};
    reloaded.LoadMacros();
    if (reloaded.MacroList.size() != store.MacroList.size() || reloaded.OptionsPassword != store.OptionsPassword ||
        reloaded.MaxMacroId != store.MaxMacroId) {
        std::abort();
    }
    reloaded.SaveMacros(reloaded.MacroList);
    if (files.Files[path] != saved) {
        std::abort();
    }
    return 0;
}
