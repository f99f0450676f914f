// Feeds arbitrary bytes through the whole text path: the first byte picks the
// code page (1252, 932 or 65001) and how the text goes out (typed, pasted, or
// typed with Unicode input), the rest is a macro's stored text. The text is
// decoded, expanded and played into the fake keyboard, and shown in and
// written back from the keystroke text box. Beyond not crashing: the user's
// clipboard comes back, no key is left down, the box gives an unchanged text
// back byte for byte, and what it writes is whole characters of the code page
// that show again as they were written.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/MacroRunner.h"
#include "fakes/FakePlatform.h"
#include "macros/UnicodeTags.h"

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    if (size == 0) {
        return 0;
    }
    constexpr int kCodePages[] = {1252, 932, 65001};
    const std::uint8_t choice = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    tests::FakePlatform platform;
    platform.codePage.Use(kCodePages[choice % 3]);
    platform.clipboard.SetText("mine");

    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t length = platform.codePage.Read(rest).length;
        Check(length >= 1 && length <= rest.size());
        rest.remove_prefix(length);
    }

    TMacroList macros;
    RandomGenerator random;
    const bool unicodeInput = (choice / 3) % 3 == 2;
    MacroRunner runner{platform.Get(), macros, random, {}, [&] { return unicodeInput; }};
    auto action = std::make_unique<TTextMacro>();
    action->Text = text;
    action->Paste = (choice / 3) % 3 == 1;
    auto macro = std::make_shared<TMacro>();
    macro->Settings = std::move(action);
    runner.RunMacro(macro);
    Check(platform.clipboard.Text() == "mine");
    Check(platform.keyboard.KeysDown().empty());

    StoredTextAsShown box;
    std::u16string shown = box.Show(text, platform.codePage);
    Check(box.Write(shown, platform.codePage) == text);
    // Without braces the shown text holds no tag to read, so it must come
    // back as it was written.
    std::erase(shown, u'{');
    const std::string written = WriteUnicodeTags(shown, platform.codePage);
    for (std::string_view rest = written; !rest.empty();) {
        const AnsiCharacter read = platform.codePage.Read(rest);
        Check(read.character.has_value());
        rest.remove_prefix(read.length);
    }
    std::u16string unpaired;
    for (std::size_t i = 0; i < shown.size();) {
        AppendUtf16(unpaired, NextUtf16(shown, i));
    }
    Check(ShowUnicodeTags(written, platform.codePage) == unpaired);
    return 0;
}
