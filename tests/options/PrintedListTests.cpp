// The printed macro list, drawn on a canvas that records every call.

#include "options/PrintedList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "hotkeys/HotKeys.h"

namespace velmora {
namespace {

// Text is 10 units per character and as high as the font's points times 3,
// so sizes differ between the three fonts of the list.
class RecordingCanvas : public IPrintCanvas {
public:
    struct Call {
        std::string what;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        std::string text;
        int page = 0;
    };

    int width = 1000;
    int height = 600;
    std::vector<Call> calls;
    int page = 0;
    int points = 0;
    bool bold = false;
    bool italic = false;
    std::string face;
    // Throws on this page break, like a printer that fails mid-job.
    int failOnNewPage = 0;

    void BeginDoc() override { Record("BeginDoc"); }
    void NewPage() override
    {
        ++page;
        if (page == failOnNewPage) {
            throw std::runtime_error("The printer is out of paper.");
        }
        Record("NewPage");
    }
    void EndDoc() override { Record("EndDoc"); }
    int PageWidth() override { return width; }
    int PageHeight() override { return height; }
    void SelectFont(const std::string& fontFace, int fontPoints, bool isBold, bool isItalic) override
    {
        face = fontFace;
        points = fontPoints;
        bold = isBold;
        italic = isItalic;
        Record("Font", fontPoints, isBold, isItalic, 0, fontFace);
    }
    int TextWidth(const std::string& text) override { return 10 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 3 * points; }
    void WriteText(int x, int y, const std::string& text) override
    {
        Record("Text", x, y, 0, 0, text + Style());
    }
    void FillRect(const PrintRect& r, PrintColor color) override
    {
        Record("Fill", r.left, r.top, r.right, r.bottom, color == PrintColor::Black ? "black" : "white");
    }
    void FramedRect(const PrintRect& r, PrintColor fill, int penWidth) override
    {
        Record("Frame", r.left, r.top, r.right, r.bottom,
               (fill == PrintColor::Black ? "black/" : "white/") + std::to_string(penWidth));
    }
    void Line(int x1, int y1, int x2, int y2, int penWidth) override
    {
        Record("Line", x1, y1, x2, y2, std::to_string(penWidth));
    }

    std::vector<Call> Named(const std::string& what) const
    {
        std::vector<Call> found;
        for (const Call& call : calls) {
            if (call.what == what) {
                found.push_back(call);
            }
        }
        return found;
    }
    // Texts drawn in the list font, in order.
    std::vector<std::string> ListLines() const
    {
        std::vector<std::string> lines;
        for (const Call& call : Named("Text")) {
            if (call.text.ends_with("[Arial 9 bold]")) {
                lines.push_back(call.text.substr(0, call.text.size() - std::string(" [Arial 9 bold]").size()));
            }
        }
        return lines;
    }

private:
    std::string Style() const
    {
        return " [" + face + " " + std::to_string(points) + (bold ? " bold" : "") + (italic ? " italic" : "") + "]";
    }
    void Record(const std::string& what, int x1 = 0, int y1 = 0, int x2 = 0, int y2 = 0, const std::string& text = {})
    {
        calls.push_back({what, x1, y1, x2, y2, text, page});
    }
};

TMacroEntry Entry(const std::string& name, const std::string& key, bool ctrl = false, bool alt = false,
                  bool shift = false, bool win = false)
{
    auto macro = std::make_shared<TMacro>();
    macro->Name = name;
    macro->HotKey = key;
    macro->HotKeyCtrl = ctrl;
    macro->HotKeyAlt = alt;
    macro->HotKeyShift = shift;
    macro->HotKeyWin = win;
    return {name, macro};
}

const std::string kNotice = "  Maker - www.maker.example";

TEST(PrintedListTest, EmptyListPrintsNothing)
{
    RecordingCanvas canvas;
    PrintMacroList(canvas, {}, kNotice);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST(PrintedListTest, ListWithoutHotKeysPrintsTheHeadingAlone)
{
    RecordingCanvas canvas;
    PrintMacroList(canvas, {Entry("Alpha", ""), Entry("Beta", "")}, kNotice);
    ASSERT_FALSE(canvas.calls.empty());
    EXPECT_EQ(canvas.calls.front().what, "BeginDoc");
    EXPECT_EQ(canvas.calls.back().what, "EndDoc");
    EXPECT_TRUE(canvas.Named("NewPage").empty());
    EXPECT_TRUE(canvas.Named("Fill").empty());
    EXPECT_TRUE(canvas.Named("Frame").empty());
    EXPECT_TRUE(canvas.ListLines().empty());
    const auto texts = canvas.Named("Text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(canvas.Named("Line").size(), 1u);
}

TEST(PrintedListTest, HeadingHasTitleNoticeAndRule)
{
    RecordingCanvas canvas;
    const int firstLine = PrintPageHeading(canvas, kNotice);
    // Title: Arial 10 bold, so t = 30; notice: Arial 8 italic, height 24.
    const int t = 30;
    EXPECT_EQ(firstLine, 3 * t);
    const auto texts = canvas.Named("Text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Velmora - Macro List [Arial 10 bold]");
    EXPECT_EQ(texts[0].x1, 0);
    EXPECT_EQ(texts[0].y1, 0);
    EXPECT_EQ(texts[1].text, kNotice + " [Arial 8 italic]");
    // Right-aligned, its bottom on the title's bottom.
    EXPECT_EQ(texts[1].x1, canvas.width - 10 * static_cast<int>(kNotice.size()));
    EXPECT_EQ(texts[1].y1, t - 24);
    const auto lines = canvas.Named("Line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x1, 0);
    EXPECT_EQ(lines[0].y1, t);
    EXPECT_EQ(lines[0].x2, canvas.width);
    EXPECT_EQ(lines[0].y2, t);
    EXPECT_EQ(lines[0].text, "3");
}

TEST(PrintedListTest, MakerNoticeLineNamesTheMakerAndItsAddress)
{
    EXPECT_EQ(MakerNoticeLine("https://www.brackwell.example/"), "  Brackwell, Inc. - www.brackwell.example");
    EXPECT_EQ(MakerNoticeLine("http://www.other.example"), "  Brackwell, Inc. - www.other.example");
}

TEST(PrintedListTest, OneLineHasShadowKeyCapAndText)
{
    RecordingCanvas canvas;
    PrintMacroList(canvas, {Entry("Greeting", "G", true, true)}, kNotice);
    const std::string keys = " Ctrl + Alt + G ";
    const int w = 10 * static_cast<int>(keys.size());
    const int h = 27;  // Arial 9
    const int y = 90;  // below the heading
    const auto fills = canvas.Named("Fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].text, "black");
    EXPECT_EQ((PrintRect{fills[0].x1, fills[0].y1, fills[0].x2, fills[0].y2}),
              (PrintRect{5, y + 5, w + 12, y + h + 5}));
    const auto frames = canvas.Named("Frame");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].text, "white/2");
    EXPECT_EQ((PrintRect{frames[0].x1, frames[0].y1, frames[0].x2, frames[0].y2}),
              (PrintRect{1, y, w + 7, y + h}));
    const auto texts = canvas.Named("Text");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2].text, keys + "  Greeting [Arial 9 bold]");
    EXPECT_EQ(texts[2].x1, 4);
    EXPECT_EQ(texts[2].y1, y);
    // The shadow goes down first, then the key cap over it, then the text.
    std::vector<std::string> order;
    for (const auto& call : canvas.calls) {
        if (call.what == "Fill" || call.what == "Frame" || (call.what == "Text" && call.y1 == y)) {
            order.push_back(call.what);
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Fill", "Frame", "Text"}));
}

TEST(PrintedListTest, MacrosWithoutAKeyTakeNoLineAndOrderIsKept)
{
    RecordingCanvas canvas;
    const TMacroList entries = {Entry("Alpha", "A", true), Entry("Bare", ""),
                                Entry("Charlie", "F5", false, false, true),
                                Entry("Delta", "", false, false, false, true),
                                Entry("Echo", "Home", true, true, true, true)};
    PrintMacroList(canvas, entries, kNotice);
    // A modifier without a key is no hot key either.
    const std::vector<std::string> expected = {" Ctrl + A   Alpha", " Shift + F5   Charlie",
                                               " Win + Shift + Ctrl + Alt + Home   Echo"};
    EXPECT_EQ(canvas.ListLines(), expected);
    // Consecutive lines, one pitch (2 x 27) apart.
    const auto frames = canvas.Named("Frame");
    ASSERT_EQ(frames.size(), 3u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].y1, 90 + 54 * static_cast<int>(i));
    }
}

TEST(PrintedListTest, AMacroWithAnAbbreviationHasALineAndItsKeyCapHoldsIt)
{
    RecordingCanvas canvas;
    TMacroList entries = {Entry("Typed", ""), Entry("Programs only", "")};
    entries[0].Macro->Abbreviation = "brb";
    entries[1].Macro->OnlyIn = "notepad.exe";
    PrintMacroList(canvas, entries, kNotice);
    EXPECT_EQ(canvas.ListLines(), std::vector<std::string>{" \"brb\"   Typed"});
    ASSERT_EQ(canvas.Named("Frame").size(), 1u);
    EXPECT_EQ(canvas.Named("Frame")[0].x2, 10 * 7 + 7) << "the cap fits \" \"brb\" \"";
}

TEST(PrintedListTest, PagesBreakWhenTheNextLineWouldNotFitAndEachStartsWithTheHeading)
{
    RecordingCanvas canvas;
    // Heading ends at 90, pitch 54: lines at 90, 144, 198; then 252 + 54 > 300.
    canvas.height = 300;
    TMacroList entries;
    for (int i = 0; i < 7; ++i) {
        entries.push_back(Entry("Macro " + std::to_string(i), "F" + std::to_string(i + 1), true));
        entries.push_back(Entry("Plain " + std::to_string(i), ""));
    }
    PrintMacroList(canvas, entries, kNotice);

    EXPECT_EQ(canvas.Named("BeginDoc").size(), 1u);
    EXPECT_EQ(canvas.Named("EndDoc").size(), 1u);
    ASSERT_EQ(canvas.Named("NewPage").size(), 2u);
    std::vector<std::vector<int>> framesByPage(3);
    for (const auto& frame : canvas.Named("Frame")) {
        framesByPage[static_cast<std::size_t>(frame.page)].push_back(frame.y1);
    }
    EXPECT_EQ(framesByPage[0], (std::vector<int>{90, 144, 198}));
    EXPECT_EQ(framesByPage[1], (std::vector<int>{90, 144, 198}));
    EXPECT_EQ(framesByPage[2], (std::vector<int>{90}));
    for (int page = 0; page < 3; ++page) {
        // Each page's first drawing is the title at the top.
        const auto first = std::find_if(canvas.calls.begin(), canvas.calls.end(),
                                        [&](const auto& call) { return call.page == page && call.what == "Text"; });
        ASSERT_NE(first, canvas.calls.end());
        EXPECT_EQ(first->text, "Velmora - Macro List [Arial 10 bold]");
        EXPECT_EQ(first->y1, 0);
    }
    EXPECT_EQ(canvas.ListLines().size(), 7u);
    EXPECT_EQ(canvas.ListLines().back(), " Ctrl + F7   Macro 6");

    // A last page filled to the end is not followed by an empty one.
    RecordingCanvas full;
    full.height = 300;
    entries.resize(12);
    PrintMacroList(full, entries, kNotice);
    EXPECT_EQ(full.Named("NewPage").size(), 1u);
    EXPECT_EQ(full.ListLines().size(), 6u);
}

TEST(PrintedListTest, ACanvasErrorEndsThePrint)
{
    RecordingCanvas canvas;
    // The first line fills the page.
    canvas.height = 150;
    canvas.failOnNewPage = 1;
    const TMacroList entries = {Entry("One", "1", true), Entry("Two", "2", true), Entry("Three", "3", true)};
    EXPECT_THROW(PrintMacroList(canvas, entries, kNotice), std::runtime_error);
    EXPECT_TRUE(canvas.Named("EndDoc").empty());
    EXPECT_EQ(canvas.ListLines().size(), 1u);
}

}  // namespace
}  // namespace velmora
