// The options window prints its macro list through the system print dialog
// onto a real printer: the PDF queue of a private CUPS server, which
// tests/e2e/cups-pdf-session starts around this program. The PDF's text is
// read back with pdftotext, run on the host.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/support/Desktop.h"
#include "hotkeys/HotKeys.h"
#include "ui/WebLinks.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "options/OptionsControls.h"
#include "options/PrintedList.h"
#include "options/frmOptions.h"
#include "support/TestVectors.h"
#include "support/WaitFor.h"
#include "windows/WindowTestSupport.h"

#include <winspool.h>

namespace velmora {
namespace {

using tests::FindControl;
using tests::PumpWaitingMessages;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path HostPath(const std::string& unixPath)
{
    return tests::HostPath(unixPath);
}

// Runs a host program through Wine, which starts Unix binaries but hands back
// no process to wait on: the output appears by rename once it is complete.
bool RunHostCommand(const std::string& shellCommand, const fs::path& doneMarker)
{
    if (!tests::StartHostProgram("Z:\\bin\\sh -c \"" + shellCommand + "\"")) {
        return false;
    }
    return tests::WaitFor([&] { return fs::exists(doneMarker); }, 60s);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs of blanks become one, so the layout's spacing does not matter.
std::string Squeezed(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (blank) {
            if (!out.empty() && out.back() != ' ') {
                out += ' ';
            }
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<fs::path> PdfFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(folder, error)) {
        if (item.path().extension() == ".pdf") {
            files.push_back(item.path());
        }
    }
    return files;
}

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pdfDirectory = Environment("VELMORA_PDF_DIR");
        printer = Environment("VELMORA_PRINTER");
        ASSERT_FALSE(pdfDirectory.empty() || printer.empty()) << "run through tests/e2e/cups-pdf-session";
        // Wine lists the CUPS queues; the dialog's OK prints on the default one.
        ASSERT_TRUE(::SetDefaultPrinterA(printer.c_str())) << "Wine does not see the queue " << printer;
    }

    // Presses "&Print...", then `answer` in the print dialog. Returns the
    // text of any further dialog (an error box), which is closed.
    std::string PrintFromOptionsWindow(MacroStore& store, int answer)
    {
        SettingsRecord settings;
        tests::FakeRegistry registry;
        AutoStart autoStart(registry);
        TOptions window(OptionsWindowHost{store, settings, autoStart, "C:\\velmora.exe", {}, {}});
        EXPECT_TRUE(window.FormCreate());
        window.ShowOnTop();
        PumpWaitingMessages();
        entries = window.Editor().Entries();
        const HWND print = FindControl(window.Handle(), options_id::kPrint);
        EXPECT_NE(print, nullptr);

        std::atomic<bool> printed = false;
        std::atomic<bool> dialogAnswered = false;
        std::string otherDialog;
        // The dialog runs its own loop inside the click: answer it from here.
        std::thread presser([&] {
            HWND answered = nullptr;
            while (!printed) {
                const HWND dialog = tests::FindVisibleWindow(::GetCurrentProcessId(), "#32770");
                if (dialog && !dialogAnswered) {
                    answered = dialog;
                    dialogAnswered = true;
                    ::PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0);
                } else if (dialog && dialog != answered) {
                    otherDialog = tests::DialogText(dialog);
                    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                }
                std::this_thread::sleep_for(20ms);
            }
        });
        ::SendMessageA(print, BM_CLICK, 0, 0);
        printed = true;
        presser.join();
        EXPECT_TRUE(dialogAnswered) << "no print dialog appeared";
        // The window is still there, as it was.
        EXPECT_TRUE(::IsWindow(window.Handle()));
        EXPECT_EQ(window.Editor().Entries().size(), entries.size());
        return otherDialog;
    }

    std::string pdfDirectory;
    std::string printer;
    TMacroList entries;
    tests::FakeFileSystem files;
};

// Enough macros for three pages; every fifth has no hot key.
void AddMacros(MacroStore& store)
{
    const char* keys[] = {"F5", "Home", "A", "7", "Page Down", "Q"};
    for (int i = 0; i < 110; ++i) {
        auto macro = std::make_shared<TMacro>();
        macro->Id = store.NewMacroId();
        char name[40] = {};
        std::snprintf(name, sizeof name, "Macro %03d %s", 109 - i, i % 5 == 0 ? "unbound" : "bound");
        macro->Name = name;
        if (i % 5 != 0) {
            macro->HotKey = keys[i % 6];
            macro->HotKeyCtrl = i % 2 == 0;
            macro->HotKeyAlt = i % 3 == 0;
            macro->HotKeyShift = i % 4 == 1;
            macro->HotKeyWin = i % 7 == 3;
        }
        store.MacroList.push_back({macro->Name, macro});
    }
}

TEST_F(PrintTest, CancellingThePrintDialogPrintsNothing)
{
    MacroStore store(files);
    AddMacros(store);
    EXPECT_EQ(PrintFromOptionsWindow(store, IDCANCEL), "");
    // Had the job gone out, it would be the next test's first PDF.
    EXPECT_TRUE(PdfFiles(HostPath(pdfDirectory)).empty());
}

TEST_F(PrintTest, PrintsEveryMacroWithAHotKeyInListOrderUnderAHeadingOnEveryPage)
{
    MacroStore store(files);
    AddMacros(store);
    ASSERT_EQ(PrintFromOptionsWindow(store, IDOK), "") << "the print failed";

    const fs::path folder = HostPath(pdfDirectory);
    std::vector<fs::path> pdfs;
    // cups-pdf writes the file in place; its trailer comes last.
    ASSERT_TRUE(tests::WaitFor(
        [&] {
            pdfs = PdfFiles(folder);
            if (pdfs.size() != 1) {
                return false;
            }
            const std::string content = ReadFile(pdfs.front());
            return content.find("%%EOF", content.size() > 64 ? content.size() - 64 : 0) != std::string::npos;
        },
        120s))
        << "no PDF in " << pdfDirectory << " (" << pdfs.size() << " files)";
    ASSERT_EQ(pdfs.size(), 1u) << "the cancelled print made a PDF too";

    const std::string pdf = pdfDirectory + "/" + pdfs.front().filename().string();
    const std::string text = pdfDirectory + "/../list.txt";
    const std::string picture = pdfDirectory + "/../print-first-page";
    ASSERT_TRUE(RunHostCommand("rm -f " + text + " " + picture + ".png && pdftotext -layout '" + pdf + "' " + text +
                                   ".tmp && pdftoppm -png -r 100 -f 1 -l 1 -singlefile '" + pdf + "' " + picture +
                                   " && mv " + text + ".tmp " + text,
                               HostPath(text)))
        << "pdftotext gave nothing";

    std::vector<std::string> pages;
    std::stringstream pageStream(ReadFile(HostPath(text)));
    for (std::string page; std::getline(pageStream, page, '\f');) {
        if (!Squeezed(page).empty()) {
            pages.push_back(Squeezed(page));
        }
    }
    ASSERT_GE(pages.size(), 2u);
    const std::string notice = Squeezed(MakerNoticeLine(kMakerHomePageAddress));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].find(std::string(kPrintedListTitle)), 0u) << "page " << i + 1 << ": " << pages[i];
        EXPECT_NE(pages[i].find(notice.substr(1)), std::string::npos) << "page " << i + 1;
    }

    std::string all;
    for (const std::string& page : pages) {
        all += page + " ";
    }
    std::size_t at = 0;
    int listed = 0;
    for (const TMacroEntry& entry : entries) {
        const std::string keys = HotKeyDisplayText(*entry.Macro);
        if (keys.empty()) {
            EXPECT_EQ(all.find(entry.Macro->Name), std::string::npos) << entry.Macro->Name << " has no hot key";
            continue;
        }
        const std::string line = Squeezed(keys + "  " + entry.Macro->Name) + " ";
        const std::size_t found = all.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line;
        at = found + line.size();
        ++listed;
    }
    const auto withHotKey = std::count_if(store.MacroList.begin(), store.MacroList.end(),
                                          [](const TMacroEntry& entry) { return !entry.Macro->HotKey.empty(); });
    EXPECT_EQ(listed, withHotKey);
    EXPECT_TRUE(fs::exists(HostPath(picture + ".png")));
}

}  // namespace
}  // namespace velmora
