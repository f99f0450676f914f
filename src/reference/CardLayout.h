#pragma once

// What the quick reference card shows and where: the macros with a hot key
// or an abbreviation, the window's size for the font and the screen, and
// which page is shown.
// All lengths are pixels at the screen's DPI.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "macros/Macro.h"
#include "ui/Layout.h"

namespace velmora {

// The card's controls at their design places (ids in ReferenceControls.h).
extern const LayoutTable kCardTable;

// a / b rounded to the nearest integer, halves to the even neighbour;
// b > 0. Integer arithmetic, so 0.7 × height has no binary error.
int RoundHalfEven(long long numerator, long long denominator);

struct CardMetrics {
    // Height of "M" in the card's font (Arial, 12 points, bold).
    int textHeight = 0;
    // Width of a text in that font.
    std::function<int(std::string_view)> textWidth;
    int screenWidth = 0;
    int screenHeight = 0;
    // The design lengths, scaled to the screen's DPI.
    int designClientWidth = 537;
    int designClientHeight = 545;
    int paintBoxLeft = 16;
    int paintBoxTop = 48;
    int paintBoxWidth = 505;
    int paintBoxHeight = 449;
    int labelLeft = 8;
    int labelTop = 16;
    int labelHeight = 17;
    int buttonTop = 512;
    int buttonWidth = 73;
    int buttonHeight = 25;
    int previousLeft = 8;
    int nextLeft = 456;
};

// One row as it is drawn: what sets the macro off (TriggerDisplayText) and
// the name, taken when the card is laid out, so later edits reach it only
// when it opens again.
struct CardRow {
    std::string keys;
    std::string name;
};

struct CardPlaces {
    LayoutRect label;
    LayoutRect paintBox;
    LayoutRect previous;
    LayoutRect close;
    LayoutRect next;
};

class CardLayout {
public:
    static constexpr std::string_view kWidestKeys = "Win + Alt + Ctrl + Shift + Page Down";
    static constexpr std::string_view kEmptyText =
        "No macro has a hot key or an abbreviation yet. Give a macro one in the options window and it will be "
        "listed here.";

    // Lays out the card for a copy of the macro list's entries and shows the
    // remembered page (its decimal text).
    CardLayout(CardMetrics metrics, TMacroList entries, std::string_view referencePage);

    // Shows page n; a page outside 1..PageCount shows page 1.
    void ShowPage(int n);
    void PreviousPage() { ShowPage(m_pageNumber - 1); }
    void NextPage() { ShowPage(m_pageNumber + 1); }

    // The entries shown, in list order; the card's own references.
    const TMacroList& CardList() const { return m_cardList; }
    const std::vector<CardRow>& Rows() const { return m_rows; }
    // The rows of the shown page.
    std::span<const CardRow> PageRows() const;

    int RowHeight() const { return m_rowHeight; }
    int RowsPerPage() const { return m_rowsPerPage; }
    // An empty card has one page, which holds EmptyLines().
    int PageCount() const { return m_pageCount; }
    int PageNumber() const { return m_pageNumber; }
    int FirstIndex() const { return m_firstIndex; }
    int ClientWidth() const { return m_clientWidth; }
    int ClientHeight() const { return m_clientHeight; }
    CardPlaces Places() const;

    bool Empty() const { return m_rows.empty(); }
    // kEmptyText wrapped to the drawing area's width; none when not empty.
    const std::vector<std::string>& EmptyLines() const { return m_emptyLines; }

    // Previous and Next show only when there is more than one page.
    bool ButtonsVisible() const { return m_pageCount > 1; }
    bool PreviousEnabled() const { return m_pageNumber > 1; }
    bool NextEnabled() const { return m_pageNumber < m_pageCount; }
    std::string PageLabel() const;
    // What closing stores as the remembered page.
    std::string ReferencePageText() const { return std::to_string(m_pageNumber); }

private:
    int PaintBoxHeightFor(int clientHeight) const;
    void CountPages(int clientHeight);

    CardMetrics m_metrics;
    TMacroList m_cardList;
    std::vector<CardRow> m_rows;
    std::vector<std::string> m_emptyLines;
    int m_rowHeight = 0;
    int m_rowsPerPage = 0;
    int m_pageCount = 0;
    int m_pageNumber = 1;
    int m_firstIndex = 0;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
};

// Breaks a text at blanks into lines no wider than width; a word wider than
// that stands on a line of its own.
std::vector<std::string> WrapText(std::string_view text, int width,
                                  const std::function<int(std::string_view)>& textWidth);

}  // namespace velmora
