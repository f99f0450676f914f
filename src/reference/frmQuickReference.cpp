#include "reference/frmQuickReference.h"

#include <array>
#include <cstring>

#include "macros/UnicodeTags.h"
#include "platform/win32/Controls.h"
#include "reference/ReferenceControls.h"

namespace velmora {

namespace id = reference_id;

namespace {

// Posted after bringing the card to the front, so it is topmost only once.
constexpr UINT WM_NOT_TOPMOST = WM_APP + 1;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// A taskbar button of its own while open, since the main window has none.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr COLORREF kNavy = RGB(0, 0, 128);

int S(int pixels)
{
    return win32::ScaleForDpi(pixels);
}

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

void Place(HWND control, const LayoutRect& place)
{
    ::MoveWindow(control, place.left, place.top, place.width, place.height, TRUE);
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
            .width = S(537),
            .height = S(545),
        })) {
        return false;
    }

    LOGFONTA font{.lfHeight = -::MulDiv(12, S(96), 72), .lfWeight = FW_BOLD, .lfCharSet = DEFAULT_CHARSET};
    std::strncpy(font.lfFaceName, "Arial", LF_FACESIZE - 1);
    m_cardFont = win32::UniqueGdiObject(::CreateFontIndirectA(&font));
    m_labelFont = win32::CreateMessageFont(/*bold=*/true);
    m_buttonFont = win32::CreateMessageFont();

    m_label1 = win32::CreateControl(Handle(), "STATIC", "Page 1 of 1", SS_CENTER | SS_NOPREFIX, id::kPageLabel,
                                    {8, 16, 521, 17}, m_labelFont.Get());
    // Wide, so that its text, which a screen reader reads, keeps every name whole.
    m_paintBox = win32::CreateWideControl(Handle(), L"STATIC", SS_OWNERDRAW | SS_NOPREFIX, id::kPaintBox,
                                          {16, 48, 505, 449}, m_cardFont.Get());
    const DWORD button = WS_TABSTOP | BS_OWNERDRAW;
    m_btnPrevious = win32::CreateControl(Handle(), "BUTTON", "Previous", button, id::kPrevious, {8, 512, 73, 25},
                                         m_buttonFont.Get());
    m_btnClose = win32::CreateControl(Handle(), "BUTTON", "Close", button, id::kClose, {224, 512, 73, 25},
                                      m_buttonFont.Get());
    m_btnNext = win32::CreateControl(Handle(), "BUTTON", "Next", button, id::kNext, {456, 512, 73, 25},
                                     m_buttonFont.Get());

    LayoutCard();
    return true;
}

void TQuickReference::LayoutCard()
{
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
    {
        const win32::WindowDC dc(Handle());
        const win32::SelectedObject font(dc.Get(), m_cardFont.Get());
        metrics.textHeight = TextSize(dc.Get(), "M").cy;
        // The card measures names, stored with U+ tags, and ASCII texts.
        metrics.textWidth = [&](std::string_view text) {
            return static_cast<int>(TextSize(dc.Get(), ShowUnicodeTags(text, m_host.codePage)).cx);
        };
        m_card.emplace(std::move(metrics), std::move(m_macros), m_host.settings.ReferencePage);
    }
    m_macros.clear();

    RECT frame{0, 0, m_card->ClientWidth(), m_card->ClientHeight()};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(Handle(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    FormResize();
    ShowPage(m_card->PageNumber());

    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::SetFocus(m_btnClose);
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
    const bool buttons = m_card->ButtonsVisible();
    // A button that loses its use hands the focus on rather than dropping it.
    const HWND focus = ::GetFocus();
    if ((focus == m_btnPrevious && !(buttons && m_card->PreviousEnabled())) ||
        (focus == m_btnNext && !(buttons && m_card->NextEnabled()))) {
        ::SetFocus(m_btnClose);
    }
    ::EnableWindow(m_btnPrevious, m_card->PreviousEnabled());
    ::EnableWindow(m_btnNext, m_card->NextEnabled());
    win32::Show(m_btnPrevious, buttons);
    win32::Show(m_btnNext, buttons);
    ::SetWindowTextA(m_label1, m_card->PageLabel().c_str());
    ::SetWindowTextW(m_paintBox, reinterpret_cast<LPCWSTR>(PageText(*m_card, m_host.codePage).c_str()));
    ::InvalidateRect(m_paintBox, nullptr, FALSE);
}

void TQuickReference::FormResize()
{
    if (!m_card) {
        return;
    }
    const CardPlaces places = m_card->Places();
    Place(m_label1, places.label);
    Place(m_paintBox, places.paintBox);
    Place(m_btnPrevious, places.previous);
    Place(m_btnClose, places.close);
    Place(m_btnNext, places.next);
    ::InvalidateRect(Handle(), nullptr, TRUE);
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

void TQuickReference::PaintBox1Paint(HDC dc)
{
    const LayoutRect box = m_card->Places().paintBox;
    if (box.width <= 0 || box.height <= 0) {
        return;
    }
    // Drawn off-screen first, which also clips every row to the drawing area.
    const win32::UniqueDeviceContext memory(::CreateCompatibleDC(dc));
    const win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc, box.width, box.height));
    const win32::SelectedObject selectedBitmap(memory.Get(), bitmap.Get());
    const RECT all{0, 0, box.width, box.height};
    ::FillRect(memory.Get(), &all, ::GetSysColorBrush(COLOR_INFOBK));

    if (m_card->Empty()) {
        const win32::SelectedObject font(memory.Get(), m_cardFont.Get());
        ::SetBkMode(memory.Get(), TRANSPARENT);
        ::SetTextColor(memory.Get(), kNavy);
        const auto& lines = m_card->EmptyLines();
        const int lineHeight = TextSize(memory.Get(), "M").cy;
        int y = (box.height - static_cast<int>(lines.size()) * lineHeight) / 2;
        for (const std::string& line : lines) {
            const int x = (box.width - TextSize(memory.Get(), line).cx) / 2;
            ::TextOutA(memory.Get(), x, y, line.data(), static_cast<int>(line.size()));
            y += lineHeight;
        }
    } else {
        int y = 0;
        for (const CardRow& row : m_card->PageRows()) {
            DrawCardRow(memory.Get(), row, 0, y, box.width, m_card->RowHeight());
            y += m_card->RowHeight();
        }
    }

    ::BitBlt(dc, 0, 0, box.width, box.height, memory.Get(), 0, 0, SRCCOPY);
}

void TQuickReference::DrawCardRow(HDC dc, const CardRow& row, int x, int y, int width, int height)
{
    const win32::SelectedObject font(dc, m_cardFont.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    const RECT rect{x, y, x + width, y + height};
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_INFOBK));
    ::ExtTextOutA(dc, x, y + 3, ETO_CLIPPED, &rect, row.keys.data(), static_cast<UINT>(row.keys.size()), nullptr);

    const int t = TextSize(dc, row.keys).cy;
    ::SetTextColor(dc, kNavy);
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

    // Close is the default button and wears its dark frame.
    if (item.hwndItem == m_btnClose) {
        ::FrameRect(dc, &rect, ::GetSysColorBrush(COLOR_WINDOWFRAME));
        ::InflateRect(&rect, -1, -1);
    }
    ::DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    const std::string caption = win32::TextOf(item.hwndItem);
    const win32::SelectedObject font(dc, m_buttonFont.Get());
    const SIZE text = TextSize(dc, caption);
    const int glyphSize = S(8) | 1;
    const int gap = S(5);
    const int total = glyphSize + gap + text.cx;
    const int shift = pressed ? 1 : 0;
    const int left = (rect.left + rect.right - total) / 2 + shift;
    const int middle = (rect.top + rect.bottom) / 2 + shift;
    const COLORREF colour = ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);

    const bool glyphAfter = item.hwndItem == m_btnNext;
    const Glyph glyph = item.hwndItem == m_btnPrevious ? Glyph::LeftArrow
                        : glyphAfter                   ? Glyph::RightArrow
                                                       : Glyph::Cross;
    const int textLeft = glyphAfter ? left : left + glyphSize + gap;
    DrawGlyph(dc, glyph, glyphAfter ? left + text.cx + gap : left, middle, glyphSize, colour);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::TextOutA(dc, textLeft, middle - text.cy / 2, caption.c_str(), static_cast<int>(caption.size()));

    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
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
        // Enter and Esc arrive as IDOK and IDCANCEL.
        case id::kClose:
        case IDOK:
        case IDCANCEL: FormClose(); return 0;
        default: break;
        }
        break;
    case DM_GETDEFID: {
        // Enter presses the focused arrow button, and Close otherwise.
        const HWND focus = ::GetFocus();
        const int button = focus == m_btnPrevious || focus == m_btnNext ? ::GetDlgCtrlID(focus) : id::kClose;
        return MAKELRESULT(button, DC_HASDEFID);
    }
    case WM_NOT_TOPMOST:
        ::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    case WM_SIZE:
        FormResize();
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
                PaintBox1Paint(item.hDC);
            }
        } else {
            DrawButton(item);
        }
        return TRUE;
    }
    case WM_CLOSE:
        FormClose();
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
