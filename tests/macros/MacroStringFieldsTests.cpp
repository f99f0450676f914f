#include "macros/Macro.h"

#include <gtest/gtest.h>

#include <tuple>

namespace velmora {
namespace {

std::string RecordBytes(const TMacro& macro)
{
    MemoryStream stream;
    WriteMacro(macro, stream);
    return stream.Bytes();
}

std::unique_ptr<TMacro> FullMacro(std::string abbreviation, std::string onlyIn)
{
    auto macro = std::make_unique<TMacro>();
    macro->Id = 12;
    macro->Name = "Signature";
    macro->HotKeyCtrl = macro->HotKeyAlt = true;
    macro->HotKey = "S";
    macro->Abbreviation = std::move(abbreviation);
    macro->OnlyIn = std::move(onlyIn);
    macro->HideOnReferenceCard = macro->RunAnother = true;
    macro->RunAnotherId = 3;
    auto text = std::make_unique<TTextMacro>();
    text->Text = "Kind regards";
    text->Paste = true;
    macro->Settings = std::move(text);
    return macro;
}

// The record loop as copies without the string fields have it: the fields it
// does not know are passed over tag by tag.
TMacro ReadAsOlderCopy(MemoryStream& stream)
{
    TMacro macro;
    ReadTaggedRecord(stream, [&](std::string_view tag) {
        if (tag == "id") {
            macro.Id = ReadInt32(stream);
        } else if (tag == "name") {
            macro.Name = ReadString(stream);
        } else if (tag == "hotkeyctrl") {
            macro.HotKeyCtrl = ReadBool(stream);
        } else if (tag == "hotkeyalt") {
            macro.HotKeyAlt = ReadBool(stream);
        } else if (tag == "hotkey") {
            macro.HotKey = ReadString(stream);
        } else if (tag == "hideonreferencecard") {
            macro.HideOnReferenceCard = ReadBool(stream);
        } else if (tag == "runanotherid") {
            macro.RunAnother = true;
            macro.RunAnotherId = ReadInt32(stream);
        } else if (tag == "settings" && (macro.Settings = CreateMacroSettings(ReadString(stream)))) {
            macro.Settings->ReadSettings(stream);
        }
    });
    return macro;
}

auto OlderFields(const TMacro& m)
{
    const auto* text = dynamic_cast<const TTextMacro*>(m.Settings.get());
    return std::make_tuple(m.Id, m.Name, m.HotKeyCtrl, m.HotKeyAlt, m.HotKey, m.HideOnReferenceCard, m.RunAnother,
                           m.RunAnotherId, text ? text->Text : "no action", text && text->Paste);
}

// Both readers get every field right, and stop at the record's own end so
// the next record is whole.
TEST(MacroStringFields, RoundTripAndAnOlderReaderGetsEveryOtherFieldRight)
{
    const std::pair<std::string, std::string> cases[] = {
        {"brb", ""},
        {"", "notepad.exe;winword.exe"},
        {";sig", " notepad.exe ; wordpad.exe "},
        {"Name", "Settings.exe"},  // tags compare exactly, so these mislead no reader
        {"\xE9t\xE9", "\xC9" "DITEUR.EXE"},
        {"x", std::string(70000, 'p')},
    };
    for (const auto& [abbreviation, onlyIn] : cases) {
        SCOPED_TRACE(abbreviation + "|" + onlyIn.substr(0, 40));
        const auto macro = FullMacro(abbreviation, onlyIn);
        const std::string bytes = RecordBytes(*macro) + RecordBytes(*FullMacro("", "")) + "tail";
        MemoryStream stream(bytes);
        TMacro copy;
        std::int32_t seen = 0;
        ReadMacro(copy, stream, seen);
        EXPECT_EQ(copy.Abbreviation, macro->Abbreviation);
        EXPECT_EQ(copy.OnlyIn, macro->OnlyIn);
        EXPECT_EQ(OlderFields(copy), OlderFields(*macro));

        MemoryStream older(bytes);
        EXPECT_EQ(OlderFields(ReadAsOlderCopy(older)), OlderFields(*macro));
        EXPECT_EQ(OlderFields(ReadAsOlderCopy(older)), OlderFields(*FullMacro("", "")));
        EXPECT_EQ(older.Remaining(), 4u);
    }
}

TEST(MacroStringFields, WrittenRightAfterTheHotKeyAndOnlyWhenSet)
{
    const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
        {"", "", {}},
        {"brb", "", {"abbreviation", "brb"}},
        {"", "notepad.exe", {"onlyin", "notepad.exe"}},
        {"brb", "notepad.exe", {"abbreviation", "brb", "onlyin", "notepad.exe"}},
    };
    for (const auto& [abbreviation, onlyIn, fields] : cases) {
        TMacro macro;
        macro.HotKey = "F7";
        macro.Abbreviation = abbreviation;
        macro.OnlyIn = onlyIn;
        MemoryStream expected;
        WriteString(expected, "id");
        WriteInt32(expected, 0);
        WriteString(expected, "name");
        WriteString(expected, "");
        WriteString(expected, "hotkey");
        WriteString(expected, "F7");
        for (const std::string& field : fields) {
            WriteString(expected, field);
        }
        WriteString(expected, "end");
        EXPECT_EQ(RecordBytes(macro), expected.Bytes()) << abbreviation << "|" << onlyIn;
    }
}

TEST(MacroStringFields, TagWordsAreEveryTagTheReadersKnow)
{
    for (const std::string_view word :
         {"id", "name", "end", "hotkeywin", "hotkeyctrl", "hotkeyshift", "hotkeyalt", "hotkey", "abbreviation",
          "onlyin", "hideonreferencecard", "runanotherid", "settings", "text", "paste", "filename", "commandline",
          "action", "maxmacroid", "password", "macro"}) {
        EXPECT_TRUE(IsRecordTagWord(word)) << word;
    }
    for (const std::string_view word : {"", "ID", "End", "hot", "hotkeys", "brb", "end ", "keystrokes"}) {
        EXPECT_FALSE(IsRecordTagWord(word)) << word;
    }
}

}  // namespace
}  // namespace velmora
