#include "macros/MacroFile.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "macros/Error.h"

namespace velmora {

namespace {

constexpr std::string_view kTemporarySuffix = ".tmp";

// A rough size of one stored macro, so a save grows its buffer only rarely.
constexpr std::size_t kTypicalRecordSize = 128;

// The program's message about a file, with the system's reason when it gave one.
VelmoraError FileError(std::string_view format, std::string_view path, std::string_view reason)
{
    std::string text = FormatText(format, path);
    if (!reason.empty()) {
        text.append(": ").append(reason);
    }
    return VelmoraError(text);
}

std::string TwoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

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
    m_loadError = FormatText(kCannotReadFile, m_files.PathInMessage(MacroFilePath()));
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

void MacroStore::DiscardEdits()
{
    if (m_fileSeen) {
        MacroStore fresh(m_files);
        if (m_seenContent) {
            fresh.ParseContent(*m_seenContent);
        }
        Adopt(fresh, m_seenContent);
    }
    if (MacroListReplaced) {
        MacroListReplaced();
    }
}

void MacroStore::ReadMacroFile()
{
    std::optional<std::string> content = ReadScrambled(MacroFilePath());
    if (content) {
        ParseContent(*content);
    }
    m_fileSeen = true;
    m_seenContent = std::move(content);
}

FileCheck MacroStore::ReloadIfChanged()
{
    std::optional<std::string> content;
    try {
        content = ReadScrambled(MacroFilePath());
    } catch (const VelmoraError& error) {
        return ReloadFailed(error.what());
    }
    // A program that replaces the file by deleting it first puts it back a
    // moment later; until then the macros in force stay.
    if (!content || (m_fileSeen && content == m_seenContent)) {
        m_reloadFailureTold = false;
        return {};
    }
    MacroStore fresh(m_files);
    try {
        fresh.ParseContent(*content);
    } catch (const std::exception&) {
        return ReloadFailed(FormatText(kCannotReadFile, m_files.PathInMessage(MacroFilePath())));
    }
    Adopt(fresh, std::move(content));
    m_loadFailed = false;
    m_loadError.clear();
    m_reloadFailureTold = false;
    return {FileCheck::Reloaded, {}};
}

FileCheck MacroStore::ReloadFailed(std::string error)
{
    if (std::exchange(m_reloadFailureTold, true)) {
        return {};
    }
    return {FileCheck::Unreadable, std::move(error)};
}

void MacroStore::Adopt(MacroStore& fresh, std::optional<std::string> content)
{
    MacroList = std::move(fresh.MacroList);
    OptionsPassword = std::move(fresh.OptionsPassword);
    // Identifiers once handed out stay handed out.
    MaxMacroId = std::max(MaxMacroId, fresh.MaxMacroId);
    MaxMacroIdSeen = std::max(MaxMacroIdSeen, fresh.MaxMacroIdSeen);
    m_fileSeen = true;
    m_seenContent = std::move(content);
}

void MacroStore::ParseContent(const std::string& plain)
{
    MemoryStream stream(plain);

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
    if (m_files.StateOf(legacyPath) == FileState::Missing || LegacyFileConverted()) {
        return;
    }
    // The older file was never scrambled, so flipping it gives the new form.
    const std::optional<std::string> converted = ReadScrambled(legacyPath);
    ReplaceFile(MacroFilePath(), *converted, ReadStored(MacroFilePath()));
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
    // A data file that may be there is never converted over.
    const std::string path = MacroFilePath();
    if (const FileState state = m_files.StateOf(path); state != FileState::File) {
        return state == FileState::Unknown;
    }
    const std::optional<std::int64_t> legacyTime = m_files.LastWriteTime(LegacyMacroFilePath());
    const std::optional<std::int64_t> dataTime = m_files.LastWriteTime(path);
    return !legacyTime || !dataTime || *dataTime >= *legacyTime;
}

std::optional<std::string> MacroStore::ReadScrambled(const std::string& path)
{
    std::optional<std::string> content = ReadStored(path);
    if (content) {
        ScrambleFileContent(*content);
    }
    return content;
}

std::optional<std::string> MacroStore::ReadStored(const std::string& path)
{
    const FileState state = m_files.StateOf(path);
    if (state == FileState::Missing) {
        return std::nullopt;
    }
    std::optional<std::string> content = state == FileState::File ? m_files.ReadWholeFile(path) : std::nullopt;
    if (!content) {
        throw FileError(kCannotOpenFile, m_files.PathInMessage(path), m_files.LastErrorText());
    }
    return content;
}

SaveOutcome MacroStore::SaveMacros(const TMacroList& macros)
{
    const std::string path = MacroFilePath();
    if (!Loaded()) {
        throw VelmoraError(FormatText(kNotSavedOverUnreadFile, m_files.PathInMessage(path)));
    }
    std::string content = BuildMacroFileContent(macros, MaxMacroId, OptionsPassword);
    std::string stored = content;
    ScrambleFileContent(stored);
    // Read once: compared, kept if another program wrote it, and the backup.
    const std::optional<std::string> onDisk = ReadStored(path);
    SaveOutcome outcome;
    // The same bytes again would only push the last real change out of the backup.
    if (onDisk != stored) {
        if (onDisk && m_fileSeen) {
            std::string plain = *onDisk;
            ScrambleFileContent(plain);
            if (plain != m_seenContent) {
                outcome.keptVersion = KeepOtherVersion(*onDisk);
            }
        }
        ReplaceFile(path, stored, onDisk);
        outcome.written = true;
    }
    m_fileSeen = true;
    m_seenContent = std::move(content);

    MacroList = macros;
    if (MacroListReplaced) {
        MacroListReplaced();
    }
    return outcome;
}

std::string MacroStore::KeepOtherVersion(const std::string& stored)
{
    const LocalTime now = Now ? Now() : LocalTime{};
    const std::string stamp = std::to_string(now.year) + "-" + TwoDigits(now.month) + "-" + TwoDigits(now.day) +
                              " " + TwoDigits(now.hour) + TwoDigits(now.minute) + TwoDigits(now.second);
    const std::string directory = m_files.ExecutableDirectory();
    std::string path = directory + FormatText(kChangedElsewhereName, stamp);
    // Two within one second: the first is not overwritten.
    for (int n = 2; m_files.StateOf(path) == FileState::File; ++n) {
        path = directory + FormatText(kChangedElsewhereName, stamp + " " + std::to_string(n));
    }
    ReplaceFile(path, stored);
    return path;
}

std::int32_t MacroStore::NewMacroId()
{
    // Wrapping round would hand out identifiers that stored macros may hold.
    if (MaxMacroId == std::numeric_limits<std::int32_t>::max()) {
        throw VelmoraError("No more macro identifiers are left.");
    }
    return ++MaxMacroId;
}

void MacroStore::ReplaceFile(const std::string& path, std::string_view bytes,
                             const std::optional<std::string>& previous)
{
    const std::string temporaryPath = path + std::string(kTemporarySuffix);
    WriteTemporary(temporaryPath, bytes, path);
    try {
        // Copied, never moved away: the file itself must exist at every moment.
        if (previous) {
            ReplaceFile(path + std::string(kBackupSuffix), *previous);
        }
    } catch (...) {
        m_files.Remove(temporaryPath);
        throw;
    }
    if (!m_files.MoveOver(temporaryPath, path)) {
        const std::string reason = m_files.LastErrorText();
        m_files.Remove(temporaryPath);
        throw FileError(kCannotCreateFile, m_files.PathInMessage(path), reason);
    }
}

void MacroStore::WriteTemporary(const std::string& temporaryPath, std::string_view bytes, const std::string& path)
{
    auto file = m_files.OpenForWriting(temporaryPath);
    bool written = file && file->Write(bytes) == bytes.size() && file->Flush();
    std::string reason = written ? std::string() : m_files.LastErrorText();
    if (file && !file->Close() && written) {
        written = false;
        reason = m_files.LastErrorText();
    }
    if (!written) {
        if (file) {
            m_files.Remove(temporaryPath);
        }
        throw FileError(kCannotCreateFile, m_files.PathInMessage(path), reason);
    }
}

}  // namespace velmora
