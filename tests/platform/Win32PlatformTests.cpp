// The real clipboard, keyboard, clock, locale, thread and shell calls, run
// under Wine in the harness's private desktop (or on Windows directly).

#include <array>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "engine/KeyPlayback.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Window.h"
#include "support/TemporaryFolder.h"
#include "support/WaitFor.h"

namespace velmora::win32 {
namespace {

using tests::WaitFor;

using namespace std::chrono_literals;

bool RunningUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Opens the clipboard from another thread, as a second program would: the
// bytes of a format, or nothing when it is not there. A program usually
// opens it with a window of its own.
std::optional<std::string> ReadClipboardElsewhere(UINT format = CF_TEXT, bool withWindow = false)
{
    std::optional<std::string> bytes;
    std::thread([&] {
        const UniqueWindow window(withWindow ? ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                                 nullptr, nullptr, nullptr)
                                             : nullptr);
        if (!WaitFor([&] { return ::OpenClipboard(window.Get()) != FALSE; })) {
            return;
        }
        if (const HANDLE memory = ::GetClipboardData(format)) {
            LockedGlobal<const char> data(memory);
            bytes = data ? std::string(data.Get(), ::GlobalSize(memory)) : std::string();
        }
        ::CloseClipboard();
    }).join();
    return bytes;
}

// The text of a CF_TEXT block, up to its 0.
std::optional<std::string> TextElsewhere(bool withWindow = false)
{
    auto bytes = ReadClipboardElsewhere(CF_TEXT, withWindow);
    if (bytes) {
        bytes->resize(bytes->find('\0'));
    }
    return bytes;
}

// Empties the clipboard and puts the formats there as another program would.
void PutElsewhere(const ClipboardContent& content, HENHMETAFILE metafile = nullptr)
{
    std::thread([&] {
        ASSERT_TRUE(WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }));
        ::EmptyClipboard();
        for (const auto& [id, bytes, object] : content) {
            UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
            {
                LockedGlobal<char> data(memory.Get());
                std::copy(bytes.begin(), bytes.end(), data.Get());
            }
            EXPECT_NE(::SetClipboardData(id, memory.Get()), nullptr);
            memory.Release();
        }
        if (metafile) {
            EXPECT_NE(::SetClipboardData(CF_ENHMETAFILE, metafile), nullptr);
        }
        ::CloseClipboard();
    }).join();
}

std::string Utf16(std::wstring_view text)
{
    return {reinterpret_cast<const char*>(text.data()), (text.size() + 1) * sizeof(wchar_t)};
}

// A user's clipboard: Unicode text beyond the code page, a picture and a
// private format holding every byte value.
ClipboardContent UsersFormats()
{
    const BITMAPINFOHEADER header{.biSize = sizeof(BITMAPINFOHEADER), .biWidth = 4, .biHeight = 4, .biPlanes = 1,
                                  .biBitCount = 32, .biCompression = BI_RGB, .biSizeImage = 64};
    std::string everyByte;
    for (int c = 0; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    const std::string dib =
        std::string(reinterpret_cast<const char*>(&header), sizeof header) + everyByte.substr(0, 64);
    return {{CF_UNICODETEXT, Utf16(L"arrow \u2192 smile \U0001F600")},
            {CF_DIB, dib},
            {::RegisterClipboardFormatA("Velmora test format"), everyByte}};
}

void ExpectOnClipboard(const ClipboardContent& formats)
{
    for (const auto& [id, bytes, object] : formats) {
        SCOPED_TRACE(id);
        const auto back = ReadClipboardElsewhere(id);
        ASSERT_TRUE(back);
        // GlobalSize may round a block up; the bytes written come first.
        EXPECT_EQ(back->substr(0, bytes.size()), bytes);
    }
}

class Win32ClipboardTest : public ::testing::Test {
protected:
    Win32Clipboard clipboard;
};

TEST_F(Win32ClipboardTest, SavedFormatsComeBackByteForByte)
{
    ClipboardContent users = UsersFormats();
    const UINT own = users.back().id;
    users.push_back({::RegisterClipboardFormatA("HTML Format"), "Version:0.9\r\n<b>x</b>"});
    WindowDC screen(nullptr);
    const RECT frame{.left = 0, .top = 0, .right = 100, .bottom = 100};
    const HDC recorder = ::CreateEnhMetaFileA(screen.Get(), nullptr, &frame, nullptr);
    ASSERT_NE(recorder, nullptr);
    ::Rectangle(recorder, 1, 2, 30, 40);
    UniqueEnhancedMetafile drawing(::CloseEnhMetaFile(recorder));
    std::string drawingBits(::GetEnhMetaFileBits(drawing.Get(), 0, nullptr), '\0');
    ::GetEnhMetaFileBits(drawing.Get(), static_cast<UINT>(drawingBits.size()),
                         reinterpret_cast<BYTE*>(drawingBits.data()));
    PutElsewhere(users, drawing.Release());

    const auto saved = clipboard.Save(64u << 20);
    ASSERT_TRUE(saved);
    EXPECT_FALSE(saved->tooLarge);
    ASSERT_TRUE(clipboard.Replace({AnsiText("in between")}));
    EXPECT_EQ(TextElsewhere(), "in between");
    EXPECT_EQ(ReadClipboardElsewhere(own), std::nullopt);

    ASSERT_TRUE(clipboard.Replace(saved->formats));
    ExpectOnClipboard(users);
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_TEXT)) << "the text the system made for ANSI readers";
    const auto metafile = std::find_if(saved->formats.begin(), saved->formats.end(),
                                       [](const ClipboardFormat& f) { return f.id == CF_ENHMETAFILE; });
    ASSERT_NE(metafile, saved->formats.end());
    EXPECT_EQ(metafile->bytes, drawingBits) << "an enhanced metafile is kept as its bits";
    ClipboardSession session(nullptr);
    ASSERT_TRUE(session);
    const auto restored = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(::GetEnhMetaFileBits(restored, 0, nullptr), drawingBits.size());
}

TEST_F(Win32ClipboardTest, SaveStopsAtTheLimit)
{
    PutElsewhere({{CF_TEXT, std::string(999, 'a') + '\0'}});
    const auto over = clipboard.Save(999);
    ASSERT_TRUE(over);
    EXPECT_TRUE(over->tooLarge);
    EXPECT_TRUE(over->formats.empty());
    const auto within = clipboard.Save(1u << 20);
    ASSERT_TRUE(within);
    EXPECT_FALSE(within->tooLarge);
    EXPECT_FALSE(within->formats.empty());
}

// Save reads what is there now: nothing of what was put there before is kept.
TEST_F(Win32ClipboardTest, SaveAfterReplaceSeesLaterChanges)
{
    const ClipboardContent placed{AnsiText("placed")};
    ASSERT_TRUE(clipboard.Replace(placed));
    const auto unchanged = clipboard.Save(1u << 20);
    ASSERT_TRUE(unchanged);
    ASSERT_FALSE(unchanged->formats.empty());
    EXPECT_EQ(unchanged->formats.front(), placed.front());
    PutElsewhere({{CF_TEXT, std::string("changed\0", 8)}});
    const auto changed = clipboard.Save(1u << 20);
    ASSERT_TRUE(changed);
    const auto text = std::find_if(changed->formats.begin(), changed->formats.end(),
                                   [](const ClipboardFormat& f) { return f.id == CF_TEXT; });
    ASSERT_NE(text, changed->formats.end());
    EXPECT_EQ(text->bytes.substr(0, 8), std::string("changed\0", 8));
}

TEST_F(Win32ClipboardTest, ReplaceEmptiesEveryOtherFormat)
{
    const UINT own = ::RegisterClipboardFormatA("Velmora test format");
    PutElsewhere({{own, "four"}});
    ASSERT_TRUE(clipboard.Replace({AnsiText(std::string("before\0after", 12))}));
    EXPECT_EQ(ReadClipboardElsewhere(own), std::nullopt);
    EXPECT_EQ(TextElsewhere(), "before");
    ASSERT_TRUE(clipboard.Replace({}));
    EXPECT_EQ(TextElsewhere(), std::nullopt);
}

TEST_F(Win32ClipboardTest, ClipboardHeldOpenElsewhereFailsForNow)
{
    std::atomic<bool> opened = false;
    std::atomic<bool> letGo = false;
    std::thread holder([&] {
        opened = ::OpenClipboard(nullptr) != FALSE;
        while (!letGo) {
            std::this_thread::sleep_for(1ms);
        }
        ::CloseClipboard();
    });
    ASSERT_TRUE(WaitFor([&] { return opened.load(); }));
    EXPECT_EQ(clipboard.Save(1000), std::nullopt);
    EXPECT_FALSE(clipboard.Replace({AnsiText("x")}));
    EXPECT_FALSE(clipboard.Offer({AnsiText("x")}, {}));
    EXPECT_EQ(clipboard.Restore({AnsiText("x")}), IClipboard::RestoreResult::Busy);
    letGo = true;
    holder.join();
    EXPECT_TRUE(clipboard.Replace({AnsiText("x")}));
}

// Only the foreground window's program takes an offer: another program
// reading it first (a clipboard-sync tool) gets the text but does not count.
TEST(Win32ClipboardOfferTest, TakenOnlyWhenTheForegroundProgramReadsIt)
{
    struct Case {
        const char* name;
        bool readerHasWindow;
        bool readerInForeground;
        bool taken;
    };
    const Case cases[] = {
        {"the foreground program", true, true, true},
        {"another program", true, false, false},
        {"a reader that cannot be told", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DWORD foreground = ::GetCurrentProcessId() + (c.readerInForeground ? 0 : 4);
        Win32Clipboard clipboard([&] { return foreground; });
        const UINT mark = clipboard.RegisterFormat("Velmora test mark");
        ASSERT_TRUE(clipboard.Offer({AnsiText("offered \xE9")}, {{mark, "now"}}));
        EXPECT_EQ(ReadClipboardElsewhere(mark), "now") << "at once, and not a paste";
        std::optional<std::string> read;
        std::thread reader([&] { read = TextElsewhere(c.readerHasWindow); });
        // The reader blocks in GetClipboardData until this thread renders.
        const bool taken = clipboard.WaitUntilTaken(c.taken ? 10s : 300ms);
        reader.join();
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(read, "offered \xE9");
    }
}

TEST_F(Win32ClipboardTest, OfferNobodyTakesTimesOut)
{
    ASSERT_TRUE(clipboard.Offer({AnsiText("unread")}, {}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(clipboard.WaitUntilTaken(200ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms) << "gave up before the time was up";
    const auto saved = clipboard.Save(1000);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->formats.at(0), AnsiText("unread")) << "still on offer";
}

TEST_F(Win32ClipboardTest, ReplacingOrLeavingAnOfferHandlesItsText)
{
    ASSERT_TRUE(clipboard.Offer({AnsiText("old")}, {}));
    ASSERT_TRUE(clipboard.Replace({AnsiText("new")}));
    EXPECT_FALSE(clipboard.WaitUntilTaken(50ms)) << "a replaced offer is never taken";
    EXPECT_EQ(TextElsewhere(), "new");

    {
        Win32Clipboard leaving;
        ASSERT_TRUE(leaving.Offer({AnsiText("left behind")}, {}));
    }
    EXPECT_EQ(TextElsewhere(), "left behind") << "an offer still open is rendered on the way out";
}

// The engine's loan of the real clipboard: the user's formats come back and
// both the offer and what comes back are marked private.
TEST_F(Win32ClipboardTest, BorrowedClipboardMarksItsContentAndGivesEveryFormatBack)
{
    const ClipboardContent users = UsersFormats();
    const UINT own = users.back().id;
    PutElsewhere(users);
    const std::string zero(4, '\0');
    const auto markedPrivate = [&] {
        return ReadClipboardElsewhere(::RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing")) ==
                   zero &&
               ReadClipboardElsewhere(::RegisterClipboardFormatA("CanIncludeInClipboardHistory")) == zero &&
               ReadClipboardElsewhere(::RegisterClipboardFormatA("CanUploadToCloudClipboard")) == zero;
    };
    Win32Thread thread;
    HeldClipboard held(clipboard, thread);
    BorrowedClipboard borrowed(clipboard, thread, held, {AnsiText("lent")});
    EXPECT_TRUE(markedPrivate());
    EXPECT_EQ(ReadClipboardElsewhere(own), std::nullopt);
    EXPECT_FALSE(borrowed.GiveBack(0ms));
    EXPECT_TRUE(markedPrivate());
    ExpectOnClipboard(users);
}

// The formats of the clipboard in its own order. Listing them renders nothing.
std::vector<UINT> Formats()
{
    std::vector<UINT> formats;
    ClipboardSession session(nullptr);
    for (UINT format = ::EnumClipboardFormats(0); session && format != 0; format = ::EnumClipboardFormats(format)) {
        formats.push_back(format);
    }
    return formats;
}

// A bitmap's pixels as 32-bit colours, whatever its device format.
std::vector<DWORD> Pixels(HBITMAP bitmap)
{
    BITMAPINFO info{.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER), .biWidth = 2, .biHeight = -2, .biPlanes = 1,
                                  .biBitCount = 32, .biCompression = BI_RGB}};
    std::vector<DWORD> pixels(4);
    WindowDC screen(nullptr);
    ::GetDIBits(screen.Get(), bitmap, 0, 2, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

// Bitmaps and palettes are handles, not memory: they come back as copies.
// The marks come first, in the offer and in what comes back.
TEST_F(Win32ClipboardTest, BitmapAndPaletteComeBackAndTheMarksComeFirst)
{
    const DWORD pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    UniqueGdiObject bitmap(::CreateBitmap(2, 2, 1, 32, pixels));
    const LOGPALETTE entries{.palVersion = 0x300, .palNumEntries = 1, .palPalEntry = {{4, 5, 6, 0}}};
    std::thread([&] {
        ASSERT_TRUE(WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }));
        ::EmptyClipboard();
        EXPECT_NE(::SetClipboardData(CF_BITMAP, ::CopyImage(bitmap.Get(), IMAGE_BITMAP, 0, 0, 0)), nullptr);
        EXPECT_NE(::SetClipboardData(CF_PALETTE, ::CreatePalette(&entries)), nullptr);
        ::CloseClipboard();
    }).join();

    std::vector<UINT> marks;
    for (const char* name :
         {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
        marks.push_back(::RegisterClipboardFormatA(name));
    }
    const auto marksFirst = [&] {
        const std::vector<UINT> formats = Formats();
        return formats.size() > marks.size() && std::equal(marks.begin(), marks.end(), formats.begin());
    };
    Win32Thread thread;
    HeldClipboard held(clipboard, thread);
    {
        BorrowedClipboard borrowed(clipboard, thread, held, {AnsiText("lent")});
        EXPECT_TRUE(marksFirst()) << "in the offer";
        borrowed.GiveBack(0ms);
    }
    EXPECT_FALSE(held.Waiting());
    EXPECT_TRUE(marksFirst()) << "in what came back";
    ClipboardSession session(nullptr);
    ASSERT_TRUE(session);
    const auto back = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Pixels(back), Pixels(static_cast<HBITMAP>(bitmap.Get())));
    const auto palette = static_cast<HPALETTE>(::GetClipboardData(CF_PALETTE));
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY colour{};
    ASSERT_EQ(::GetPaletteEntries(palette, 0, 1, &colour), 1u);
    EXPECT_EQ(colour.peRed, 4);
    EXPECT_EQ(colour.peBlue, 6);
}

TEST(Win32ThreadTest, PumpHandlesWaitingMessagesAndKeepsTheQuit)
{
    ASSERT_TRUE(::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0));
    ::PostQuitMessage(7);
    DispatchWaitingMessages();

    MSG message{};
    ASSERT_TRUE(::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "WM_APP was handled";
}

// Posted messages (a hot key, a tray click) would start something new in the
// middle of a macro: they wait until it has ended.
TEST(Win32ThreadTest, WaitingForAPasteLeavesPostedMessagesQueued)
{
    Win32Clipboard clipboard;
    ASSERT_TRUE(clipboard.Offer({AnsiText("x")}, {}));
    ASSERT_TRUE(::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0));
    EXPECT_FALSE(clipboard.WaitUntilTaken(200ms));
    MSG message{};
    EXPECT_TRUE(::PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

TEST(Win32KeyboardTest, KeyScanGivesTheKeyAndItsShift)
{
    Win32Keyboard keyboard;
    EXPECT_EQ(keyboard.ScanCharacter('a'), 'A');
    EXPECT_EQ(keyboard.ScanCharacter('A'), kScanShift | 'A');
    EXPECT_EQ(keyboard.ScanCharacter('7'), '7');
    EXPECT_EQ(keyboard.ScanCharacter('&'), kScanShift | '7');
    EXPECT_EQ(keyboard.ScanCharacter(' '), vk::Space);
    EXPECT_EQ(keyboard.ScanCharacter('.'), VK_OEM_PERIOD);
    if (RunningUnderWine()) {
        // Wine's layout on the harness's X server has no key for these, and
        // gives '<' the extra key of 102-key keyboards instead of Shift+','.
        // Playback then pastes the brackets, which the e2e tests rely on.
        EXPECT_EQ(keyboard.ScanCharacter('('), -1);
        EXPECT_EQ(keyboard.ScanCharacter(')'), -1);
        EXPECT_EQ(keyboard.ScanCharacter('<'), VK_OEM_102);
        EXPECT_EQ(keyboard.ScanCharacter('\xE9'), -1);
    }
}

// Western code page 1252, which the harness's Wine uses: no best fit, so a
// character outside it is refused rather than turned into a look-alike.
TEST(Win32CodePageTest, MapsBytesBothWaysWithoutBestFit)
{
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "ANSI code page " << ::GetACP();
    }
    Win32CodePage codePage;
    EXPECT_TRUE(codePage.SingleByte());
    EXPECT_EQ(codePage.ByteCharacter('\x41'), U'A');
    EXPECT_EQ(codePage.ByteCharacter('\x80'), U'\u20AC');
    EXPECT_EQ(codePage.ByteCharacter('\xFF'), U'\u00FF');
    EXPECT_EQ(codePage.Read("\xE9\xE9").length, 1u);
    const std::pair<char32_t, std::string> cases[] = {
        {U'A', "\x41"}, {U'\u00E9', "\xE9"}, {U'\u20AC', "\x80"}, {U'\u00FD', "\xFD"},
        {U'\u0101', ""}, {U'\u2192', ""},    {U'\u044F', ""},     {U'\U0001F600', ""},
    };
    for (const auto& [character, byte] : cases) {
        EXPECT_EQ(codePage.FromUnicode(character), byte) << static_cast<unsigned>(character);
    }
}

TEST(Win32KeyboardTest, InjectedKeysShowInTheKeyState)
{
    Win32Keyboard keyboard;
    const auto send = [&](std::uint8_t key, std::uint32_t flags) {
        EXPECT_EQ(keyboard.Send(std::array{KeyInput{.virtualKey = key, .flags = flags}}), 1u);
    };
    send(vk::Shift, 0);
    EXPECT_TRUE(WaitFor([&] { return keyboard.IsKeyDown(vk::Shift); }));
    send(vk::Shift, kKeyEventKeyUp);
    EXPECT_TRUE(WaitFor([&] { return !keyboard.IsKeyDown(vk::Shift); }));

    const bool capsLock = keyboard.IsKeyToggled(vk::Capital);
    const auto pressCapsLock = [&] {
        send(vk::Capital, 0);
        send(vk::Capital, kKeyEventKeyUp);
    };
    pressCapsLock();
    EXPECT_TRUE(WaitFor([&] { return keyboard.IsKeyToggled(vk::Capital) != capsLock; }));
    pressCapsLock();
    EXPECT_TRUE(WaitFor([&] { return keyboard.IsKeyToggled(vk::Capital) == capsLock; }));
}

// The layout's scan codes as SendInput takes them; the left modifiers stand
// for the generic ones. (Windows marks the extended keys with E0; Wine does
// so for the right-hand modifiers but not for Home or Delete, whose extended
// flag comes from the program's own list.)
TEST(Win32KeyboardTest, ScanCodesComeFromTheLayout)
{
    Win32Keyboard keyboard;
    const std::pair<std::uint8_t, std::uint16_t> cases[] = {
        {'A', 0x1E},        {vk::Shift, 0x2A}, {vk::Control, 0x1D}, {vk::Menu, 0x38},
        {vk::Return, 0x1C}, {vk::Home, 0x47},  {vk::Delete, 0x53},  {vk::RControl, 0x1D},
    };
    for (const auto& [key, code] : cases) {
        EXPECT_EQ(keyboard.ScanCode(key) & 0xFF, code) << std::hex << +key;
    }
    EXPECT_EQ(keyboard.ScanCode(vk::RControl) >> 8, 0xE0);
}

TEST(Win32ClockTest, DayOfWeekCountsFromSunday)
{
    Win32Clock clock;
    const LocalTime now = clock.Now();
    ASSERT_GE(now.month, 1);
    ASSERT_LE(now.month, 12);
    const std::chrono::year_month_day date{std::chrono::year(now.year),
                                           std::chrono::month(static_cast<unsigned>(now.month)),
                                           std::chrono::day(static_cast<unsigned>(now.day))};
    ASSERT_TRUE(date.ok());
    EXPECT_EQ(static_cast<unsigned>(now.dayOfWeek), std::chrono::weekday(std::chrono::sys_days(date)).c_encoding());
    EXPECT_LT(now.hour, 24);
    EXPECT_LT(now.minute, 60);
}

TEST(Win32LocaleTest, EnglishNamesStartOnSundayAndJanuary)
{
    if (PRIMARYLANGID(LANGIDFROMLCID(::GetUserDefaultLCID())) != LANG_ENGLISH) {
        GTEST_SKIP() << "the names are checked for an English locale only";
    }
    const LocaleNames names = Win32Locale().ReadNames();
    EXPECT_EQ(names.months[0], u"January");
    EXPECT_EQ(names.months[11], u"December");
    EXPECT_EQ(names.shortMonths[0], u"Jan");
    EXPECT_EQ(names.shortMonths[8], u"Sep");
    EXPECT_EQ(names.days[0], u"Sunday");
    EXPECT_EQ(names.days[1], u"Monday");
    EXPECT_EQ(names.days[6], u"Saturday");
    EXPECT_EQ(names.shortDays[0], u"Sun");
    EXPECT_EQ(names.shortDays[6], u"Sat");
    EXPECT_EQ(names.dateSeparator, u"/");
    EXPECT_EQ(names.timeSeparator, u":");
}

// Records the system commands the shell sends to the main window.
class CommandWindow : public Window<CommandWindow> {
public:
    CommandWindow() { CreateWindowFor({.className = "VelmoraTestCommands", .caption = "", .style = 0}); }
    ~CommandWindow()
    {
        if (Handle()) {
            ::DestroyWindow(Handle());
        }
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SYSCOMMAND) {
            commands.emplace_back(wParam & 0xFFF0u, lParam);
            return 0;
        }
        return DefaultHandling(message, wParam, lParam);
    }

    std::vector<std::pair<WPARAM, LPARAM>> commands;
};

TEST(Win32ShellTest, SystemCommandsGoToTheMainWindow)
{
    CommandWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    Win32Shell shell;
    shell.SetMainWindow(window.Handle());

    shell.StartScreenSaver();
    ASSERT_EQ(window.commands.size(), 1u) << "sent, so handled at once";
    EXPECT_EQ(window.commands[0], std::make_pair(WPARAM{SC_SCREENSAVE}, LPARAM{0}));

    shell.TurnMonitorOff();
    EXPECT_EQ(window.commands.size(), 1u) << "posted, so not yet handled";
    ASSERT_TRUE(WaitFor([&] {
        DispatchWaitingMessages();
        return window.commands.size() == 2;
    }));
    EXPECT_EQ(window.commands[1], std::make_pair(WPARAM{SC_MONITORPOWER}, LPARAM{2}));
}

TEST(Win32ShellTest, ProgramsAndQuotedDocumentsStart)
{
    const tests::TemporaryFolder temporary("velmora shell ");
    const std::string folder = temporary.Path().string() + "\\";
    Win32Shell shell;

    shell.StartProgram("cmd.exe /c echo started>\"" + folder + "program.txt\"");
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(folder + "program.txt"); }));

    // A path with blanks, quoted as the launch action passes it.
    const std::string script = folder + "make marker.cmd";
    {
        std::ofstream(script) << "echo opened>\"" << folder << "document.txt\"\r\n";
    }
    shell.OpenDocument("\"" + script + "\"");
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(folder + "document.txt"); }));
}

TEST(Win32DpiTest, ALargerMessageFontGrowsTheScaleNeverBelowTheDpi)
{
    struct Case {
        UINT dpi;
        SIZE font;
        SIZE standard;
        SIZE expected;
    };
    const std::array cases{
        Case{96, {7, 16}, {7, 16}, {96, 96}},        // the default font
        Case{192, {14, 33}, {7, 16}, {192, 192}},    // the default, a pixel off in its rounding
        Case{96, {9, 20}, {7, 16}, {123, 120}},      // text made bigger, across and down apart
        Case{144, {15, 36}, {7, 16}, {205, 216}},    // the same at 150 %
        Case{192, {6, 12}, {7, 16}, {192, 192}},     // a smaller font keeps the DPI's size
        Case{120, {8, 16}, {0, 0}, {120, 120}},      // no default measured
    };
    for (const Case& test : cases) {
        const SIZE scale = FontScaledDpi(test.dpi, test.font, test.standard);
        EXPECT_EQ(scale.cx, test.expected.cx) << test.dpi;
        EXPECT_EQ(scale.cy, test.expected.cy) << test.dpi;
    }

    // Measured: a 14 pt font is larger than the default at 96 DPI.
    LOGFONTW large{.lfHeight = -::MulDiv(14, 96, 72), .lfFaceName = L"Tahoma"};
    const UniqueGdiObject font(::CreateFontIndirectW(&large));
    const SIZE grown = FontScaledDpi(96, DialogBaseUnits(font.Get()), DefaultDialogBaseUnits());
    EXPECT_GT(grown.cx, 96);
    EXPECT_GT(grown.cy, 96);
}

}  // namespace
}  // namespace velmora::win32
