#include "macros/Macro.h"

#include <gtest/gtest.h>

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
    macro->HideOnReferenceCard = true;
    macro->RunAnother = true;
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
        } else if (tag == "hotkeywin") {
            macro.HotKeyWin = ReadBool(stream);
        } else if (tag == "hotkeyctrl") {
            macro.HotKeyCtrl = ReadBool(stream);
        } else if (tag == "hotkeyshift") {
            macro.HotKeyShift = ReadBool(stream);
        } else if (tag == "hotkeyalt") {
            macro.HotKeyAlt = ReadBool(stream);
        } else if (tag == "hotkey") {
            macro.HotKey = ReadString(stream);
        } else if (tag == "hideonreferencecard") {
            macro.HideOnReferenceCard = ReadBool(stream);
        } else if (tag == "runanotherid") {
            macro.RunAnother = true;
            macro.RunAnotherId = ReadInt32(stream);
        } else if (tag == "settings") {
            macro.Settings = CreateMacroSettings(ReadString(stream));
            if (macro.Settings) {
                macro.Settings->ReadSettings(stream);
            }
        }
    });
    return macro;
}

void ExpectSameOlderFields(const TMacro& read, const TMacro& written)
{
    EXPECT_EQ(read.Id, written.Id);
    EXPECT_EQ(read.Name, written.Name);
    EXPECT_EQ(read.HotKeyWin, written.HotKeyWin);
    EXPECT_EQ(read.HotKeyCtrl, written.HotKeyCtrl);
    EXPECT_EQ(read.HotKeyShift, written.HotKeyShift);
    EXPECT_EQ(read.HotKeyAlt, written.HotKeyAlt);
    EXPECT_EQ(read.HotKey, written.HotKey);
    EXPECT_EQ(read.HideOnReferenceCard, written.HideOnReferenceCard);
    EXPECT_EQ(read.RunAnother, written.RunAnother);
    EXPECT_EQ(read.RunAnotherId, written.RunAnotherId);
    const auto* text = dynamic_cast<const TTextMacro*>(read.Settings.get());
    ASSERT_NE(text, nullptr);
    const auto& expected = dynamic_cast<const TTextMacro&>(*written.Settings);
    EXPECT_EQ(text->Text, expected.Text);
    EXPECT_EQ(text->Paste, expected.Paste);
}

struct StringFieldsCase {
    std::string abbreviation;
    std::string onlyIn;
};

const std::vector<StringFieldsCase> kStringFieldsCases = {
    {"brb", ""},
    {"", "notepad.exe;winword.exe"},
    {";sig", " notepad.exe ; wordpad.exe "},
    {"Name", "Settings.exe"},  // tags compare exactly, so these mislead no reader
    {"\xE9t\xE9", "\xC9" "DITEUR.EXE"},
    {"x", std::string(70000, 'p')},
};

TEST(MacroStringFields, BothFieldsRoundTripAndTheRestStays)
{
    for (const auto& [abbreviation, onlyIn] : kStringFieldsCases) {
        SCOPED_TRACE(abbreviation + "|" + onlyIn.substr(0, 40));
        const auto macro = FullMacro(abbreviation, onlyIn);
        MemoryStream stream(RecordBytes(*macro));
        TMacro copy;
        std::int32_t seen = 0;
        ReadMacro(copy, stream, seen);
        EXPECT_EQ(stream.Position(), stream.Size());
        EXPECT_EQ(copy.Abbreviation, macro->Abbreviation);
        EXPECT_EQ(copy.OnlyIn, macro->OnlyIn);
        ExpectSameOlderFields(copy, *macro);
    }
}

TEST(MacroStringFields, AnOlderReaderGetsEveryOtherFieldRight)
{
    for (const auto& [abbreviation, onlyIn] : kStringFieldsCases) {
        SCOPED_TRACE(abbreviation + "|" + onlyIn.substr(0, 40));
        const auto macro = FullMacro(abbreviation, onlyIn);
        MemoryStream stream(RecordBytes(*macro) + RecordBytes(*FullMacro("next", "")));
        const TMacro read = ReadAsOlderCopy(stream);
        ExpectSameOlderFields(read, *macro);
        // ... and stops at the record's own end, so the next record is whole.
        const TMacro next = ReadAsOlderCopy(stream);
        EXPECT_EQ(next.Name, "Signature");
        EXPECT_EQ(stream.Position(), stream.Size());
    }
}

TEST(MacroStringFields, WrittenRightAfterTheHotKeyAndOnlyWhenSet)
{
    struct Case {
        const char* abbreviation;
        const char* onlyIn;
        std::vector<std::string> fieldsAfterHotKey;
    };
    const Case cases[] = {
        {"", "", {}},
        {"brb", "", {"abbreviation", "brb"}},
        {"", "notepad.exe", {"onlyin", "notepad.exe"}},
        {"brb", "notepad.exe", {"abbreviation", "brb", "onlyin", "notepad.exe"}},
    };
    for (const auto& [abbreviation, onlyIn, fields] : cases) {
        TMacro macro;
        macro.Id = 1;
        macro.HotKey = "F7";
        macro.Abbreviation = abbreviation;
        macro.OnlyIn = onlyIn;
        MemoryStream expected;
        WriteString(expected, "id");
        WriteInt32(expected, 1);
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
    for (const std::string_view word : {"", "ID", "End", "hot", "hotkeys", "brb", "ends", "end ", "keystrokes"}) {
        EXPECT_FALSE(IsRecordTagWord(word)) << word;
    }
}

}  // namespace
}  // namespace velmora
