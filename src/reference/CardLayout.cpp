#include "reference/CardLayout.h"

#include <algorithm>
#include <array>

#include "hotkeys/MacroTriggers.h"
#include "engine/TextExpansion.h"
#include "reference/ReferenceControls.h"

namespace velmora {

namespace {

using enum ControlKind;

// The buttons are drawn by the card; SS_CENTER is 1, SS_NOPREFIX 0x80,
// SS_OWNERDRAW 0xD and BS_OWNERDRAW 0xB.
constexpr std::uint32_t kCentred = 0x1;
constexpr std::uint32_t kDrawnText = 0x80 | 0xD;
constexpr std::uint32_t kDrawnButton = 0xB;

constexpr std::array kCardRows{
    LayoutRow{reference_id::kPageLabel, Text, "Page 1 of 1", {8, 16, 521, 17}, kGrowX, 0, nullptr, kCentred, true},
    // Its text is the page's rows, for a screen reader.
    LayoutRow{reference_id::kPaintBox, Text, "", {16, 48, 505, 449}, kGrowX | kGrowY, 0, nullptr, kDrawnText},
    LayoutRow{reference_id::kPrevious, Button, "&Previous", {8, 512, 73, 25}, kMoveY, 0, nullptr, kDrawnButton},
    // Centred across: (537 - 73) / 2.
    LayoutRow{reference_id::kClose, Button, "&Close", {232, 512, 73, 25}, kMoveHalfX | kMoveY, 0, nullptr,
              kDrawnButton},
    LayoutRow{reference_id::kNext, Button, "&Next", {456, 512, 73, 25}, kMoveX | kMoveY, 0, nullptr, kDrawnButton},
};

}  // namespace

const LayoutTable kCardTable{"quick reference card", {537, 545}, kCardRows};

int RoundHalfEven(long long numerator, long long denominator)
{
    long long quotient = numerator / denominator;
    long long remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const long long twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
        ++quotient;
    }
    return static_cast<int>(quotient);
}

std::vector<std::string> WrapText(std::string_view text, int width,
                                  const std::function<int(std::string_view)>& textWidth)
{
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, end - start);
        const std::string joined = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (line.empty() || textWidth(joined) <= width) {
            line = joined;
        } else {
            lines.push_back(std::move(line));
            line = std::string(word);
        }
        at = end;
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

CardLayout::CardLayout(CardMetrics metrics, TMacroList entries, std::string_view referencePage)
    : m_metrics(std::move(metrics))
{
    const CardMetrics& m = m_metrics;
    // At least one pixel, so a page always holds a row.
    m_rowHeight = std::max(1, RoundHalfEven(5LL * m.textHeight, 2));
    int widest = m.textWidth(kWidestKeys);
    const int maxHeight = RoundHalfEven(7LL * m.screenHeight, 10);
    const int maxWidth = RoundHalfEven(8LL * m.screenWidth, 10);

    std::erase_if(entries, [](const TMacroEntry& entry) {
        return !entry.Macro || !HasTrigger(*entry.Macro) || entry.Macro->HideOnReferenceCard;
    });
    m_cardList = std::move(entries);
    for (const TMacroEntry& entry : m_cardList) {
        CardRow row{TriggerDisplayText(*entry.Macro), entry.Macro->Name};
        // An abbreviation and a program list may make the keys the wider line.
        widest = std::max({widest, m.textWidth(row.keys), m.textWidth(row.name)});
        m_rows.push_back(std::move(row));
    }
    m_clientWidth = std::min(widest + 2 * m.paintBoxLeft, maxWidth);

    int clientHeight = maxHeight;
    CountPages(clientHeight);
    // Rows an empty card gives its sentence.
    int shownRows = static_cast<int>(m_rows.size());
    if (Empty()) {
        m_emptyLines = WrapText(kEmptyText, Places().paintBox.width, m.textWidth);
        const int textHeight = static_cast<int>(m_emptyLines.size()) * m.textHeight;
        shownRows = std::max(1, (textHeight + m_rowHeight - 1) / m_rowHeight);
    }
    if (m_pageCount == 1 && shownRows < m_rowsPerPage) {
        clientHeight = shownRows * m_rowHeight + m.paintBoxTop + 2 * m.labelTop + m.buttonHeight + 1;
    }
    clientHeight = std::min(clientHeight, maxHeight);
    CountPages(clientHeight);
    m_clientHeight = clientHeight;

    ShowPage(ReadInteger(referencePage).value_or(1));
    // Measuring may need a device context that lives only while laying out.
    m_metrics.textWidth = nullptr;
}

int CardLayout::PaintBoxHeightFor(int clientHeight) const
{
    const CardMetrics& m = m_metrics;
    // Anchored to all edges: the margins above and below stay as designed.
    return clientHeight - (m.designClientHeight - m.paintBoxHeight);
}

void CardLayout::CountPages(int clientHeight)
{
    // A screen too small for one row still shows one per page.
    m_rowsPerPage = std::max(1, PaintBoxHeightFor(clientHeight) / m_rowHeight);
    const int entries = static_cast<int>(m_rows.size());
    m_pageCount = Empty() ? 1 : (entries + m_rowsPerPage - 1) / m_rowsPerPage;
}

void CardLayout::ShowPage(int n)
{
    // Below 1 only when the setting was changed by hand; never read before the first row.
    if (n > m_pageCount || n < 1) {
        n = 1;
    }
    m_pageNumber = n;
    m_firstIndex = (n - 1) * m_rowsPerPage;
}

std::span<const CardRow> CardLayout::PageRows() const
{
    const auto first = static_cast<std::size_t>(std::min<int>(m_firstIndex, static_cast<int>(m_rows.size())));
    const std::size_t count = std::min(static_cast<std::size_t>(m_rowsPerPage), m_rows.size() - first);
    return std::span<const CardRow>(m_rows).subspan(first, count);
}

CardPlaces CardLayout::Places() const
{
    const CardMetrics& m = m_metrics;
    const int buttonTop = m_clientHeight - (m.designClientHeight - m.buttonTop);
    return {
        .label = {m.labelLeft, m.labelTop, m_clientWidth - 2 * m.labelLeft, m.labelHeight},
        .paintBox = {m.paintBoxLeft, m.paintBoxTop, m_clientWidth - (m.designClientWidth - m.paintBoxWidth),
                     PaintBoxHeightFor(m_clientHeight)},
        .previous = {m.previousLeft, buttonTop, m.buttonWidth, m.buttonHeight},
        .close = {(m_clientWidth - m.buttonWidth) / 2, buttonTop, m.buttonWidth, m.buttonHeight},
        .next = {m_clientWidth - (m.designClientWidth - m.nextLeft), buttonTop, m.buttonWidth, m.buttonHeight},
    };
}

std::string CardLayout::PageLabel() const
{
    return "Page " + std::to_string(m_pageNumber) + " of " + std::to_string(m_pageCount);
}

}  // namespace velmora
