// The quick reference card's layout and paging, measured with a font of
// fixed-width letters.

#include "reference/CardLayout.h"

#include <gtest/gtest.h>

#include <numeric>

#include "hotkeys/HotKeys.h"

namespace velmora {
namespace {

constexpr int kLetterWidth = 10;
constexpr int kTextHeight = 19;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

int FixedWidth(std::string_view text)
{
    return static_cast<int>(text.size()) * kLetterWidth;
}

CardMetrics Metrics(int textHeight = kTextHeight, int screenWidth = kScreenWidth, int screenHeight = kScreenHeight)
{
    return {.textHeight = textHeight, .textWidth = FixedWidth, .screenWidth = screenWidth,
            .screenHeight = screenHeight};
}

std::shared_ptr<TMacro> Macro(const std::string& name, const std::string& key, bool hidden = false)
{
    auto macro = std::make_shared<TMacro>();
    macro->Name = name;
    macro->HotKey = key;
    macro->HotKeyCtrl = true;
    macro->HotKeyAlt = true;
    macro->HideOnReferenceCard = hidden;
    return macro;
}

TMacroList Macros(int count)
{
    TMacroList list;
    for (int i = 0; i < count; ++i) {
        auto macro = Macro("Macro " + std::to_string(i), std::string(1, static_cast<char>('A' + i % 26)));
        list.push_back({macro->Name, macro});
    }
    return list;
}

// The design's numbers at 96 DPI, worked out the way the card states them.
const CardMetrics kDesign = Metrics();
const int kRowHeight = RoundHalfEven(5 * kTextHeight, 2);
const int kMaxHeight = RoundHalfEven(7 * kScreenHeight, 10);
const int kMaxWidth = RoundHalfEven(8 * kScreenWidth, 10);
// Client height minus the drawing area's height.
const int kFrameHeight = kDesign.designClientHeight - kDesign.paintBoxHeight;
const int kFullPageRows = (kMaxHeight - kFrameHeight) / kRowHeight;
const int kNarrowWidth = FixedWidth(CardLayout::kWidestKeys) + 2 * kDesign.paintBoxLeft;

int ShrunkHeight(int rows)
{
    return rows * kRowHeight + kDesign.paintBoxTop + 2 * kDesign.labelTop + kDesign.buttonHeight + 1;
}

TEST(CardRounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(95, 2), 48);   // 47.5
    EXPECT_EQ(RoundHalfEven(85, 2), 42);   // 42.5
    EXPECT_EQ(RoundHalfEven(7 * 1025, 10), 718);  // 717.5
    EXPECT_EQ(RoundHalfEven(7 * 1015, 10), 710);  // 710.5
    EXPECT_EQ(RoundHalfEven(7 * 768, 10), 538);   // 537.6
    EXPECT_EQ(RoundHalfEven(8 * 1024, 10), 819);  // 819.2
    EXPECT_EQ(RoundHalfEven(-5, 2), -2);
    EXPECT_EQ(RoundHalfEven(-7, 2), -4);
}

TEST(CardRounding, RowHeightAndHeightCapUseIt)
{
    // 17 × 2.5 = 42.5 and 1015 × 0.7 = 710.5 both round down to even.
    const CardLayout card(Metrics(17, kScreenWidth, 1015), Macros(100), "1");
    EXPECT_EQ(card.RowHeight(), 42);
    EXPECT_EQ(card.ClientHeight(), 710);
    EXPECT_EQ(card.RowsPerPage(), (710 - kFrameHeight) / 42);
    // 19 × 2.5 = 47.5 rounds up to even.
    EXPECT_EQ(CardLayout(Metrics(19), Macros(1), "1").RowHeight(), 48);
}

TEST(CardLayoutTest, EmptyCardShowsOnePageWithItsSentence)
{
    const CardLayout card(kDesign, {}, "4");
    EXPECT_TRUE(card.Empty());
    EXPECT_TRUE(card.CardList().empty());
    EXPECT_TRUE(card.PageRows().empty());
    EXPECT_EQ(card.PageCount(), 1);
    EXPECT_EQ(card.PageNumber(), 1);
    EXPECT_EQ(card.PageLabel(), "Page 1 of 1");
    EXPECT_FALSE(card.ButtonsVisible());
    EXPECT_EQ(card.ReferencePageText(), "1");
    EXPECT_EQ(card.ClientWidth(), kNarrowWidth);

    // The sentence, whole, in lines that fit the drawing area.
    const auto& lines = card.EmptyLines();
    ASSERT_GT(lines.size(), 1u);
    const std::string joined = std::accumulate(std::next(lines.begin()), lines.end(), lines.front(),
                                               [](std::string all, const std::string& line) { return all + " " + line; });
    EXPECT_EQ(joined, CardLayout::kEmptyText);
    for (const std::string& line : lines) {
        EXPECT_LE(FixedWidth(line), card.Places().paintBox.width) << line;
    }
    // The window shrinks to the rows the sentence needs.
    const int lineRows = (static_cast<int>(lines.size()) * kTextHeight + kRowHeight - 1) / kRowHeight;
    EXPECT_EQ(card.ClientHeight(), ShrunkHeight(lineRows));
    EXPECT_GE(card.Places().paintBox.height, static_cast<int>(lines.size()) * kTextHeight);
}

TEST(CardLayoutTest, OneMacroShrinksTheWindowAndHidesTheArrows)
{
    const TMacroList list = Macros(1);
    const CardLayout card(kDesign, list, "1");
    EXPECT_FALSE(card.Empty());
    EXPECT_TRUE(card.EmptyLines().empty());
    ASSERT_EQ(card.Rows().size(), 1u);
    EXPECT_EQ(card.Rows()[0].keys, HotKeyDisplayText(*list[0].Macro));
    EXPECT_EQ(card.Rows()[0].name, list[0].Macro->Name);
    EXPECT_EQ(card.RowHeight(), kRowHeight);
    EXPECT_EQ(card.ClientHeight(), ShrunkHeight(1));
    EXPECT_EQ(card.PageCount(), 1);
    EXPECT_FALSE(card.ButtonsVisible());
    EXPECT_EQ(card.PageLabel(), "Page 1 of 1");
    EXPECT_EQ(card.PageRows().size(), 1u);
    // The shrunk drawing area still holds its one row.
    EXPECT_EQ(card.RowsPerPage(), 1);
}

TEST(CardLayoutTest, ExactlyOneFullPageKeepsTheHeight)
{
    const CardLayout card(kDesign, Macros(kFullPageRows), "1");
    EXPECT_EQ(card.RowsPerPage(), kFullPageRows);
    EXPECT_EQ(card.ClientHeight(), kMaxHeight);
    EXPECT_EQ(card.PageCount(), 1);
    EXPECT_FALSE(card.ButtonsVisible());
    EXPECT_EQ(card.PageRows().size(), static_cast<std::size_t>(kFullPageRows));

    // One fewer shrinks it.
    const CardLayout fewer(kDesign, Macros(kFullPageRows - 1), "1");
    EXPECT_EQ(fewer.ClientHeight(), ShrunkHeight(kFullPageRows - 1));
}

TEST(CardLayoutTest, ManyPagesAreWalkedWithPreviousAndNext)
{
    const int count = 2 * kFullPageRows + 3;
    const TMacroList list = Macros(count);
    CardLayout card(kDesign, list, "1");
    EXPECT_EQ(card.ClientHeight(), kMaxHeight);
    ASSERT_EQ(card.PageCount(), 3);
    EXPECT_TRUE(card.ButtonsVisible());

    EXPECT_EQ(card.PageLabel(), "Page 1 of 3");
    EXPECT_FALSE(card.PreviousEnabled());
    EXPECT_TRUE(card.NextEnabled());
    EXPECT_EQ(card.PageRows().front().name, list[0].Macro->Name);

    card.NextPage();
    EXPECT_EQ(card.PageLabel(), "Page 2 of 3");
    EXPECT_EQ(card.FirstIndex(), kFullPageRows);
    EXPECT_TRUE(card.PreviousEnabled());
    EXPECT_TRUE(card.NextEnabled());
    EXPECT_EQ(card.PageRows().front().name, list[static_cast<std::size_t>(kFullPageRows)].Macro->Name);

    card.NextPage();
    EXPECT_EQ(card.PageLabel(), "Page 3 of 3");
    EXPECT_TRUE(card.PreviousEnabled());
    EXPECT_FALSE(card.NextEnabled());
    ASSERT_EQ(card.PageRows().size(), 3u);
    EXPECT_EQ(card.PageRows().back().name, list.back().Macro->Name);
    EXPECT_EQ(card.ReferencePageText(), "3");

    card.PreviousPage();
    EXPECT_EQ(card.PageNumber(), 2);
    card.ShowPage(4);
    EXPECT_EQ(card.PageNumber(), 1) << "past the last page starts again";
    card.PreviousPage();
    EXPECT_EQ(card.PageNumber(), 1);
    EXPECT_EQ(card.FirstIndex(), 0);
}

TEST(CardLayoutTest, PlacesFollowTheClientSize)
{
    const CardLayout card(kDesign, Macros(3 * kFullPageRows), "1");
    const CardPlaces places = card.Places();
    EXPECT_EQ(places.close.left, (card.ClientWidth() - kDesign.buttonWidth) / 2);
    EXPECT_EQ(places.next.Right(), card.ClientWidth() - (kDesign.designClientWidth - kDesign.nextLeft -
                                                          kDesign.buttonWidth));
    EXPECT_EQ(places.previous.left, kDesign.previousLeft);
    EXPECT_EQ(places.close.Bottom(), card.ClientHeight() - (kDesign.designClientHeight - kDesign.buttonTop -
                                                             kDesign.buttonHeight));
    EXPECT_LT(places.paintBox.Bottom(), places.close.top);
    EXPECT_EQ(places.paintBox.width, card.ClientWidth() - 2 * kDesign.paintBoxLeft);
    EXPECT_EQ(places.label.width, card.ClientWidth() - 2 * kDesign.labelLeft);
    EXPECT_LT(places.previous.Right(), places.close.left);
    EXPECT_LT(places.close.Right(), places.next.left);
}

TEST(CardLayoutTest, LongNamesWidenTheCardUpToEightyPercentOfTheScreen)
{
    TMacroList list = Macros(2);
    list[1].Macro->Name = std::string(50, 'W');
    EXPECT_EQ(CardLayout(kDesign, list, "1").ClientWidth(), 50 * kLetterWidth + 2 * kDesign.paintBoxLeft);

    list[0].Macro->Name = std::string(200, 'W');
    const CardLayout capped(kDesign, list, "1");
    EXPECT_EQ(capped.ClientWidth(), kMaxWidth);
    EXPECT_EQ(capped.Places().paintBox.width, kMaxWidth - 2 * kDesign.paintBoxLeft);
}

TEST(CardLayoutTest, RememberedPageOutsideTheCountStartsAtPageOne)
{
    const TMacroList list = Macros(3 * kFullPageRows);
    EXPECT_EQ(CardLayout(kDesign, list, "2").PageNumber(), 2);
    EXPECT_EQ(CardLayout(kDesign, list, "3").FirstIndex(), 2 * kFullPageRows);
    for (const char* stored : {"4", "99", "0", "-1", "-2147483648", "abc", "", "2x", " "}) {
        const CardLayout card(kDesign, list, stored);
        EXPECT_EQ(card.PageNumber(), 1) << stored;
        EXPECT_EQ(card.FirstIndex(), 0) << stored;
        EXPECT_EQ(card.PageLabel(), "Page 1 of 3") << stored;
    }
}

TEST(CardLayoutTest, HiddenKeyLessAndModifierOnlyMacrosAreLeftOut)
{
    TMacroList list;
    const auto add = [&list](std::shared_ptr<TMacro> macro) { list.push_back({macro->Name, std::move(macro)}); };
    add(Macro("First", "F1"));
    add(Macro(std::string(300, 'H'), "H", /*hidden=*/true));
    add(Macro("No key", ""));
    auto modifiersOnly = Macro(std::string(300, 'M'), "");
    modifiersOnly->HotKeyWin = modifiersOnly->HotKeyShift = true;
    add(modifiersOnly);
    add(Macro("Last", "Page Down"));
    list.push_back({"Nothing", nullptr});

    const CardLayout card(kDesign, list, "1");
    ASSERT_EQ(card.CardList().size(), 2u);
    EXPECT_EQ(card.CardList()[0].Macro, list[0].Macro) << "the card refers to the records themselves";
    EXPECT_EQ(card.CardList()[1].Macro, list[4].Macro);
    EXPECT_EQ(card.Rows()[1].keys, "Ctrl + Alt + Page Down");
    EXPECT_EQ(card.ClientWidth(), kNarrowWidth) << "left-out names do not widen the card";
    EXPECT_EQ(card.ClientHeight(), ShrunkHeight(2));
}

TEST(CardLayoutTest, AnAbbreviationPutsAMacroOnTheCardAndItsLineMayWidenIt)
{
    TMacroList list = Macros(3);
    list[0].Macro->HotKey.clear();
    list[0].Macro->Abbreviation = ";sig";
    list[1].Macro->HotKey.clear();
    list[1].Macro->OnlyIn = "notepad.exe";
    list[2].Macro->OnlyIn = std::string(30, 'p') + ".exe";
    const CardLayout card(kDesign, list, "1");
    ASSERT_EQ(card.Rows().size(), 2u) << "a program list alone sets nothing off";
    EXPECT_EQ(card.Rows()[0].keys, "\";sig\"");
    EXPECT_EQ(card.ClientWidth(), FixedWidth(card.Rows()[1].keys) + 2 * kDesign.paintBoxLeft);
}

TEST(CardLayoutTest, RecordsStayReadableAfterTheListDropsThem)
{
    TMacroList list = Macros(2);
    const std::weak_ptr<TMacro> watched = list[1].Macro;
    const std::string name = list[1].Macro->Name;
    const CardLayout card(kDesign, list, "1");
    // The options window deletes the record and renames the other.
    list[0].Macro->Name = "Renamed";
    list.clear();
    EXPECT_FALSE(watched.expired()) << "the card keeps the record alive";
    EXPECT_EQ(card.Rows()[1].name, name);
    EXPECT_EQ(card.Rows()[0].name, "Macro 0") << "the card shows the list of its opening";
}

TEST(CardLayoutTest, ScreenTooSmallForARowStillPagesOneRowAtATime)
{
    const CardLayout card(Metrics(kTextHeight, 200, 100), Macros(3), "2");
    EXPECT_EQ(card.RowsPerPage(), 1);
    EXPECT_EQ(card.PageCount(), 3);
    EXPECT_EQ(card.PageNumber(), 2);
    EXPECT_EQ(card.ClientWidth(), RoundHalfEven(8 * 200, 10));
    EXPECT_EQ(card.ClientHeight(), RoundHalfEven(7 * 100, 10));
}

TEST(CardWrapText, BreaksAtBlanksAndKeepsLongWordsWhole)
{
    EXPECT_EQ(WrapText("aa bb cc", 50, FixedWidth), (std::vector<std::string>{"aa bb", "cc"}));
    EXPECT_EQ(WrapText("  aa   bb ", 200, FixedWidth), (std::vector<std::string>{"aa bb"}));
    EXPECT_EQ(WrapText("a verylongword b", 30, FixedWidth),
              (std::vector<std::string>{"a", "verylongword", "b"}));
    EXPECT_TRUE(WrapText("   ", 30, FixedWidth).empty());
}

}  // namespace
}  // namespace velmora
