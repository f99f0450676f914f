#pragma once

// The macro data file beside the executable: every macro, the identifier
// counter and the options password, scrambled by position and length.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "macros/Macro.h"
#include "platform/Clock.h"
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
// Every save that changes the file keeps the file it replaces under this name beside it.
inline constexpr std::string_view kBackupSuffix = ".bak";
// Another program's version that a save found in place of the one this
// program last read or wrote is kept beside it under this name; the %s is
// the local date and time of the save, "YYYY-MM-DD HHMMSS".
inline constexpr std::string_view kChangedElsewhereName = "velmora (changed elsewhere %s).dtx";
inline constexpr std::string_view kChangedElsewhereNotice =
    "velmora.dtx was changed by another program while the options window was open. That version is kept "
    "beside it as \"%s\". velmora.dtx now holds the macros of the options window.";
// Said once when the folder changed and the file cannot be read; the %s is why.
inline constexpr std::string_view kChangedFileUnreadable =
    "Velmora cannot read velmora.dtx again (%s) and goes on with the macros it has.";
// A converted legacy file that cannot be deleted is renamed with this ending.
inline constexpr std::string_view kConvertedLegacySuffix = ".converted";

// XORs byte i of an n-byte file with (n + i) mod 256; its own inverse.
void ScrambleFileContent(std::string& bytes);
// XORs password byte j with (low byte of maxMacroId + j) mod 256; its own inverse.
std::string ScramblePassword(std::string_view password, std::int32_t maxMacroId);

// The plain (unscrambled) content of a save.
std::string BuildMacroFileContent(const TMacroList& macros, std::int32_t maxMacroId, std::string_view password);

struct SaveOutcome {
    // False when the file already held these very bytes: nothing was
    // written and the backup was left alone.
    bool written = false;
    // The full path of another program's version kept beside the file;
    // empty when the file was as this program last left it.
    std::string keptVersion;
};

struct FileCheck {
    enum Result { Unchanged, Reloaded, Unreadable };
    Result result = Unchanged;
    // Why the file could not be read, naming it.
    std::string error;
};

// The process-wide macro state, owned by the main window.
class MacroStore {
public:
    explicit MacroStore(IFileSystem& files) : m_files(files) {}

    // A path of the store's as its messages show it.
    std::string PathInMessage(const std::string& path) const { return m_files.PathInMessage(path); }

    TMacroList MacroList;
    std::int32_t MaxMacroId = 0;
    std::int32_t MaxMacroIdSeen = 0;
    std::string OptionsPassword;

    // Told when the options window hands MacroList back (after a save has
    // replaced it, or a close that could not save), so the hot keys follow it.
    std::function<void()> MacroListReplaced;
    // The local time, which names a version kept by a save.
    std::function<LocalTime()> Now;

    // Appends the file's macros to MacroList; converts the older file first.
    // Throws "Cannot open file %s" (and, from the conversion, "Cannot create
    // file %s"); macros read before an error stay loaded.
    void LoadMacros();
    // Converts velmora.dat at most once, and never over a velmora.dtx that
    // is at least as new: the converted file is deleted, else renamed with
    // kConvertedLegacySuffix, else its older time marks it as done.
    void ConvertLegacyMacroFile();
    // Writes the list, the counter and the password, then makes the list the
    // new MacroList. Bytes equal to the file's are not written again;
    // otherwise the file it replaces is kept as velmora.dtx.bak first, and
    // when it is not what this store last read or wrote, it is also kept
    // under kChangedElsewhereName. On failure throws "Cannot create file %s"
    // (of the file, its backup or the kept version) or "Cannot open file %s"
    // (the file could not be read), each followed by the system's reason,
    // and leaves the old file, MacroList and the hot keys as they were.
    // Refuses while the last load failed.
    SaveOutcome SaveMacros(const TMacroList& macros);
    // The file changed on disk: when its bytes differ from those this store
    // last read or wrote, they replace MacroList, OptionsPassword and (never
    // lowering it) MaxMacroId. A file that cannot be read leaves all as it
    // was and is Unreadable once, until it can be read again; a file that is
    // gone leaves all as it was, for the next save to write again.
    FileCheck ReloadIfChanged();

    // False from a load that failed (the file could not be opened, or an
    // error was raised reading it) until one succeeds: MacroList may then
    // lack macros that are in the file, so nothing may be saved over it.
    bool Loaded() const { return !m_loadFailed; }
    // The error of the failed load, naming the file; empty when loaded.
    const std::string& LoadError() const { return m_loadError; }
    // After a failed load, reads the file afresh (MacroList, MaxMacroId and
    // OptionsPassword start empty); nothing when loaded. Throws as LoadMacros.
    void RetryLoad();
    // The options window closed without saving: MacroList, OptionsPassword
    // and the records go back to the file as this store last read or wrote
    // it (the window edited the records in place), and the hot keys follow.
    void DiscardEdits();

    // The identifier for a macro being added: one above any handed out so far.
    std::int32_t NewMacroId();

    std::string MacroFilePath() const;
    std::string LegacyMacroFilePath() const;
    std::string BackupFilePath() const;

private:
    // The file's bytes with the scrambling applied (or undone), or nothing
    // when there is no such file; throws "Cannot open file %s".
    std::optional<std::string> ReadScrambled(const std::string& path);
    // The file's bytes as stored; nothing when it is missing. Throws "Cannot
    // open file %s" when it cannot be read.
    std::optional<std::string> ReadStored(const std::string& path);
    void ReadMacroFile();
    // Reads plain content into this store; what was read before an error stays.
    void ParseContent(const std::string& plain);
    // Takes what `fresh` read from `content` as the macros in force.
    void Adopt(MacroStore& fresh, std::optional<std::string> content);
    FileCheck ReloadFailed(std::string error);
    // Keeps another program's version (its bytes as stored) under
    // kChangedElsewhereName; its path.
    std::string KeepOtherVersion(const std::string& stored);
    bool LegacyFileConverted();
    // Replaces the file through a temporary beside it, so a failure part of
    // the way (or a crash) leaves the previous file whole. The previous bytes,
    // when given, are first written to its backup the same way, and the file
    // is replaced only once that copy is complete.
    void ReplaceFile(const std::string& path, std::string_view bytes,
                     const std::optional<std::string>& previous = std::nullopt);
    // Throws "Cannot create file %s" naming `path`.
    void WriteTemporary(const std::string& temporaryPath, std::string_view bytes, const std::string& path);

    IFileSystem& m_files;
    bool m_loadFailed = false;
    std::string m_loadError;
    // The plain content this store last read from or wrote to the file
    // (nothing: there was no file), once it has done either.
    bool m_fileSeen = false;
    std::optional<std::string> m_seenContent;
    bool m_reloadFailureTold = false;
};

}  // namespace velmora
