#include "macros/Macro.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::string_view kTextTag = "text";
constexpr std::string_view kPasteTag = "paste";
constexpr std::string_view kFileNameTag = "filename";
constexpr std::string_view kCommandLineTag = "commandline";
constexpr std::string_view kActionTag = "action";

constexpr std::string_view kIdTag = "id";
constexpr std::string_view kNameTag = "name";
constexpr std::string_view kHotKeyWinTag = "hotkeywin";
constexpr std::string_view kHotKeyCtrlTag = "hotkeyctrl";
constexpr std::string_view kHotKeyShiftTag = "hotkeyshift";
constexpr std::string_view kHotKeyAltTag = "hotkeyalt";
constexpr std::string_view kHotKeyTag = "hotkey";
constexpr std::string_view kAbbreviationTag = "abbreviation";
constexpr std::string_view kOnlyInTag = "onlyin";
constexpr std::string_view kHideOnReferenceCardTag = "hideonreferencecard";
constexpr std::string_view kRunAnotherIdTag = "runanotherid";
constexpr std::string_view kSettingsTag = "settings";

// Every tag of a record and of the action bodies.
constexpr std::string_view kRecordTags[] = {
    kEndTag, kIdTag, kNameTag, kHotKeyWinTag, kHotKeyCtrlTag, kHotKeyShiftTag, kHotKeyAltTag, kHotKeyTag,
    kAbbreviationTag, kOnlyInTag, kHideOnReferenceCardTag, kRunAnotherIdTag, kSettingsTag,
    kTextTag, kPasteTag, kFileNameTag, kCommandLineTag, kActionTag,
};

// The bytes of the closing tag as it stands in a record.
constexpr char kEncodedEndTag[] = {3, 0, 0, 0, 'e', 'n', 'd'};

// The body of a kind we do not know cannot be read field by field (its value
// types are unknown), so it is skipped up to the first closing tag.
void SkipUnknownBody(MemoryStream& stream)
{
    const std::string& bytes = stream.Bytes();
    const std::string_view pattern(kEncodedEndTag, sizeof kEncodedEndTag);
    const auto at = bytes.find(pattern, stream.Position());
    stream.SetPosition(at == std::string::npos ? bytes.size() : at + pattern.size());
}

// Written only when set, so a macro without it keeps the bytes older copies wrote.
void WriteOptionalString(MemoryStream& stream, std::string_view tag, std::string_view value)
{
    if (!value.empty()) {
        WriteString(stream, tag);
        WriteString(stream, value);
    }
}

void WriteFlag(MemoryStream& stream, std::string_view tag, bool set)
{
    if (set) {
        WriteString(stream, tag);
        WriteBool(stream, true);
    }
}

template <typename Kind>
std::unique_ptr<TMacroSettings> Create()
{
    return std::make_unique<Kind>();
}

// Puts the kind at the place its class names, so the list's order is the classes'.
template <typename Kind>
constexpr void Declare(std::array<ActionKind, kActionKindCount>& kinds, std::string_view tag,
                       std::string_view listText)
{
    kinds[Kind::kAction] = {tag, listText, &Create<Kind>};
}

}  // namespace

constexpr std::array<ActionKind, kActionKindCount> kActionKinds = [] {
    std::array<ActionKind, kActionKindCount> kinds{};
    Declare<TTextMacro>(kinds, "keystrokes", "Send keystrokes.");
    Declare<TLaunchMacro>(kinds, "launch", "Run application or open document.");
    Declare<TSystemMacro>(kinds, "system", "System command.");
    Declare<TVelmoraMacro>(kinds, "velmora", "Velmora command.");
    return kinds;
}();

const std::vector<std::string_view> kSystemActionNames = {
    "Launch screensaver.", "Windows log-off user.", "Windows restart.", "Windows shutdown.",
    "Turn monitor off.",   "Open CD tray.",         "Close CD tray.",
};

const std::vector<std::string_view> kVelmoraActionNames = {
    "Display macro quick reference.",
    "Open Velmora options.",
};

void TTextMacro::WriteSettings(MemoryStream& stream) const
{
    WriteString(stream, kTextTag);
    WriteString(stream, Text);
    WriteString(stream, kPasteTag);
    WriteBool(stream, Paste);
    WriteString(stream, kEndTag);
}

void TTextMacro::ReadSettings(MemoryStream& stream)
{
    ReadTaggedRecord(stream, [&](std::string_view tag) {
        if (tag == kTextTag) {
            Text = ReadString(stream);
        } else if (tag == kPasteTag) {
            Paste = ReadBool(stream);
        }
    });
}

void TLaunchMacro::WriteSettings(MemoryStream& stream) const
{
    WriteString(stream, kFileNameTag);
    WriteString(stream, FileName);
    WriteString(stream, kCommandLineTag);
    WriteString(stream, CommandLine);
    WriteString(stream, kEndTag);
}

void TLaunchMacro::ReadSettings(MemoryStream& stream)
{
    ReadTaggedRecord(stream, [&](std::string_view tag) {
        if (tag == kFileNameTag) {
            FileName = ReadString(stream);
        } else if (tag == kCommandLineTag) {
            CommandLine = ReadString(stream);
        }
    });
}

void TCommandMacro::WriteSettings(MemoryStream& stream) const
{
    WriteString(stream, kActionTag);
    WriteInt32(stream, Action);
    WriteString(stream, kEndTag);
}

void TCommandMacro::ReadSettings(MemoryStream& stream)
{
    ReadTaggedRecord(stream, [&](std::string_view tag) {
        if (tag == kActionTag) {
            Action = ReadInt32(stream);
        }
    });
}

std::string_view TMacroSettings::Kind() const
{
    return kActionKinds[static_cast<std::size_t>(m_action)].tag;
}

std::unique_ptr<TMacroSettings> CreateMacroSettings(std::string_view kind)
{
    const auto found = std::find_if(kActionKinds.begin(), kActionKinds.end(),
                                    [kind](const ActionKind& each) { return each.tag == kind; });
    return found == kActionKinds.end() ? nullptr : found->create();
}

std::unique_ptr<TMacroSettings> CreateMacroSettings(MacroAction action)
{
    return action >= 0 && action < kActionKindCount ? kActionKinds[static_cast<std::size_t>(action)].create()
                                                     : nullptr;
}

void ReadMacro(TMacro& macro, MemoryStream& stream, std::int32_t& maxMacroIdSeen)
{
    ReadTaggedRecord(stream, [&](std::string_view tag) {
        if (tag == kIdTag) {
            macro.Id = ReadInt32(stream);
        } else if (tag == kNameTag) {
            macro.Name = ReadString(stream);
        } else if (tag == kHotKeyWinTag) {
            macro.HotKeyWin = ReadBool(stream);
        } else if (tag == kHotKeyCtrlTag) {
            macro.HotKeyCtrl = ReadBool(stream);
        } else if (tag == kHotKeyShiftTag) {
            macro.HotKeyShift = ReadBool(stream);
        } else if (tag == kHotKeyAltTag) {
            macro.HotKeyAlt = ReadBool(stream);
        } else if (tag == kHotKeyTag) {
            macro.HotKey = ReadString(stream);
        } else if (tag == kAbbreviationTag) {
            macro.Abbreviation = ReadString(stream);
        } else if (tag == kOnlyInTag) {
            macro.OnlyIn = ReadString(stream);
        } else if (tag == kHideOnReferenceCardTag) {
            macro.HideOnReferenceCard = ReadBool(stream);
        } else if (tag == kRunAnotherIdTag) {
            macro.RunAnother = true;
            macro.RunAnotherId = ReadInt32(stream);
        } else if (tag == kSettingsTag) {
            macro.Settings = CreateMacroSettings(ReadString(stream));
            if (macro.Settings) {
                macro.Settings->ReadSettings(stream);
            } else {
                SkipUnknownBody(stream);
            }
        }
    });
    maxMacroIdSeen = std::max(maxMacroIdSeen, macro.Id);
}

void WriteMacro(const TMacro& macro, MemoryStream& stream)
{
    WriteString(stream, kIdTag);
    WriteInt32(stream, macro.Id);
    WriteString(stream, kNameTag);
    WriteString(stream, macro.Name);
    WriteFlag(stream, kHotKeyWinTag, macro.HotKeyWin);
    WriteFlag(stream, kHotKeyCtrlTag, macro.HotKeyCtrl);
    WriteFlag(stream, kHotKeyShiftTag, macro.HotKeyShift);
    WriteFlag(stream, kHotKeyAltTag, macro.HotKeyAlt);
    WriteString(stream, kHotKeyTag);
    WriteString(stream, macro.HotKey);
    WriteOptionalString(stream, kAbbreviationTag, macro.Abbreviation);
    WriteOptionalString(stream, kOnlyInTag, macro.OnlyIn);
    WriteFlag(stream, kHideOnReferenceCardTag, macro.HideOnReferenceCard);
    if (macro.RunAnother) {
        WriteString(stream, kRunAnotherIdTag);
        WriteInt32(stream, macro.RunAnotherId);
    }
    if (macro.Settings) {
        WriteString(stream, kSettingsTag);
        WriteString(stream, macro.Settings->Kind());
        macro.Settings->WriteSettings(stream);
    }
    WriteString(stream, kEndTag);
}

bool IsRecordTagWord(std::string_view word)
{
    const auto is = [word](std::string_view tag) { return tag == word; };
    return std::any_of(std::begin(kRecordTags), std::end(kRecordTags), is) ||
           word == kMaxMacroIdTag || word == kPasswordTag || word == kMacroTag;
}

std::shared_ptr<TMacro> FindMacroById(const TMacroList& list, std::int32_t id)
{
    const int index = IndexOfMacroId(list, id);
    return index < 0 ? nullptr : list[static_cast<std::size_t>(index)].Macro;
}

int IndexOfMacroId(const TMacroList& list, std::int32_t id)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].Macro->Id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace velmora
