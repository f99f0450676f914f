#include "engine/MacroRunner.h"

#include <algorithm>

#include "platform/PathText.h"

namespace velmora {

bool HasExeExtension(std::string_view fileName)
{
    const auto nameStart = fileName.find_last_of("\\:");
    const std::string_view name = nameStart == std::string_view::npos ? fileName : fileName.substr(nameStart + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    std::string extension(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return extension == ".exe";
}

MacroRunner::MacroRunner(const Platform& platform, const TMacroList& macroList, RandomGenerator& random,
                         std::function<bool()> slowdown, std::function<bool()> unicodeInput)
    : m_platform(platform),
      m_macroList(macroList),
      m_expander(platform.clock, platform.locale, random, platform.codePage),
      m_player(platform.keyboard, platform.clipboard, platform.thread, platform.codePage, std::move(slowdown),
               std::move(unicodeInput))
{
}

bool RefusesInputFrom(const ProcessStanding& target, const ProcessStanding& sender)
{
    if (!target.known) {
        return true;
    }
    // Without its own standing the program cannot judge, and types as usual.
    if (!sender.known) {
        return false;
    }
    return target.integrity > sender.integrity || (target.elevated && !sender.elevated);
}

std::u16string HandedOverNotice(std::u16string_view windowTitle)
{
    const std::u16string name = windowTitle.empty() ? u"The active window" : std::u16string(windowTitle);
    return name + u" runs as administrator, so Windows does not let Velmora type into it. "
                  u"The text is on the clipboard: press Ctrl+V.";
}

void MacroRunner::WaitForKeysReleased(std::uint32_t hotKey)
{
    m_player.WaitForModifiersReleased(/*includeShift=*/true);
    // Then the hot key's own key; a key code of 0 is no key.
    if (hotKey != 0 && hotKey <= 0xFF) {
        const std::uint8_t key = static_cast<std::uint8_t>(hotKey);
        m_player.WaitForKeysReleased(std::span(&key, 1));
    }
}

void MacroRunner::RunMacro(const std::shared_ptr<TMacro>& macro, int depth)
{
    if (depth != 0) {
        RunChainFrom(macro, depth);
        return;
    }
    RunFromTop(macro, macro->VirtualKey, 0);
}

void MacroRunner::RunMacroReplacing(const std::shared_ptr<TMacro>& macro, std::size_t typedCharacters)
{
    // No hot key of its own is held: the abbreviation's last key does not
    // type again when let go.
    RunFromTop(macro, 0, typedCharacters);
}

void MacroRunner::RunFromTop(const std::shared_ptr<TMacro>& macro, std::uint32_t hotKey, std::size_t erased)
{
    m_player.ClearStopRequest();
    m_player.StartRun();
    m_runningMacros.clear();
    m_handedOverAnsi.clear();
    m_handedOverUnicode.clear();
    m_refusingWindow.clear();
    m_running = true;
    try {
        WaitForKeysReleased(hotKey);
        // A window that takes no keys from the program gets the text on the
        // clipboard; its abbreviation stays.
        if (erased != 0 && !TargetRefusesInput()) {
            std::string backspaces;
            for (std::size_t i = 0; i < erased; ++i) {
                backspaces += {static_cast<char>(kKeyEscape), static_cast<char>(vk::Back)};
            }
            m_player.PlayKeyString(std::move(backspaces));
        }
        RunChainFrom(macro, 0);
    } catch (...) {
        m_runningMacros.clear();
        m_running = false;
        throw;
    }
    m_runningMacros.clear();
    m_running = false;
    if (!m_handedOverUnicode.empty() && ShowNotification) {
        ShowNotification(HandedOverNotice(m_refusingWindow));
    }
}

void MacroRunner::RunChainFrom(const std::shared_ptr<TMacro>& macro, int depth)
{
    // An action that opened a window may have let a stop request through.
    m_player.StopPoint();
    if (macro->Settings) {
        macro->Settings->Execute(*this);
    }
    m_runningMacros.push_back(macro);
    if (macro->RunAnother) {
        const std::shared_ptr<TMacro> next = FindMacroById(m_macroList, macro->RunAnotherId);
        if (next && std::find(m_runningMacros.begin(), m_runningMacros.end(), next) == m_runningMacros.end()) {
            RunMacro(next, depth + 1);
        }
    }
    m_runningMacros.pop_back();
}

void MacroRunner::Execute(const TTextMacro& action)
{
    // Copied first: messages handled during playback may edit the macro.
    const bool paste = action.Paste;
    std::string keys = m_expander.ExpandMacroText(action.Text);
    if (TargetRefusesInput()) {
        HandOver(keys);
        return;
    }
    if (!paste) {
        m_player.PlayKeyString(std::move(keys));
        return;
    }
    m_player.PasteText(StripKeyEscapes(keys, &m_platform.codePage), KeyStringToUnicode(keys, m_platform.codePage));
}

bool MacroRunner::TargetRefusesInput()
{
    const ForegroundWindow target = m_platform.keyboard.Foreground();
    if (!target.exists || target.own) {
        return false;
    }
    if (!m_ownStanding) {
        m_ownStanding = m_platform.keyboard.OwnStanding();
    }
    if (!RefusesInputFrom(target.standing, *m_ownStanding)) {
        return false;
    }
    if (m_refusingWindow.empty()) {
        m_refusingWindow = target.title;
    }
    return true;
}

void MacroRunner::HandOver(const std::string& keys)
{
    // The user's own Ctrl+V does reach such a window. Every text of the run
    // that could not be typed is there, in order.
    m_handedOverAnsi += StripKeyEscapes(keys, &m_platform.codePage);
    m_handedOverUnicode += KeyStringToUnicode(keys, m_platform.codePage);
    m_player.LeaveOnClipboard(m_handedOverAnsi, m_handedOverUnicode);
}

void MacroRunner::Execute(const TLaunchMacro& action)
{
    // The stored name is in the code page; the file system takes UTF-8.
    const std::string quoted = "\"" + action.FileName + "\"";
    const bool isProgram = HasExeExtension(action.FileName);
    if (!isProgram) {
        // Folders, web addresses and documents are the shell's to open.
        m_platform.shell.OpenDocument(quoted);
    } else if (m_platform.files.FileExists(PathFromUtf16(Utf16FromAnsi(action.FileName, m_platform.codePage)))) {
        m_platform.shell.StartProgram(action.CommandLine.empty() ? quoted : quoted + " " + action.CommandLine);
    }
}

void MacroRunner::Execute(const TSystemMacro& action)
{
    switch (static_cast<SystemAction>(action.Action)) {
    case SystemAction::LaunchScreenSaver: m_platform.shell.StartScreenSaver(); break;
    // Accounts without the shutdown right (remote desktop, kiosks) may still log off.
    case SystemAction::LogOff:
        EndSession(kEndSessionLogOff, /*needsPrivilege=*/false, "Cannot log off");
        break;
    case SystemAction::Restart:
        EndSession(kEndSessionRestart, /*needsPrivilege=*/true, "Cannot restart Windows");
        break;
    case SystemAction::ShutDown:
        EndSession(kEndSessionShutDown, /*needsPrivilege=*/true, "Cannot shut down Windows");
        break;
    case SystemAction::MonitorOff: m_platform.shell.TurnMonitorOff(); break;
    case SystemAction::OpenCdTray: m_platform.shell.SendMediaCommand("Set CDAudio Door Open"); break;
    case SystemAction::CloseCdTray: m_platform.shell.SendMediaCommand("Set CDAudio Door Closed"); break;
    default: break;
    }
}

void MacroRunner::EndSession(std::uint32_t flags, bool needsPrivilege, const char* failure)
{
    IShell& shell = m_platform.shell;
    const bool ended = (!needsPrivilege || shell.EnableShutdownPrivilege()) && shell.EndSession(flags);
    // Told here rather than thrown: the hot-key handler drops a run's errors,
    // and the chain goes on as after any other action.
    if (!ended && ReportError) {
        ReportError(failure);
    }
}

void MacroRunner::Execute(const TVelmoraMacro& action)
{
    const auto command = static_cast<VelmoraAction>(action.Action);
    if (command == VelmoraAction::ShowQuickReference && ShowQuickReference) {
        ShowQuickReference();
    } else if (command == VelmoraAction::OpenOptions && OpenOptions) {
        OpenOptions();
    }
}

}  // namespace velmora
