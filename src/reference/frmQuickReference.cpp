#include "reference/frmQuickReference.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <array>
#include <cstring>

#include "macros/UnicodeTags.h"
#include "platform/win32/Controls.h"
#include "platform/win32/ProgramWindows.h"
#include "platform/win32/SystemLibrary.h"
#include "reference/ReferenceControls.h"
#include "ui/WebLinks.h"

namespace velmora {

namespace id = reference_id;

namespace {

// Posted after bringing the card to the front, so it is topmost only once.
constexpr UINT WM_NOT_TOPMOST = WM_APP + 1;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// A taskbar button of its own while open, since the main window has none.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

SIZE TextSize(HDC dc, std::string_view text)
{
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

SIZE TextSize(HDC dc, std::u16string_view text)
{
    SIZE size{};
    ::GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &size);
    return size;
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

// The glyphs beside the buttons' captions, in the caption's colour.
enum class Glyph { LeftArrow, Cross, RightArrow };

void DrawGlyph(HDC dc, Glyph glyph, int left, int middle, int size, COLORREF colour)
{
    const win32::UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, colour));
    const win32::UniqueGdiObject brush(::CreateSolidBrush(colour));
    const win32::SelectedObject selectedPen(dc, pen.Get());
    const win32::SelectedObject selectedBrush(dc, brush.Get());
    const int half = size / 2;
    if (glyph == Glyph::Cross) {
        for (int thick = 0; thick < 2; ++thick) {
            DrawLine(dc, left + thick, middle - half, left + size - 1 + thick, middle + half + 1);
            DrawLine(dc, left + thick, middle + half, left + size - 1 + thick, middle - half - 1);
        }
    } else {
        const int tip = glyph == Glyph::LeftArrow ? left : left + half;
        const int back = glyph == Glyph::LeftArrow ? left + half : left;
        const std::array<POINT, 3> points{{{tip, middle}, {back, middle - half}, {back, middle + half}}};
        ::Polygon(dc, points.data(), static_cast<int>(points.size()));
    }
}

// The visual styles' push button, where the theme library and a theme are there.
class ButtonTheme {
public:
    explicit ButtonTheme(HWND button)
    {
        const auto open = m_library.Get<HTHEME WINAPI(HWND, LPCWSTR)>("OpenThemeData");
        m_draw = m_library.Get<HRESULT WINAPI(HTHEME, HDC, int, int, const RECT*, const RECT*)>("DrawThemeBackground");
        m_close = m_library.Get<HRESULT WINAPI(HTHEME)>("CloseThemeData");
        if (open != nullptr && m_draw != nullptr && m_close != nullptr) {
            m_theme = open(button, L"BUTTON");
        }
    }
    ButtonTheme(const ButtonTheme&) = delete;
    ButtonTheme& operator=(const ButtonTheme&) = delete;
    ~ButtonTheme()
    {
        if (m_theme != nullptr) {
            m_close(m_theme);
        }
    }

    // False when the classic frame must be drawn instead.
    bool Draw(HDC dc, int state, const RECT& rect) const
    {
        return m_theme != nullptr && SUCCEEDED(m_draw(m_theme, dc, BP_PUSHBUTTON, state, &rect, nullptr));
    }

private:
    win32::SystemLibrary m_library{L"uxtheme.dll"};
    HTHEME m_theme = nullptr;
    HRESULT(WINAPI* m_draw)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
    HRESULT(WINAPI* m_close)(HTHEME) = nullptr;
};

// What a screen reader reads for the drawn page.
std::u16string PageText(const CardLayout& card, ICodePage& codePage)
{
    std::u16string text;
    const auto addLine = [&](const std::string& line) {
        if (!text.empty()) {
            text += u"\r\n";
        }
        text += ShowUnicodeTags(line, codePage);
    };
    if (card.Empty()) {
        for (const std::string& line : card.EmptyLines()) {
            addLine(line);
        }
    } else {
        for (const CardRow& row : card.PageRows()) {
            addLine(row.keys + ": " + row.name);
        }
    }
    return text;
}

}  // namespace

TQuickReference::TQuickReference(QuickReferenceHost host, TMacroList macros)
    : m_host(std::move(host)), m_macros(std::move(macros))
{
}

bool TQuickReference::FormCreate()
{
    if (!CreateWindowFor({
            .className = kClassName,
            .caption = kCaption,
            .style = kStyle,
            .exStyle = kExStyle,
            .client96 = m_controls.DesignClient(),
            .controls = &m_controls,
        })) {
        return false;
    }
    LayoutCard();
    return true;
}

void TQuickReference::MeasureCard(TMacroList entries, std::string_view page)
{
    LOGFONTA font{.lfHeight = -::MulDiv(12, static_cast<int>(Dpi()), 72), .lfWeight = FW_BOLD,
                  .lfCharSet = DEFAULT_CHARSET};
    std::strncpy(font.lfFaceName, "Arial", LF_FACESIZE - 1);
    m_cardFont = win32::UniqueGdiObject(::CreateFontIndirectA(&font));

    CardMetrics metrics{
        .screenWidth = ::GetSystemMetrics(SM_CXSCREEN),
        .screenHeight = ::GetSystemMetrics(SM_CYSCREEN),
        .designClientWidth = S(537),
        .designClientHeight = S(545),
        .paintBoxLeft = S(16),
        .paintBoxTop = S(48),
        .paintBoxWidth = S(505),
        .paintBoxHeight = S(449),
        .labelLeft = S(8),
        .labelTop = S(16),
        .labelHeight = S(17),
        .buttonTop = S(512),
        .buttonWidth = S(73),
        .buttonHeight = S(25),
        .previousLeft = S(8),
        .nextLeft = S(456),
    };
    const win32::WindowDC dc(Handle());
    const win32::SelectedObject selected(dc.Get(), m_cardFont.Get());
    metrics.textHeight = TextSize(dc.Get(), "M").cy;
    // The card measures names, stored with U+ tags, and ASCII texts.
    metrics.textWidth = [&](std::string_view text) {
        return static_cast<int>(TextSize(dc.Get(), ShowUnicodeTags(text, m_host.codePage)).cx);
    };
    m_card.emplace(std::move(metrics), std::move(entries), page);
}

void TQuickReference::LayoutCard()
{
    MeasureCard(std::move(m_macros), m_host.settings.ReferencePage);
    m_macros.clear();

    const RECT frame = win32::FrameForClient({m_card->ClientWidth(), m_card->ClientHeight()}, kStyle, kExStyle, Dpi());
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(Handle(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowPage(m_card->PageNumber());

    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::SetFocus(m_controls[id::kClose]);
}

void TQuickReference::OnDpiChanged()
{
    // The rows are measured again in the card's font at the new DPI; the
    // window keeps the frame Windows gave it.
    const std::string page = m_card ? m_card->ReferencePageText() : m_host.settings.ReferencePage;
    MeasureCard(m_card ? m_card->CardList() : TMacroList{}, page);
    UpdateControls();
}

void TQuickReference::OnOk()
{
    FormClose();
}

void TQuickReference::OnCancel()
{
    FormClose();
}

void TQuickReference::OnHelp()
{
    OpenHelpTopic(Handle(), "index.htm");
}

void TQuickReference::BringToFront()
{
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    win32::BringWindowToFront(Handle());
    ::PostMessageA(Handle(), WM_NOT_TOPMOST, 0, 0);
}

void TQuickReference::ShowPage(int n)
{
    m_card->ShowPage(n);
    UpdateControls();
}

void TQuickReference::UpdateControls()
{
    const HWND previous = m_controls[id::kPrevious];
    const HWND next = m_controls[id::kNext];
    const bool buttons = m_card->ButtonsVisible();
    // A button that loses its use hands the focus on rather than dropping it.
    const HWND focus = ::GetFocus();
    if ((focus == previous && !(buttons && m_card->PreviousEnabled())) ||
        (focus == next && !(buttons && m_card->NextEnabled()))) {
        ::SetFocus(m_controls[id::kClose]);
    }
    ::EnableWindow(previous, m_card->PreviousEnabled());
    ::EnableWindow(next, m_card->NextEnabled());
    win32::Show(previous, buttons);
    win32::Show(next, buttons);
    ::SetWindowTextA(m_controls[id::kPageLabel], m_card->PageLabel().c_str());
    const HWND page = m_controls[id::kPaintBox];
    ::SetWindowTextW(page, reinterpret_cast<LPCWSTR>(PageText(*m_card, m_host.codePage).c_str()));
    ::InvalidateRect(page, nullptr, FALSE);
}

void TQuickReference::FormClose()
{
    if (m_card) {
        m_host.settings.ReferencePage = m_card->ReferencePageText();
    }
    ::DestroyWindow(Handle());
    if (m_host.closed) {
        m_host.closed();
    }
}

void TQuickReference::DrawPage(HDC dc, const RECT& place)
{
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    // Drawn off-screen first, which also clips every row to the drawing area.
    const win32::UniqueDeviceContext memory(::CreateCompatibleDC(dc));
    const win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc, width, height));
    const win32::SelectedObject selectedBitmap(memory.Get(), bitmap.Get());
    const RECT all{0, 0, width, height};
    ::FillRect(memory.Get(), &all, ::GetSysColorBrush(COLOR_INFOBK));

    if (m_card->Empty()) {
        const win32::SelectedObject font(memory.Get(), m_cardFont.Get());
        ::SetBkMode(memory.Get(), TRANSPARENT);
        ::SetTextColor(memory.Get(), ::GetSysColor(COLOR_INFOTEXT));
        const auto& lines = m_card->EmptyLines();
        const int lineHeight = TextSize(memory.Get(), "M").cy;
        int y = (height - static_cast<int>(lines.size()) * lineHeight) / 2;
        for (const std::string& line : lines) {
            const int x = (width - TextSize(memory.Get(), line).cx) / 2;
            ::TextOutA(memory.Get(), x, y, line.data(), static_cast<int>(line.size()));
            y += lineHeight;
        }
    } else {
        int y = 0;
        for (const CardRow& row : m_card->PageRows()) {
            DrawCardRow(memory.Get(), row, 0, y, width, m_card->RowHeight());
            y += m_card->RowHeight();
        }
    }

    ::BitBlt(dc, place.left, place.top, width, height, memory.Get(), 0, 0, SRCCOPY);
}

void TQuickReference::DrawCardRow(HDC dc, const CardRow& row, int x, int y, int width, int height)
{
    const win32::SelectedObject font(dc, m_cardFont.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
    const RECT rect{x, y, x + width, y + height};
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_INFOBK));
    ::ExtTextOutA(dc, x, y + 3, ETO_CLIPPED, &rect, row.keys.data(), static_cast<UINT>(row.keys.size()), nullptr);

    const int t = TextSize(dc, row.keys).cy;
    const std::u16string name = ShowUnicodeTags(row.name, m_host.codePage);
    ::TextOutW(dc, x + t, y + t + 3, reinterpret_cast<LPCWSTR>(name.c_str()), static_cast<int>(name.size()));

    const win32::UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE)));
    const win32::SelectedObject selectedPen(dc, pen.Get());
    DrawLine(dc, x, y, x + width, y);
    DrawLine(dc, x, y + height, x + width, y + height);
}

void TQuickReference::DrawButton(const DRAWITEMSTRUCT& item)
{
    const HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;

    const ButtonTheme theme(item.hwndItem);
    // Close is the default button.
    const bool isDefault = item.hwndItem == m_controls[id::kClose];
    const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : isDefault || focused ? PBS_DEFAULTED : PBS_NORMAL;
    if (!theme.Draw(dc, state, rect)) {
        if (isDefault) {
            ::FrameRect(dc, &rect, ::GetSysColorBrush(COLOR_WINDOWFRAME));
            ::InflateRect(&rect, -1, -1);
        }
        ::DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }

    const std::u16string text = win32::WideTextOf(item.hwndItem);
    const std::wstring caption(text.begin(), text.end());
    const win32::SelectedObject font(dc, Fonts().normal.Get());
    // The underline under the mnemonic shows as the keyboard cues say.
    const UINT prefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    RECT measured{};
    ::DrawTextW(dc, caption.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | prefix);
    const int textWidth = measured.right - measured.left;
    const int textHeight = measured.bottom - measured.top;
    const int glyphSize = S(8) | 1;
    const int gap = S(5);
    const int total = glyphSize + gap + textWidth;
    const int shift = pressed ? 1 : 0;
    const int left = (rect.left + rect.right - total) / 2 + shift;
    const int middle = (rect.top + rect.bottom) / 2 + shift;
    const COLORREF colour = ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);

    const bool glyphAfter = item.hwndItem == m_controls[id::kNext];
    const Glyph glyph = item.hwndItem == m_controls[id::kPrevious] ? Glyph::LeftArrow
                        : glyphAfter                               ? Glyph::RightArrow
                                                                   : Glyph::Cross;
    const int textLeft = glyphAfter ? left : left + glyphSize + gap;
    DrawGlyph(dc, glyph, glyphAfter ? left + textWidth + gap : left, middle, glyphSize, colour);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    RECT textPlace{textLeft, middle - textHeight / 2, textLeft + textWidth, middle - textHeight / 2 + textHeight};
    ::DrawTextW(dc, caption.c_str(), -1, &textPlace, DT_SINGLELINE | prefix);

    if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        ::InflateRect(&rect, -S(3), -S(3));
        ::DrawFocusRect(dc, &rect);
    }
}

LRESULT TQuickReference::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case id::kPrevious: ShowPage(m_card->PageNumber() - 1); return 0;
        case id::kNext: ShowPage(m_card->PageNumber() + 1); return 0;
        case id::kClose: FormClose(); return 0;
        default: break;
        }
        break;
    case DM_GETDEFID: {
        // Enter presses the focused arrow button, and Close otherwise.
        const HWND focus = ::GetFocus();
        const bool arrow = focus == m_controls[id::kPrevious] || focus == m_controls[id::kNext];
        return MAKELRESULT(arrow ? ::GetDlgCtrlID(focus) : id::kClose, DC_HASDEFID);
    }
    case WM_NOT_TOPMOST:
        ::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_INFOBK));
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_INFOBK));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_INFOBK));
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == id::kPaintBox) {
            if (m_card) {
                DrawPage(item.hDC, item.rcItem);
            }
        } else {
            DrawButton(item);
        }
        return TRUE;
    }
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
