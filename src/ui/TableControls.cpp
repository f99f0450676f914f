#include "ui/TableControls.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/Controls.h"

namespace velmora {

namespace {

static_assert(kOkId == IDOK && kCancelId == IDCANCEL);

std::wstring Wide(const char* text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

HGDIOBJ FontOf(const LayoutRow& row, const win32::MessageFonts& fonts)
{
    return row.bold ? fonts.bold.Get() : fonts.normal.Get();
}

// The window class and style bits a row's control is made with.
struct ControlClass {
    std::wstring className;
    DWORD style;
};

ControlClass ClassOf(const LayoutRow& row)
{
    ControlClass made{L"STATIC", 0};
    switch (row.kind) {
    case ControlKind::Label: made = {L"STATIC", SS_LEFT}; break;
    case ControlKind::Text: made = {L"STATIC", SS_LEFT | SS_NOPREFIX}; break;
    case ControlKind::Picture: made = {L"STATIC", SS_OWNERDRAW}; break;
    case ControlKind::Button: made = {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON}; break;
    case ControlKind::DefaultButton: made = {L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON}; break;
    case ControlKind::CheckBox: made = {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX}; break;
    case ControlKind::RadioButton: made = {L"BUTTON", WS_TABSTOP | BS_AUTORADIOBUTTON}; break;
    case ControlKind::GroupBox: made = {L"BUTTON", BS_GROUPBOX}; break;
    case ControlKind::Edit: made = {L"EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL}; break;
    case ControlKind::ReadOnlyText:
        made = {L"EDIT", WS_TABSTOP | ES_MULTILINE | ES_READONLY | WS_VSCROLL};
        break;
    case ControlKind::ComboBox: made = {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST}; break;
    case ControlKind::ListBox:
        made = {L"LISTBOX", WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY};
        break;
    case ControlKind::Link: made = {WC_LINK, WS_TABSTOP}; break;
    case ControlKind::Tabs: made = {WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS}; break;
    case ControlKind::Panel:
    case ControlKind::Page: made = {L"", 0}; break;
    }
    if (row.className != nullptr) {
        made.className = Wide(row.className);
    }
    made.style |= row.style;
    return made;
}

LayoutScale ScaleOf(const win32::MessageFonts& fonts)
{
    return {static_cast<int>(fonts.scale.cx), static_cast<int>(fonts.scale.cy)};
}

}  // namespace

void TableControls::Create(HWND window, UINT /*dpi*/, const win32::MessageFonts& fonts)
{
    m_controls.clear();
    m_scale = ScaleOf(fonts);
    const std::vector<LayoutRect> places = LayOut(m_table, m_scale);
    for (std::size_t i = 0; i < m_table.rows.size(); ++i) {
        const LayoutRow& row = m_table.rows[i];
        HWND parent = window;
        for (std::size_t j = 0; j < i; ++j) {
            if (row.parent != 0 && m_table.rows[j].id == row.parent) {
                parent = m_controls[j];
            }
        }
        const LayoutRect& place = places[i];
        HWND control = nullptr;
        if (row.kind == ControlKind::Panel || row.kind == ControlKind::Page) {
            // Pages start hidden; the window shows the one of its choice.
            control = win32::CreatePanel(parent, row.id, row.kind == ControlKind::Page ? 0 : WS_VISIBLE);
            ::MoveWindow(control, place.left, place.top, place.width, place.height, FALSE);
        } else {
            const ControlClass made = ClassOf(row);
            control = ::CreateWindowExW(0, made.className.c_str(), Wide(row.text).c_str(), WS_CHILD | WS_VISIBLE | made.style,
                                        place.left, place.top, place.width, place.height, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                        ::GetModuleHandleW(nullptr), nullptr);
        }
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(row, fonts)), FALSE);
        m_controls.push_back(control);
    }
}

void TableControls::Place(HWND window, UINT /*dpi*/)
{
    if (m_controls.size() != m_table.rows.size()) {
        return;
    }
    RECT client{};
    ::GetClientRect(window, &client);
    const std::vector<LayoutRect> places = LayOut(m_table, m_scale, {client.right, client.bottom});
    for (std::size_t i = 0; i < places.size(); ++i) {
        const LayoutRect& place = places[i];
        ::SetWindowPos(m_controls[i], nullptr, place.left, place.top, place.width, place.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(window, nullptr, TRUE);
}

void TableControls::SetFonts(const win32::MessageFonts& fonts)
{
    m_scale = ScaleOf(fonts);
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        ::SendMessageW(m_controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(m_table.rows[i], fonts)), TRUE);
    }
}

HWND TableControls::operator[](int id) const
{
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (m_table.rows[i].id == id) {
            return m_controls[i];
        }
    }
    return nullptr;
}

}  // namespace velmora
