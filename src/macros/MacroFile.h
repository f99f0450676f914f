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

    // Told after a save has replaced MacroList, so the hot keys follow it.
    std::function<void()> MacroListReplaced;

    // Appends the file's macros to MacroList; converts the older file first.
    // Throws "Cannot open file %s" (and, from the conversion, "Cannot create
    // file %s"); macros read before an error stay loaded.
    void LoadMacros();
    void ConvertLegacyMacroFile();
    // Writes the list, the counter and the password, then makes the list the
    // new MacroList. On failure throws "Cannot create file %s" and changes
    // nothing: the old file, MacroList and the hot keys stay as they were.
    void SaveMacros(const TMacroList& macros);

    // The identifier for a macro being added: one above any handed out so far.
    std::int32_t NewMacroId();

    std::string MacroFilePath() const;
    std::string LegacyMacroFilePath() const;

private:
    // The file's bytes with the scrambling applied (or undone), or nothing
    // when there is no such file; throws "Cannot open file %s".
    std::optional<std::string> ReadScrambled(const std::string& path);
    // Replaces the file through a temporary beside it, so a failure part of
    // the way leaves the previous file whole.
    void WriteWholeFile(const std::string& path, std::string_view bytes);

    IFileSystem& m_files;
};

}  // namespace velmora
