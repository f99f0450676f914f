#pragma once

// Control identifiers of the options window that code refers to: the window
// itself and the end-to-end tests, which find the controls by them. A bound
// control nothing else names needs none here; its row gives it one.

namespace velmora::options_id {

inline constexpr int kPageControl = 1000;
inline constexpr int kMacroList = 1001;
inline constexpr int kAddMacro = 1002;
inline constexpr int kDeleteMacro = 1003;
inline constexpr int kName = 1004;
inline constexpr int kWin = 1005;
inline constexpr int kShift = 1006;
inline constexpr int kCtrl = 1007;
inline constexpr int kAlt = 1008;
inline constexpr int kHotKey = 1009;
inline constexpr int kAction = 1010;
inline constexpr int kSendText = 1011;
inline constexpr int kInsertVariable = 1012;
inline constexpr int kPaste = 1013;
inline constexpr int kFilename = 1014;
inline constexpr int kBrowse = 1015;
inline constexpr int kCommandLine = 1016;
inline constexpr int kSystemCommand = 1017;
inline constexpr int kVelmoraCommand = 1018;
inline constexpr int kHideOnReferenceCard = 1019;
inline constexpr int kRunAnother = 1020;
inline constexpr int kNextMacro = 1021;
inline constexpr int kNextMacroLabel = 1022;
inline constexpr int kAbbreviation = 1023;
inline constexpr int kOnlyIn = 1024;
inline constexpr int kPickPrograms = 1025;
inline constexpr int kAutoStart = 1030;
inline constexpr int kShowInTray = 1031;
inline constexpr int kSlowdownKeystrokes = 1032;
inline constexpr int kPasswordProtect = 1033;
inline constexpr int kPassword = 1034;
inline constexpr int kPasswordConfirm = 1035;
inline constexpr int kUnicodeInput = 1036;
inline constexpr int kHelp = 1040;
inline constexpr int kPrint = 1041;
inline constexpr int kStatusBar = 1042;
// Says why the macros are missing when their file could not be read.
inline constexpr int kMacrosNotLoaded = 1043;
// The panels that hold controls; each is a child window with this id.
inline constexpr int kMacrosPage = 1050;
inline constexpr int kOptionsPage = 1051;
inline constexpr int kMacroEditPanel = 1052;
// One settings panel for each action kind, in their order.
inline constexpr int kFirstSettingsPanel = 1053;
inline constexpr int kPasswordPanel = 1057;
inline constexpr int kMacrosNotLoadedPage = 1058;

constexpr int SettingsPanelId(int action)
{
    return kFirstSettingsPanel + action;
}

}  // namespace velmora::options_id
