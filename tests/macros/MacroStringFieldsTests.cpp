#include "macros/Macro.h"

#include <gtest/gtest.h>

#include <tuple>

namespace velmora {
namespace {

std::string RecordBytes(const std::string& abbreviation, const std::string& onlyIn)
{
    auto text = std::make_unique<TTextMacro>();
    text->Text = "Kind regards";
    const TMacro macro{.Id = 12, .Name = "Signature", .HotKeyCtrl = true, .HotKey = "S", .Abbreviation = abbreviation,
                       .OnlyIn = onlyIn, .RunAnother = true, .RunAnotherId = 3, .Settings = std::move(text),
                       .HideOnReferenceCard = true};
    MemoryStream stream;
    WriteMacro(macro, stream);
    return stream.Bytes();
}

auto OtherFields(const TMacro& m)
{
    const auto* text = dynamic_cast<const TTextMacro*>(m.Settings.get());
    return std::make_tuple(m.Id, m.Name, m.HotKeyCtrl, m.HotKey, m.HideOnReferenceCard, m.RunAnother,
                           m.RunAnotherId, text ? text->Text : "no action");
}

// The record loop as copies without the string fields have it: unknown tags are passed over.
TMacro ReadAsOlderCopy(MemoryStream& stream)
{
    TMacro m;
    ReadTaggedRecord(stream, [&](std::string_view tag) {
        if (tag == "id") {
            m.Id = ReadInt32(stream);
        } else if (tag == "name" || tag == "hotkey") {
            (tag == "name" ? m.Name : m.HotKey) = ReadString(stream);
        } else if (tag == "hotkeyctrl" || tag == "hideonreferencecard") {
            (tag == "hotkeyctrl" ? m.HotKeyCtrl : m.HideOnReferenceCard) = ReadBool(stream);
        } else if (tag == "runanotherid") {
            m.RunAnother = true;
            m.RunAnotherId = ReadInt32(stream);
        } else if (tag == "settings" && (m.Settings = CreateMacroSettings(ReadString(stream)))) {
            m.Settings->ReadSettings(stream);
        }
    });
    return m;
}

// Both readers get every field right and stop at the record's own end.
TEST(MacroStringFields, RoundTripAndAnOlderReaderGetsEveryOtherFieldRight)
{
    const auto expected = std::make_tuple(12, std::string("Signature"), true, std::string("S"), true, true, 3,
                                          std::string("Kind regards"));
    const std::pair<std::string, std::string> cases[] = {
        {"brb", " notepad.exe ; wordpad.exe "},
        {"Name", "Settings.exe"},  // tags compare exactly, so these mislead no reader
        {"x", std::string(70000, 'p')},
    };
    for (const auto& [abbreviation, onlyIn] : cases) {
        SCOPED_TRACE(abbreviation);
        const std::string bytes = RecordBytes(abbreviation, onlyIn) + RecordBytes("", "") + "tail";
        MemoryStream stream(bytes);
        TMacro copy;
        std::int32_t seen = 0;
        ReadMacro(copy, stream, seen);
        EXPECT_EQ(std::tie(copy.Abbreviation, copy.OnlyIn), std::tie(abbreviation, onlyIn));
        EXPECT_EQ(OtherFields(copy), expected);

        MemoryStream older(bytes);
        EXPECT_EQ(OtherFields(ReadAsOlderCopy(older)), expected);
        EXPECT_EQ(OtherFields(ReadAsOlderCopy(older)), expected);
        EXPECT_EQ(older.Remaining(), 4u);
    }
}

}  // namespace
}  // namespace velmora
