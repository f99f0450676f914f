#pragma once

// A macro: a name, an optional hot key, one action and an optional link to the
// macro that runs next. Records are shared by several lists (the macro list,
// the options window's list, the quick reference card's), so every list holds
// a std::shared_ptr and a record lives as long as any list or run refers to it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "macros/RecordStream.h"

namespace velmora {

class TTextMacro;
class TLaunchMacro;
class TSystemMacro;
class TVelmoraMacro;

// What performs an action; the engine implements it, so the records need not
// know how keystrokes are typed or programs started.
class IMacroActions {
public:
    virtual ~IMacroActions() = default;
    virtual void Execute(const TTextMacro& action) = 0;
    virtual void Execute(const TLaunchMacro& action) = 0;
    virtual void Execute(const TSystemMacro& action) = 0;
    virtual void Execute(const TVelmoraMacro& action) = 0;
};

// The action kinds, in the order the options window lists them; kActionKinds
// below declares each one.
enum MacroAction : int {
    kNoAction = -1,
    kKeystrokesAction = 0,
    kLaunchAction = 1,
    kSystemAction = 2,
    kVelmoraAction = 3,
    kActionKindCount = 4,
};

class TMacroSettings {
public:
    virtual ~TMacroSettings() = default;
    TMacroSettings(const TMacroSettings&) = delete;
    TMacroSettings& operator=(const TMacroSettings&) = delete;

    MacroAction Action() const { return m_action; }
    // The kind's tag as the file stores it.
    std::string_view Kind() const;

    virtual void Execute(IMacroActions& actions) const = 0;
    // The body, closed by its own "end".
    virtual void WriteSettings(MemoryStream& stream) const = 0;
    virtual void ReadSettings(MemoryStream& stream) = 0;

protected:
    explicit TMacroSettings(MacroAction action) : m_action(action) {}

private:
    const MacroAction m_action;
};

// A kind's class: its place in kActionKinds, and the visit that runs it.
template <typename Self, MacroAction kind, typename Base = TMacroSettings>
class TActionOf : public Base {
public:
    static constexpr MacroAction kAction = kind;
    void Execute(IMacroActions& actions) const final { actions.Execute(static_cast<const Self&>(*this)); }

protected:
    TActionOf() : Base(kind) {}
};

class TTextMacro final : public TActionOf<TTextMacro, kKeystrokesAction> {
public:
    void WriteSettings(MemoryStream& stream) const override;
    void ReadSettings(MemoryStream& stream) override;

    std::string Text;
    bool Paste = false;
};

class TLaunchMacro final : public TActionOf<TLaunchMacro, kLaunchAction> {
public:
    void WriteSettings(MemoryStream& stream) const override;
    void ReadSettings(MemoryStream& stream) override;

    std::string FileName;
    std::string CommandLine;
};

// System and program commands are both a number into a fixed table.
class TCommandMacro : public TMacroSettings {
public:
    void WriteSettings(MemoryStream& stream) const override;
    void ReadSettings(MemoryStream& stream) override;

    // An index into the kind's command table; -1 means none chosen.
    std::int32_t Action = 0;

protected:
    using TMacroSettings::TMacroSettings;
};

enum class SystemAction : std::int32_t {
    LaunchScreenSaver = 0,
    LogOff = 1,
    Restart = 2,
    ShutDown = 3,
    MonitorOff = 4,
    OpenCdTray = 5,
    CloseCdTray = 6,
};

enum class VelmoraAction : std::int32_t {
    ShowQuickReference = 0,
    OpenOptions = 1,
};

class TSystemMacro final : public TActionOf<TSystemMacro, kSystemAction, TCommandMacro> {};

class TVelmoraMacro final : public TActionOf<TVelmoraMacro, kVelmoraAction, TCommandMacro> {};

// The command names as the options window lists them, indexed by Action.
extern const std::vector<std::string_view> kSystemActionNames;
extern const std::vector<std::string_view> kVelmoraActionNames;

// One action kind, declared once: what the file calls it, what the options
// window's action list shows, and a fresh settings object of its class.
struct ActionKind {
    std::string_view tag;
    std::string_view listText;
    std::unique_ptr<TMacroSettings> (*create)();
};

// Indexed by MacroAction.
extern const std::array<ActionKind, kActionKindCount> kActionKinds;

// A new, empty settings object of the given kind, or null for an unknown kind.
std::unique_ptr<TMacroSettings> CreateMacroSettings(std::string_view kind);
std::unique_ptr<TMacroSettings> CreateMacroSettings(MacroAction action);

struct TMacro {
    std::int32_t Id = 0;
    std::string Name;
    bool HotKeyWin = false;
    bool HotKeyCtrl = false;
    bool HotKeyShift = false;
    bool HotKeyAlt = false;
    std::string HotKey;
    // Typed text that runs the macro; empty for none.
    std::string Abbreviation;
    // Program file names separated by ';' ("notepad.exe;winword.exe"); the
    // macro fires only while one of them is in front. Empty: every program.
    std::string OnlyIn;
    // Filled by hot-key registration; never stored.
    std::uint32_t VirtualKey = 0;
    bool RunAnother = false;
    std::int32_t RunAnotherId = 0;
    std::unique_ptr<TMacroSettings> Settings;
    bool HideOnReferenceCard = false;
};

struct TMacroEntry {
    std::string Name;
    std::shared_ptr<TMacro> Macro;
};

using TMacroList = std::vector<TMacroEntry>;

// Fills a fresh macro from the record at the stream's position and leaves the
// stream behind its "end"; raises maxMacroIdSeen to the macro's Id.
void ReadMacro(TMacro& macro, MemoryStream& stream, std::int32_t& maxMacroIdSeen);
void WriteMacro(const TMacro& macro, MemoryStream& stream);

// The tags of the file around its macro records.
inline constexpr std::string_view kMaxMacroIdTag = "maxmacroid";
inline constexpr std::string_view kPasswordTag = "password";
inline constexpr std::string_view kMacroTag = "macro";

// True for every tag the file's readers know (records, action bodies and the
// file itself). A reader that does not know the string fields skips their tag
// and then reads their value as a tag, so such a value would mislead it.
bool IsRecordTagWord(std::string_view word);

// Linear look-ups; the first match wins.
std::shared_ptr<TMacro> FindMacroById(const TMacroList& list, std::int32_t id);
int IndexOfMacroId(const TMacroList& list, std::int32_t id);

}  // namespace velmora
