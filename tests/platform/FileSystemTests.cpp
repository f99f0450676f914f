// The real file system of the build host: Win32 on Windows (and under Wine),
// POSIX natively. Both must honour the same contract as the fake.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "macros/Error.h"
#include "macros/MacroFile.h"
#include "platform/PathText.h"
#include "support/TemporaryFolder.h"
#include "support/TestVectors.h"

#ifdef _WIN32
#include "platform/win32/Win32FileSystem.h"
using HostFileSystem = velmora::win32::Win32FileSystem;
#else
#include "platform/posix/PosixFileSystem.h"
using HostFileSystem = velmora::PosixFileSystem;
#endif

namespace velmora {
namespace {

namespace fs = std::filesystem;

class HostFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        files = std::make_unique<HostFileSystem>(folder.string());
        directory = files->ExecutableDirectory();
    }

    std::string PathOf(const std::string& name) const { return directory + name; }

    void WriteWhole(const std::string& path, const std::string& bytes)
    {
        auto file = files->OpenForWriting(path);
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(file->Write(bytes), bytes.size());
        ASSERT_TRUE(file->Flush());
        ASSERT_TRUE(file->Close());
    }

    std::size_t EntriesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    tests::TemporaryFolder temporary{"velmora-test-"};
    const fs::path folder = temporary.Path();
    std::unique_ptr<HostFileSystem> files;
    std::string directory;
};

TEST_F(HostFileSystemTest, BinaryContentSurvivesUnchanged)
{
    const std::string bytes("a\r\nb\n\0\x1A\xFF", 8);
    WriteWhole(PathOf("data.bin"), bytes);
    EXPECT_TRUE(files->FileExists(PathOf("data.bin")));
    EXPECT_EQ(files->ReadWholeFile(PathOf("data.bin")), bytes);

    WriteWhole(PathOf("data.bin"), "x");
    EXPECT_EQ(files->ReadWholeFile(PathOf("data.bin")), "x") << "creating empties an existing file";
}

TEST_F(HostFileSystemTest, FoldersAndMissingFilesAreNotFiles)
{
    fs::create_directory(folder / "sub");
    EXPECT_FALSE(files->FileExists(PathOf("sub")));
    EXPECT_FALSE(files->FileExists(PathOf("missing")));
    EXPECT_EQ(files->ReadWholeFile(PathOf("missing")), std::nullopt);
    EXPECT_FALSE(files->Remove(PathOf("missing")));
    EXPECT_NE(files->LastErrorText(), "") << "the system's reason";
    const std::string inMissingFolder = PathOf("no-such-folder") + directory.back() + "x";
    EXPECT_EQ(files->OpenForWriting(inMissingFolder), nullptr);
    // Not found, whether the file or its folder: nothing there. A folder
    // where the file should be: no file can be read or saved there.
    EXPECT_EQ(files->StateOf(PathOf("missing")), FileState::Missing);
    EXPECT_EQ(files->StateOf(inMissingFolder), FileState::Missing);
    EXPECT_EQ(files->StateOf(PathOf("sub")), FileState::Unknown);
}

TEST_F(HostFileSystemTest, MoveOverReplacesTheTargetInOneStep)
{
    WriteWhole(PathOf("old"), "old content");
    WriteWhole(PathOf("new"), "new");
    ASSERT_TRUE(files->MoveOver(PathOf("new"), PathOf("old")));
    EXPECT_EQ(files->ReadWholeFile(PathOf("old")), "new");
    EXPECT_FALSE(files->FileExists(PathOf("new")));
}

TEST_F(HostFileSystemTest, MacroFileRoundTripsOnDisk)
{
    MacroStore store{*files};
    auto macro = std::make_shared<TMacro>();
    macro->Id = store.NewMacroId();
    macro->Name = "On disk";
    store.OptionsPassword = "secret";
    store.SaveMacros({{macro->Name, macro}});
    EXPECT_EQ(EntriesInFolder(), 1u);

    MacroStore reloaded{*files};
    reloaded.LoadMacros();
    ASSERT_EQ(reloaded.MacroList.size(), 1u);
    EXPECT_EQ(reloaded.MacroList[0].Name, "On disk");
    EXPECT_EQ(reloaded.OptionsPassword, "secret");
}

TEST_F(HostFileSystemTest, SaveThatCannotReplaceLeavesNoTemporaryFile)
{
    // A non-empty folder in the backup's place cannot be replaced.
    fs::create_directories(folder / "velmora.dtx.bak" / "inside");
    WriteWhole(PathOf("velmora.dtx"), "older");
    MacroStore store{*files};
    try {
        store.SaveMacros({});
        FAIL() << "expected an error";
    } catch (const VelmoraError& error) {
        const std::string expected = "Cannot create file " + PathOf("velmora.dtx.bak") + ": ";
        EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected) << "with the system's reason";
    }
    EXPECT_EQ(EntriesInFolder(), 2u);
    EXPECT_EQ(files->ReadWholeFile(PathOf("velmora.dtx")), "older");
    EXPECT_TRUE(fs::is_directory(folder / "velmora.dtx.bak" / "inside"));
}

TEST_F(HostFileSystemTest, LegacyFileIsConvertedAndRemoved)
{
    const std::string legacy = tests::LoadByteVector("legacy.hex").plain;
    WriteWhole(PathOf("velmora.dat"), legacy);
    MacroStore store{*files};
    store.LoadMacros();
    EXPECT_FALSE(files->FileExists(PathOf("velmora.dat")));
    ASSERT_EQ(store.MacroList.size(), 1u);
    std::string expected = legacy;
    ScrambleFileContent(expected);
    EXPECT_EQ(files->ReadWholeFile(PathOf("velmora.dtx")), expected);
}

TEST_F(HostFileSystemTest, LastWriteTimeGrowsWithWritesAndMovesWithTheFile)
{
    EXPECT_EQ(files->LastWriteTime(PathOf("missing")), std::nullopt);
    WriteWhole(PathOf("older"), "a");
    const auto older = files->LastWriteTime(PathOf("older"));
    ASSERT_TRUE(older.has_value());
    // Past the coarsest clock a file system may keep (two seconds on FAT).
    fs::last_write_time(folder / "older", fs::last_write_time(folder / "older") - std::chrono::seconds(4));
    const auto backdated = files->LastWriteTime(PathOf("older"));
    WriteWhole(PathOf("newer"), "b");
    ASSERT_TRUE(backdated.has_value());
    EXPECT_LT(*backdated, *files->LastWriteTime(PathOf("newer")));
    ASSERT_TRUE(files->MoveOver(PathOf("older"), PathOf("renamed")));
    EXPECT_EQ(files->LastWriteTime(PathOf("renamed")), backdated);
}

TEST_F(HostFileSystemTest, SaveKeepsThePreviousFileAsTheBackup)
{
    MacroStore store{*files};
    store.SaveMacros({});
    const auto first = files->ReadWholeFile(PathOf("velmora.dtx"));
    EXPECT_FALSE(files->FileExists(PathOf("velmora.dtx.bak"))) << "nothing was there to keep";
    store.NewMacroId();
    store.SaveMacros({});
    EXPECT_EQ(files->ReadWholeFile(PathOf("velmora.dtx.bak")), first);
    EXPECT_NE(files->ReadWholeFile(PathOf("velmora.dtx")), first);
    EXPECT_EQ(EntriesInFolder(), 2u);
}

TEST(HostFileSystem, ExecutableDirectoryHoldsTheRunningProgram)
{
    HostFileSystem files;
    const std::string directory = files.ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_TRUE(directory.back() == '/' || directory.back() == '\\');
    EXPECT_TRUE(fs::is_directory(directory));
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Names as Windows gives them and the UTF-8 the program holds them in; bytes
// that are no UTF-8 (only one way) become U+FFFD.
TEST(PathText, EveryNameWindowsGivesComesBackUnchanged)
{
    const struct {
        std::u16string wide;
        std::string utf8;
        bool roundTrip = true;
    } cases[] = {
        {u"C:\\Макросы 日本\\", reinterpret_cast<const char*>(u8"C:\\Макросы 日本\\")},
        {u"C:\\Users\\\u674E\U0001F600.txt", "C:\\Users\\\xE6\x9D\x8E\xF0\x9F\x98\x80.txt"},
        // A surrogate without its partner is a valid file name on NTFS.
        {std::u16string(u"a") + char16_t(0xD800) + u"b" + char16_t(0xDC00), "a\xED\xA0\x80" "b\xED\xB0\x80"},
        {std::u16string(40000, u'x') + u"\u00E9", std::string(40000, 'x') + "\xC3\xA9"},
        {u"a\uFFFDz", "a\xE9z", false},                      // a code-page byte
        {u"\uFFFD\uFFFD", "\xC0\xAF", false},               // an overlong "/" is no separator
        {u"\uFFFD\uFFFD", "\xE6\x97", false},               // cut short at the end
        {u"\uFFFD\uFFFD\uFFFD\uFFFD", "\xF4\x90\x80\x80", false},  // beyond U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16FromPath(c.utf8), c.wide) << c.utf8;
        if (c.roundTrip) {
            EXPECT_EQ(PathFromUtf16(c.wide), c.utf8);
        }
    }
}

}  // namespace
}  // namespace velmora
