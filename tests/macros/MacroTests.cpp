#include "macros/Macro.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

std::shared_ptr<TMacro> RoundTrip(const TMacro& original, std::int32_t* maxSeen = nullptr)
{
    MemoryStream stream;
    WriteMacro(original, stream);
    stream.SetPosition(0);
    auto copy = std::make_shared<TMacro>();
    std::int32_t seen = 0;
    ReadMacro(*copy, stream, maxSeen ? *maxSeen : seen);
    EXPECT_EQ(stream.Position(), stream.Size()) << "the reader must stop behind the record's end";
    return copy;
}

std::string RecordBytes(const TMacro& macro)
{
    MemoryStream stream;
    WriteMacro(macro, stream);
    return stream.Bytes();
}

TEST(MacroRecord_FieldOrder, FullMacroIsWrittenInTheFixedOrder)
{
    TMacro macro;
    macro.Id = 3;
    macro.Name = "N";
    macro.HotKeyCtrl = true;
    macro.HotKeyShift = true;
    macro.HotKey = "A";
    auto text = std::make_unique<TTextMacro>();
    text->Text = "hi";
    macro.Settings = std::move(text);

    MemoryStream expected;
    WriteString(expected, "id");
    WriteInt32(expected, 3);
    WriteString(expected, "name");
    WriteString(expected, "N");
    WriteString(expected, "hotkeyctrl");
    WriteBool(expected, true);
    WriteString(expected, "hotkeyshift");
    WriteBool(expected, true);
    WriteString(expected, "hotkey");
    WriteString(expected, "A");
    WriteString(expected, "settings");
    WriteString(expected, "keystrokes");
    WriteString(expected, "text");
    WriteString(expected, "hi");
    WriteString(expected, "paste");
    WriteBool(expected, false);
    WriteString(expected, "end");
    WriteString(expected, "end");
    EXPECT_EQ(RecordBytes(macro), expected.Bytes());
}

TEST(MacroRecord_FieldOrder, EmptyMacroWritesOnlyTheAlwaysFields)
{
    TMacro macro;
    macro.RunAnotherId = 44;  // not written: RunAnother is off
    MemoryStream expected;
    WriteString(expected, "id");
    WriteInt32(expected, 0);
    WriteString(expected, "name");
    WriteString(expected, "");
    WriteString(expected, "hotkey");
    WriteString(expected, "");
    WriteString(expected, "end");
    EXPECT_EQ(RecordBytes(macro), expected.Bytes());

    const auto copy = RoundTrip(macro);
    EXPECT_FALSE(copy->RunAnother);
    EXPECT_EQ(copy->RunAnotherId, 0);
    EXPECT_EQ(copy->Settings, nullptr);
}

TEST(MacroRecord_RoundTrip, EveryFieldOfEveryKindSurvives)
{
    TMacro macro;
    macro.Id = -17;
    macro.Name = std::string("Na\0me\xE9", 6);
    macro.HotKeyWin = macro.HotKeyAlt = true;
    macro.HotKey = "Page Up";
    macro.VirtualKey = 0x21;
    macro.RunAnother = true;
    macro.RunAnotherId = 0;
    macro.HideOnReferenceCard = true;

    auto text = std::make_unique<TTextMacro>();
    text->Text = std::string(100000, 'x');
    text->Paste = true;
    macro.Settings = std::move(text);
    auto copy = RoundTrip(macro);
    EXPECT_EQ(copy->Id, -17);
    EXPECT_EQ(copy->Name, macro.Name);
    EXPECT_TRUE(copy->HotKeyWin && copy->HotKeyAlt);
    EXPECT_FALSE(copy->HotKeyCtrl || copy->HotKeyShift);
    EXPECT_EQ(copy->HotKey, "Page Up");
    EXPECT_EQ(copy->VirtualKey, 0u) << "the virtual key is never stored";
    EXPECT_TRUE(copy->RunAnother) << "runanotherid 0 still means run another";
    EXPECT_EQ(copy->RunAnotherId, 0);
    EXPECT_TRUE(copy->HideOnReferenceCard);
    const auto* copiedText = dynamic_cast<const TTextMacro*>(copy->Settings.get());
    ASSERT_NE(copiedText, nullptr);
    EXPECT_EQ(copiedText->Text.size(), 100000u);
    EXPECT_TRUE(copiedText->Paste);

    auto launch = std::make_unique<TLaunchMacro>();
    launch->FileName = "C:\\Windows\\notepad.exe";
    macro.Settings = std::move(launch);
    copy = RoundTrip(macro);
    const auto* copiedLaunch = dynamic_cast<const TLaunchMacro*>(copy->Settings.get());
    ASSERT_NE(copiedLaunch, nullptr);
    EXPECT_EQ(copiedLaunch->Kind(), "launch");
    EXPECT_EQ(copiedLaunch->FileName, "C:\\Windows\\notepad.exe");
    EXPECT_EQ(copiedLaunch->CommandLine, "");

    auto system = std::make_unique<TSystemMacro>();
    system->Action = -1;
    macro.Settings = std::move(system);
    copy = RoundTrip(macro);
    const auto* copiedSystem = dynamic_cast<const TSystemMacro*>(copy->Settings.get());
    ASSERT_NE(copiedSystem, nullptr);
    EXPECT_EQ(copiedSystem->Action, -1);

    auto command = std::make_unique<TVelmoraMacro>();
    command->Action = static_cast<std::int32_t>(VelmoraAction::OpenOptions);
    macro.Settings = std::move(command);
    copy = RoundTrip(macro);
    const auto* copiedCommand = dynamic_cast<const TVelmoraMacro*>(copy->Settings.get());
    ASSERT_NE(copiedCommand, nullptr);
    EXPECT_EQ(copiedCommand->Kind(), "velmora");
    EXPECT_EQ(copiedCommand->Action, 1);
}

TEST(MacroRecord_Reading, FieldsAreAcceptedInAnyOrderAndFalseFlagsReadFalse)
{
    MemoryStream stream;
    WriteString(stream, "hotkey");
    WriteString(stream, "F1");
    WriteString(stream, "hotkeywin");
    WriteByte(stream, 0);
    WriteString(stream, "hotkeyctrl");
    WriteByte(stream, 2);
    WriteString(stream, "name");
    WriteString(stream, "late");
    WriteString(stream, "id");
    WriteInt32(stream, 8);
    WriteString(stream, "end");
    stream.SetPosition(0);
    TMacro macro;
    std::int32_t seen = 0;
    ReadMacro(macro, stream, seen);
    EXPECT_EQ(macro.Id, 8);
    EXPECT_EQ(macro.Name, "late");
    EXPECT_EQ(macro.HotKey, "F1");
    EXPECT_FALSE(macro.HotKeyWin);
    EXPECT_FALSE(macro.HotKeyCtrl);
}

TEST(MacroRecord_Reading, UnknownKindIsSkippedToItsEndAndTheMacroKeepsNoAction)
{
    MemoryStream stream;
    WriteString(stream, "id");
    WriteInt32(stream, 4);
    WriteString(stream, "settings");
    WriteString(stream, "keystrokes");
    WriteString(stream, "text");
    WriteString(stream, "old");
    WriteString(stream, "end");
    // A kind from some other version, with an integer and a flag in its body:
    // walking it tag by tag would lose the rest of the macro.
    WriteString(stream, "settings");
    WriteString(stream, "macrorecorder");
    WriteString(stream, "speed");
    WriteInt32(stream, 250);
    WriteString(stream, "loop");
    WriteBool(stream, false);
    WriteString(stream, "end");
    WriteString(stream, "name");
    WriteString(stream, "after");
    WriteString(stream, "end");
    WriteString(stream, "id");  // belongs to whatever follows the record
    stream.SetPosition(0);

    TMacro macro;
    std::int32_t seen = 0;
    ReadMacro(macro, stream, seen);
    EXPECT_EQ(macro.Settings, nullptr);
    EXPECT_EQ(macro.Name, "after");
    EXPECT_EQ(stream.Size() - stream.Position(), 6u);
}

TEST(MacroRecord_Reading, RecordCutInsideSettingsKeepsWhatWasRead)
{
    TMacro original;
    original.Id = 6;
    auto launch = std::make_unique<TLaunchMacro>();
    launch->FileName = "calc.exe";
    launch->CommandLine = "/x";
    original.Settings = std::move(launch);
    std::string bytes = RecordBytes(original);
    bytes.resize(bytes.find("commandline") - 4);

    MemoryStream stream(bytes);
    TMacro macro;
    std::int32_t seen = 0;
    ReadMacro(macro, stream, seen);
    EXPECT_EQ(macro.Id, 6);
    EXPECT_EQ(seen, 6);
    const auto* read = dynamic_cast<const TLaunchMacro*>(macro.Settings.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->FileName, "calc.exe");
    EXPECT_EQ(read->CommandLine, "");
}

TEST(MacroRecord_Reading, LargestIdentifierSeenIsTracked)
{
    std::int32_t seen = 0;
    for (const std::int32_t id : {5, 2, 9}) {
        TMacro macro;
        macro.Id = id;
        RoundTrip(macro, &seen);
    }
    EXPECT_EQ(seen, 9);

    std::int32_t onlyNegative = 0;
    TMacro negative;
    negative.Id = -3;
    RoundTrip(negative, &onlyNegative);
    EXPECT_EQ(onlyNegative, 0);
}

TEST(MacroRecord_Kinds, KindStringAndClassAgree)
{
    for (const std::string_view kind : {"keystrokes", "launch", "system", "velmora"}) {
        const auto settings = CreateMacroSettings(kind);
        ASSERT_NE(settings, nullptr) << kind;
        EXPECT_EQ(settings->Kind(), kind);
    }
    EXPECT_NE(dynamic_cast<TTextMacro*>(CreateMacroSettings("keystrokes").get()), nullptr);
    EXPECT_NE(dynamic_cast<TSystemMacro*>(CreateMacroSettings("system").get()), nullptr);
    EXPECT_EQ(CreateMacroSettings("Keystrokes"), nullptr) << "kinds compare case-sensitively";
    EXPECT_EQ(CreateMacroSettings(""), nullptr);
    EXPECT_EQ(kSystemActionNames.size(), 7u);
    EXPECT_EQ(kSystemActionNames[static_cast<int>(SystemAction::CloseCdTray)], "Close CD tray.");
    EXPECT_EQ(kVelmoraActionNames[static_cast<int>(VelmoraAction::OpenOptions)], "Open Velmora options.");
}

TEST(MacroList_Lookup, FirstMatchWins)
{
    TMacroList list;
    EXPECT_EQ(FindMacroById(list, 1), nullptr);
    EXPECT_EQ(IndexOfMacroId(list, 1), -1);

    for (const std::int32_t id : {4, 7, 7}) {
        auto macro = std::make_shared<TMacro>();
        macro->Id = id;
        list.push_back({"m" + std::to_string(id), macro});
    }
    EXPECT_EQ(IndexOfMacroId(list, 7), 1);
    EXPECT_EQ(FindMacroById(list, 7), list[1].Macro);
    EXPECT_EQ(FindMacroById(list, 5), nullptr);
    EXPECT_EQ(IndexOfMacroId(list, 4), 0);
}

}  // namespace
}  // namespace velmora
