#include "hotkeys/HotKeys.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hotkeys/HotKeyCheck.h"
#include "macros/ProgramList.h"
#include "macros/UnicodeTags.h"

namespace velmora {

namespace {

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 8> kNamedKeys = {{
    {"Insert", vk::Insert},
    {"Delete", vk::Delete},
    {"Home", vk::Home},
    {"End", vk::End},
    {"Page Up", vk::Prior},
    {"Page Down", vk::Next},
    {"Backspace", vk::Back},
    {"Escape", vk::Escape},
}};

constexpr std::array<std::pair<char, std::uint32_t>, 11> kUsPunctuationKeys = {{
    {'`', 0xC0}, {'-', 0xBD}, {'=', 0xBB}, {'[', 0xDB}, {']', 0xDD}, {'\\', 0xDC},
    {';', 0xBA}, {'\'', 0xDE}, {',', 0xBC}, {'.', 0xBE}, {'/', 0xBF},
}};

struct ModifierText {
    bool TMacro::*flag;
    std::string_view text;
};

std::string HotKeyText(const TMacro& macro, const std::array<ModifierText, 4>& order)
{
    std::string text;
    for (const ModifierText& modifier : order) {
        if (macro.*modifier.flag) {
            text += modifier.text;
        }
    }
    return text + macro.HotKey;
}

}  // namespace

std::uint32_t KeyNameToVirtualKey(std::string_view name, IKeyboard& keyboard)
{
    if (name.size() == 1) {
        const char c = name[0];
        // Letters and digits have the same virtual keys on every layout, even
        // on those that type no Latin letter.
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return static_cast<std::uint32_t>(c);
        }
        if (c >= 'a' && c <= 'z') {
            return static_cast<std::uint32_t>(c - 'a' + 'A');
        }
        // The key that types the character; its Shift or AltGr is dropped.
        const std::int16_t scan = keyboard.ScanCharacter(c);
        if (scan != -1) {
            return static_cast<std::uint32_t>(scan) & 0xFFu;
        }
        // No key types it (a Russian layout has no "["): the key in its place
        // on a US keyboard, whose marks such keyboards carry too.
        for (const auto& [mark, code] : kUsPunctuationKeys) {
            if (c == mark) {
                return code;
            }
        }
        return 255;
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' && name[1] >= '1' && name[1] <= '9') {
        std::uint32_t number = static_cast<std::uint32_t>(name[1] - '0');
        if (name.size() == 3) {
            if (name[2] < '0' || name[2] > '9') {
                return 0;
            }
            number = number * 10 + static_cast<std::uint32_t>(name[2] - '0');
        }
        return number <= 24 ? vk::F1 + number - 1 : 0;
    }
    for (const auto& [keyName, code] : kNamedKeys) {
        if (name == keyName) {
            return code;
        }
    }
    return 0;
}

std::string HotKeyDisplayText(const TMacro& macro)
{
    return HotKeyText(macro, {{{&TMacro::HotKeyWin, "Win + "},
                               {&TMacro::HotKeyShift, "Shift + "},
                               {&TMacro::HotKeyCtrl, "Ctrl + "},
                               {&TMacro::HotKeyAlt, "Alt + "}}});
}

std::string HotKeyRegistrationText(const TMacro& macro)
{
    return HotKeyText(macro, {{{&TMacro::HotKeyWin, "Win + "},
                               {&TMacro::HotKeyCtrl, "Ctrl + "},
                               {&TMacro::HotKeyShift, "Shift + "},
                               {&TMacro::HotKeyAlt, "Alt + "}}});
}

std::string HotKeyClashKey(const TMacro& macro)
{
    return HotKeyText(macro, {{{&TMacro::HotKeyCtrl, "[Ctrl] + "},
                               {&TMacro::HotKeyShift, "[Shift] + "},
                               {&TMacro::HotKeyAlt, "[Alt] + "},
                               {&TMacro::HotKeyWin, "[Win] + "}}});
}

std::uint32_t HotKeyModifiers(const TMacro& macro)
{
    return (macro.HotKeyWin ? kModWin : 0) | (macro.HotKeyCtrl ? kModControl : 0) |
           (macro.HotKeyShift ? kModShift : 0) | (macro.HotKeyAlt ? kModAlt : 0);
}

namespace {

// "[Win + Ctrl + Shift + Alt + Key] name - what holds it".
std::string RefusedHotKeyLine(const TMacro& macro, std::string_view holder)
{
    return "[" + HotKeyRegistrationText(macro) + "] " + macro.Name + " - " + std::string(holder);
}

}  // namespace

std::vector<std::string> HotKeyRegistrar::RegisterHotKeys(const TMacroList& macros)
{
    m_combinations.clear();
    // The members of each combination, first by first appearance.
    std::vector<std::vector<std::size_t>> members;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
    for (std::size_t i = 0; i < macros.size(); ++i) {
        TMacro& macro = *macros[i].Macro;
        if (macro.HotKey.empty()) {
            continue;
        }
        macro.VirtualKey = KeyNameToVirtualKey(macro.HotKey, m_keyboard);
        const std::pair key(HotKeyModifiers(macro), macro.VirtualKey);
        const auto found = std::find(keys.begin(), keys.end(), key);
        if (found == keys.end()) {
            keys.push_back(key);
            members.push_back({i});
        } else {
            members[static_cast<std::size_t>(found - keys.begin())].push_back(i);
        }
    }

    const std::u16string program = m_foreground.ForegroundProgram();
    std::vector<bool> holds(macros.size(), false);
    std::vector<std::pair<std::size_t, std::string>> errors;
    const auto refuse = [&](std::size_t i, const std::function<bool(std::size_t)>& mayHold) {
        const TMacro& macro = *macros[i].Macro;
        std::string holder = KnownHotKeyHolder(macro, macros, m_codePage, mayHold);
        errors.emplace_back(i, RefusedHotKeyLine(macro, holder.empty() ? kTakenByAnotherProgram : holder));
    };
    for (std::size_t k = 0; k < keys.size(); ++k) {
        Combination combination{keys[k].first, keys[k].second, {}, {}};
        std::vector<std::size_t> clashing;
        for (const std::size_t i : members[k]) {
            const TMacro& macro = *macros[i].Macro;
            const bool clashes = std::any_of(combination.macros.begin(), combination.macros.end(),
                                             [&](const std::shared_ptr<TMacro>& earlier) {
                                                 return ProgramListsClash(earlier->OnlyIn, macro.OnlyIn, m_codePage);
                                             });
            if (clashes) {
                clashing.push_back(i);
            } else {
                combination.macros.push_back(macros[i].Macro);
                holds[i] = true;
            }
        }
        // Once, whichever macro fits now, so that a combination Windows or
        // another program holds is told at load, not first at some switch.
        std::shared_ptr<TMacro> chosen = Choose(combination, program);
        const std::shared_ptr<TMacro> tried = chosen ? chosen : combination.macros.front();
        if (!Register(*tried, combination)) {
            // Only a macro that got the combination can be what took it.
            for (const std::size_t i : members[k]) {
                refuse(i, [](std::size_t) { return false; });
            }
            continue;
        }
        combination.registered = tried;
        Follow(combination, std::move(chosen));
        for (const std::size_t i : clashing) {
            refuse(i, [&holds](std::size_t j) { return holds[j]; });
        }
        m_combinations.push_back(std::move(combination));
    }

    std::sort(errors.begin(), errors.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> lines;
    lines.reserve(errors.size());
    for (auto& [index, line] : errors) {
        lines.push_back(std::move(line));
    }
    return lines;
}

void HotKeyRegistrar::UnregisterHotKeys(const TMacroList& macros)
{
    for (const TMacroEntry& entry : macros) {
        m_hotKeys.Unregister(entry.Macro->Id);
    }
    // A macro the list no longer holds may still hold its combination.
    for (const Combination& combination : m_combinations) {
        if (combination.registered && !FindMacroById(macros, combination.registered->Id)) {
            m_hotKeys.Unregister(combination.registered->Id);
        }
    }
    m_combinations.clear();
}

void HotKeyRegistrar::ForegroundChanged()
{
    if (m_combinations.empty()) {
        return;
    }
    const std::u16string program = m_foreground.ForegroundProgram();
    for (Combination& combination : m_combinations) {
        Follow(combination, Choose(combination, program));
    }
}

std::shared_ptr<TMacro> HotKeyRegistrar::Choose(const Combination& combination, std::u16string_view program) const
{
    std::shared_ptr<TMacro> serving;
    for (const std::shared_ptr<TMacro>& macro : combination.macros) {
        switch (FitOf(macro->OnlyIn, program, m_codePage)) {
        case ProgramFit::Named:
            return macro;
        case ProgramFit::Default:
            serving = macro;
            break;
        case ProgramFit::None:
            break;
        }
    }
    return serving;
}

void HotKeyRegistrar::Follow(Combination& combination, std::shared_ptr<TMacro> chosen)
{
    if (chosen == combination.registered) {
        return;
    }
    if (combination.registered) {
        m_hotKeys.Unregister(combination.registered->Id);
    }
    combination.registered = chosen && Register(*chosen, combination) ? std::move(chosen) : nullptr;
}

bool HotKeyRegistrar::Register(const TMacro& macro, const Combination& combination)
{
    // A held hot key runs its macro once, not once for every repeat.
    return m_hotKeys.Register(macro.Id, combination.modifiers | kModNoRepeat, combination.virtualKey);
}

void HotKeyDispatcher::WMHotKey(std::int32_t id)
{
    if (m_macroRunning) {
        return;
    }
    if (const std::shared_ptr<TMacro> macro = FindMacroById(m_macros, id)) {
        Run(macro, 0);
    }
}

void HotKeyDispatcher::AbbreviationTyped(const std::shared_ptr<TMacro>& macro, std::size_t typedCharacters)
{
    if (m_macroRunning || !macro) {
        return;
    }
    Run(macro, typedCharacters);
}

void HotKeyDispatcher::Run(const std::shared_ptr<TMacro>& macro, std::size_t typedCharacters)
{
    m_macroRunning = true;
    if (RunningChanged) {
        RunningChanged(true);
    }
    try {
        if (typedCharacters == 0) {
            m_runner.RunMacro(macro);
        } else {
            m_runner.RunMacroReplacing(macro, typedCharacters);
        }
    } catch (const RunStopped&) {
        // Stopped on purpose: the program is closing.
    } catch (const std::exception& error) {
        if (ReportFailure) {
            ReportFailure(ShowUnicodeTags(macro->Name, m_codePage) + u" stopped part-way: " +
                          Utf16FromAnsi(error.what(), m_codePage) + u".");
        }
    }
    m_macroRunning = false;
    if (RunningChanged) {
        RunningChanged(false);
    }
}

bool HotKeyDispatcher::StopRunningMacro()
{
    if (m_macroRunning) {
        m_runner.RequestStop();
    }
    return m_macroRunning;
}

}  // namespace velmora
