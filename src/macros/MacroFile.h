#pragma once

// The macro data file beside the executable: every macro, the identifier
// counter and the options password, scrambled by position and length.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "macros/Macro.h"
#include "platform/FileSystem.h"

namespace velmora {

inline constexpr std::string_view kMacroFileName = "velmora.dtx";
inline constexpr std::string_view kLegacyMacroFileName = "velmora.dat";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file %s";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file %s";
// A file that opened but whose content raised an error while it was read.
inline constexpr std::string_view kCannotReadFile = "Cannot read file %s";
inline constexpr std::string_view kNotSavedOverUnreadFile =
    "Your macros in %s could not be read, so Velmora does not save over them";
// Every save keeps the file it replaces under this name beside it.
inline constexpr std::string_view kBackupSuffix = ".bak";
// A converted legacy file that cannot be deleted is renamed with this ending.
inline constexpr std::string_view kConvertedLegacySuffix = ".converted";

// XORs byte i of an n-byte file with (n + i) mod 256; its own inverse.
void ScrambleFileContent(std::string& bytes);
// XORs password byte j with (low byte of maxMacroId + j) mod 256; its own inverse.
std::string ScramblePassword(std::string_view password, std::int32_t maxMacroId);

// The plain (unscrambled) content of a save.
std::string BuildMacroFileContent(const TMacroList& macros, std::int32_t maxMacroId, std::string_view password);

// The process-wide macro state, owned by the main window.
class MacroStore {
public:
    explicit MacroStore(IFileSystem& files) : m_files(files) {}

    TMacroList MacroList;
    std::int32_t MaxMacroId = 0;
    std::int32_t MaxMacroIdSeen = 0;
    std::string OptionsPassword;

    // Told when the options window hands MacroList back (after a save has
    // replaced it, or a close that could not save), so the hot keys follow it.
    std::function<void()> MacroListReplaced;

    // Appends the file's macros to MacroList; converts the older file first.
    // Throws "Cannot open file %s" (and, from the conversion, "Cannot create
    // file %s"); macros read before an error stay loaded.
    void LoadMacros();
    // Converts velmora.dat at most once, and never over a velmora.dtx that
    // is at least as new: the converted file is deleted, else renamed with
    // kConvertedLegacySuffix, else its older time marks it as done.
    void ConvertLegacyMacroFile();
    // Writes the list, the counter and the password, then makes the list the
    // new MacroList. The file it replaces is kept as velmora.dtx.bak first.
    // On failure throws "Cannot create file %s" (of the file or its backup)
    // or "Cannot open file %s" (the file to keep could not be read) and
    // changes nothing: the old file, MacroList and the hot keys stay as they
    // were. Refuses while the last load failed.
    void SaveMacros(const TMacroList& macros);

    // False from a load that failed (the file could not be opened, or an
    // error was raised reading it) until one succeeds: MacroList may then
    // lack macros that are in the file, so nothing may be saved over it.
    bool Loaded() const { return !m_loadFailed; }
    // The error of the failed load, naming the file; empty when loaded.
    const std::string& LoadError() const { return m_loadError; }
    // After a failed load, reads the file afresh (MacroList, MaxMacroId and
    // OptionsPassword start empty); nothing when loaded. Throws as LoadMacros.
    void RetryLoad();
    // The options window closed without saving: MacroList stays as it is
    // and its hot keys are registered again.
    void KeepMacroList();

    // The identifier for a macro being added: one above any handed out so far.
    std::int32_t NewMacroId();

    std::string MacroFilePath() const;
    std::string LegacyMacroFilePath() const;
    std::string BackupFilePath() const;

private:
    // The file's bytes with the scrambling applied (or undone), or nothing
    // when there is no such file; throws "Cannot open file %s".
    std::optional<std::string> ReadScrambled(const std::string& path);
    void ReadMacroFile();
    bool LegacyFileConverted();
    // Replaces the file through a temporary beside it, so a failure part of
    // the way (or a crash) leaves the previous file whole. With keepBackup
    // the previous file is first copied to its backup the same way, and the
    // file is replaced only once that copy is complete.
    void ReplaceFile(const std::string& path, std::string_view bytes, bool keepBackup);
    bool WriteTemporary(const std::string& temporaryPath, std::string_view bytes);
    void KeepBackup(const std::string& path);

    IFileSystem& m_files;
    bool m_loadFailed = false;
    std::string m_loadError;
};

}  // namespace velmora
