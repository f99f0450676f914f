#include "macros/MacroFile.h"

#include <algorithm>
#include <limits>

#include "macros/Error.h"

namespace velmora {

namespace {

constexpr std::string_view kMaxMacroIdTag = "maxmacroid";
constexpr std::string_view kPasswordTag = "password";
constexpr std::string_view kMacroTag = "macro";
constexpr std::string_view kTemporarySuffix = ".tmp";

// A rough size of one stored macro, so a save grows its buffer only rarely.
constexpr std::size_t kTypicalRecordSize = 128;

}  // namespace

void ScrambleFileContent(std::string& bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ ((n + i) & 0xFFu));
    }
}

std::string ScramblePassword(std::string_view password, std::int32_t maxMacroId)
{
    const auto key = static_cast<std::uint32_t>(maxMacroId) & 0xFFu;
    std::string scrambled(password);
    for (std::size_t j = 0; j < scrambled.size(); ++j) {
        scrambled[j] = static_cast<char>(static_cast<unsigned char>(scrambled[j]) ^ ((key + j) & 0xFFu));
    }
    return scrambled;
}

std::string BuildMacroFileContent(const TMacroList& macros, std::int32_t maxMacroId, std::string_view password)
{
    MemoryStream stream;
    stream.Reserve(32 + password.size() + macros.size() * kTypicalRecordSize);
    WriteString(stream, kMaxMacroIdTag);
    WriteInt32(stream, maxMacroId);
    if (!password.empty()) {
        WriteString(stream, kPasswordTag);
        WriteString(stream, ScramblePassword(password, maxMacroId));
    }
    for (const TMacroEntry& entry : macros) {
        WriteString(stream, kMacroTag);
        WriteMacro(*entry.Macro, stream);
    }
    return stream.TakeBytes();
}

std::string MacroStore::MacroFilePath() const
{
    return m_files.ExecutableDirectory().append(kMacroFileName);
}

std::string MacroStore::LegacyMacroFilePath() const
{
    return m_files.ExecutableDirectory().append(kLegacyMacroFileName);
}

std::string MacroStore::BackupFilePath() const
{
    return MacroFilePath().append(kBackupSuffix);
}

void MacroStore::LoadMacros()
{
    // Set first: even a failed allocation below leaves the load marked.
    m_loadFailed = true;
    m_loadError = FormatText(kCannotReadFile, MacroFilePath());
    try {
        MaxMacroIdSeen = 0;
        ConvertLegacyMacroFile();
        ReadMacroFile();
    } catch (const VelmoraError& error) {
        m_loadError = error.what();
        throw;
    }
    m_loadFailed = false;
    m_loadError.clear();
}

void MacroStore::RetryLoad()
{
    if (Loaded()) {
        return;
    }
    MacroList.clear();
    MaxMacroId = 0;
    OptionsPassword.clear();
    LoadMacros();
}

void MacroStore::KeepMacroList()
{
    if (MacroListReplaced) {
        MacroListReplaced();
    }
}

void MacroStore::ReadMacroFile()
{
    std::optional<std::string> content = ReadScrambled(MacroFilePath());
    if (!content) {
        return;
    }
    MemoryStream stream(std::move(*content));

    // Whatever stops the read, identifiers handed out later must stay above
    // every macro already loaded.
    const auto keepIdsAboveLoaded = [this] { MaxMacroId = std::max(MaxMacroId, MaxMacroIdSeen); };
    try {
        while (stream.Position() < stream.Size()) {
            const std::string_view tag = ReadTag(stream);
            if (tag == kMaxMacroIdTag) {
                MaxMacroId = ReadInt32(stream);
            } else if (tag == kPasswordTag) {
                OptionsPassword += ScramblePassword(ReadString(stream), MaxMacroId);
            } else if (tag == kMacroTag) {
                auto macro = std::make_shared<TMacro>();
                ReadMacro(*macro, stream, MaxMacroIdSeen);
                MacroList.push_back({macro->Name, std::move(macro)});
            }
        }
    } catch (...) {
        keepIdsAboveLoaded();
        throw;
    }
    keepIdsAboveLoaded();
}

void MacroStore::ConvertLegacyMacroFile()
{
    const std::string legacyPath = LegacyMacroFilePath();
    if (!m_files.FileExists(legacyPath) || LegacyFileConverted()) {
        return;
    }
    // The older file was never scrambled, so flipping it gives the new form.
    const std::optional<std::string> converted = ReadScrambled(legacyPath);
    ReplaceFile(MacroFilePath(), *converted, /*keepBackup=*/true);
    // Left in place it would be converted again over later saves.
    if (!m_files.Remove(legacyPath)) {
        m_files.MoveOver(legacyPath, legacyPath + std::string(kConvertedLegacySuffix));
    }
}

bool MacroStore::LegacyFileConverted()
{
    // A legacy file that could be neither deleted nor renamed is older than
    // the data file its conversion wrote. Without both times the data file
    // is left alone: the legacy file stays on disk either way.
    const std::string path = MacroFilePath();
    if (!m_files.FileExists(path)) {
        return false;
    }
    const std::optional<std::int64_t> legacyTime = m_files.LastWriteTime(LegacyMacroFilePath());
    const std::optional<std::int64_t> dataTime = m_files.LastWriteTime(path);
    return !legacyTime || !dataTime || *dataTime >= *legacyTime;
}

std::optional<std::string> MacroStore::ReadScrambled(const std::string& path)
{
    if (!m_files.FileExists(path)) {
        return std::nullopt;
    }
    std::optional<std::string> content = m_files.ReadWholeFile(path);
    if (!content) {
        throw VelmoraError(FormatText(kCannotOpenFile, path));
    }
    ScrambleFileContent(*content);
    return content;
}

void MacroStore::SaveMacros(const TMacroList& macros)
{
    if (!Loaded()) {
        throw VelmoraError(FormatText(kNotSavedOverUnreadFile, MacroFilePath()));
    }
    std::string content = BuildMacroFileContent(macros, MaxMacroId, OptionsPassword);
    ScrambleFileContent(content);
    ReplaceFile(MacroFilePath(), content, /*keepBackup=*/true);

    MacroList = macros;
    if (MacroListReplaced) {
        MacroListReplaced();
    }
}

std::int32_t MacroStore::NewMacroId()
{
    // Wrapping round would hand out identifiers that stored macros may hold.
    if (MaxMacroId == std::numeric_limits<std::int32_t>::max()) {
        throw VelmoraError("No more macro identifiers are left.");
    }
    return ++MaxMacroId;
}

void MacroStore::ReplaceFile(const std::string& path, std::string_view bytes, bool keepBackup)
{
    const std::string temporaryPath = path + std::string(kTemporarySuffix);
    if (!WriteTemporary(temporaryPath, bytes)) {
        throw VelmoraError(FormatText(kCannotCreateFile, path));
    }
    try {
        if (keepBackup) {
            KeepBackup(path);
        }
    } catch (...) {
        m_files.Remove(temporaryPath);
        throw;
    }
    if (!m_files.MoveOver(temporaryPath, path)) {
        m_files.Remove(temporaryPath);
        throw VelmoraError(FormatText(kCannotCreateFile, path));
    }
}

bool MacroStore::WriteTemporary(const std::string& temporaryPath, std::string_view bytes)
{
    auto file = m_files.OpenForWriting(temporaryPath);
    if (!file) {
        return false;
    }
    bool written = file->Write(bytes) == bytes.size() && file->Flush();
    written = file->Close() && written;
    if (!written) {
        m_files.Remove(temporaryPath);
    }
    return written;
}

void MacroStore::KeepBackup(const std::string& path)
{
    // Copied, never moved away: the file itself must exist at every moment.
    if (!m_files.FileExists(path)) {
        return;
    }
    const std::optional<std::string> previous = m_files.ReadWholeFile(path);
    if (!previous) {
        throw VelmoraError(FormatText(kCannotOpenFile, path));
    }
    ReplaceFile(path + std::string(kBackupSuffix), *previous, /*keepBackup=*/false);
}

}  // namespace velmora
