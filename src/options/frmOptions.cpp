#include "options/frmOptions.h"

#include <commdlg.h>
#include <ole2.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <cwchar>
#include <future>
#include <optional>
#include <ranges>
#include <string>

#include "hotkeys/HotKeys.h"
#include "ui/Resources.h"
#include "ui/WebLinks.h"
#include "ui/Layout.h"
#include "options/OptionsControls.h"
#include "options/OptionsLayout.h"
#include "options/PrinterCanvas.h"
#include "options/MacroNames.h"
#include "macros/UnicodeTags.h"
#include "options/VariableMenu.h"
#include "options/frmPickPrograms.h"
#include "options/frmRand.h"
#include "options/ProgramPicks.h"
#include "platform/win32/Controls.h"
#include "platform/win32/MessageBoxes.h"
#include "platform/win32/ModalWindows.h"
#include "platform/win32/ProgramWindows.h"
#include "platform/win32/Win32CodePage.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Collation.h"
#include "ui/ReentryGuard.h"

namespace velmora {

namespace id = options_id;

namespace {

constexpr UINT WM_NOT_TOPMOST = WM_APP + 1;

using win32::IsChecked;
using win32::SetChecked;
using win32::SetText;
using win32::Show;
using win32::TextOf;

constexpr UINT kHelpMenuFirst = 2001;
// A drop-down's list opens this far below its field, at 96 DPI.
constexpr int kDropDownHeight = 280;

ICodePage& AnsiCodePage()
{
    static win32::Win32CodePage codePage;
    return codePage;
}

void Place(HWND control, const LayoutRect& place)
{
    ::MoveWindow(control, place.left, place.top, place.width, place.height, TRUE);
}

// The message font at that DPI: Windows 10 gives it for any DPI, older
// Windows for the system's, which is then scaled.
win32::UniqueGdiObject MessageFontForDpi(UINT dpi, bool bold)
{
    using MetricsForDpi = BOOL WINAPI(UINT, UINT, void*, UINT, UINT);
    static const auto forDpi = win32::SystemFunction<MetricsForDpi>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{.cbSize = sizeof(NONCLIENTMETRICSW)};
    if (forDpi == nullptr || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight =
            ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(win32::SystemDpi()));
    }
    if (bold) {
        metrics.lfMessageFont.lfWeight = FW_BOLD;
    }
    return win32::UniqueGdiObject(::CreateFontIndirectW(&metrics.lfMessageFont));
}

// The class and style each kind of row is made with.
struct KindClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle = 0;
};

KindClass ClassOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_LEFT};
    case ControlKind::Text: return {L"STATIC", SS_LEFT | SS_NOPREFIX};
    case ControlKind::Button: return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON};
    case ControlKind::DefaultButton: return {L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON};
    case ControlKind::CheckBox: return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX};
    case ControlKind::Edit: return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox: return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST};
    // The macro list: a virtual list; the rows draw both texts on two lines,
    // the hot-key column is what a screen reader reads beside each name.
    case ControlKind::ListBox:
        return {WC_LISTVIEWW,
                WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                    LVS_NOCOLUMNHEADER,
                WS_EX_CLIENTEDGE};
    // Tab between the strip and the controls of its pages.
    // Its pages paint what they cover; the strip does not paint it first.
    case ControlKind::Tabs: return {WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    default: return {L"STATIC", 0};
    }
}

// Shown only with a box checked, the label going with its drop-down.
constexpr std::array kShownWithRunAnother = {id::kNextMacroLabel, id::kNextMacro};
// Switched off while the macros could not be read.
constexpr std::array kLockedWhileNotLoaded = {id::kMacroList, id::kAddMacro, id::kDeleteMacro, id::kPasswordProtect,
                                              id::kPasswordPanel};

// Pages and panels, and the controls that show with a box checked, are made
// when they first show; the rest with the window.
bool MadeWhenShown(const LayoutRow& row)
{
    return row.kind == ControlKind::Page || row.kind == ControlKind::Panel ||
           std::ranges::find(kShownWithRunAnother, row.id) != kShownWithRunAnother.end();
}

// The size of the table for an id of no row.
std::size_t RowOf(int controlId)
{
    return static_cast<std::size_t>(std::ranges::find(kOptionsTable.rows, controlId, &LayoutRow::id) -
                                    kOptionsTable.rows.begin());
}

bool IsPageKey(WPARAM key)
{
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    return (control && (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR)) || (!control && key == VK_F1);
}

// Command ids are the leaves' places in VariableMenuLeaves(), from 1.
void AppendVariableItems(HMENU menu, const std::vector<VariableMenuItem>& items)
{
    const std::vector<const VariableMenuItem*>& leaves = VariableMenuLeaves();
    for (const VariableMenuItem& item : items) {
        const UINT column = item.columnBreak ? MF_MENUBARBREAK : 0;
        if (item.kind == VariableKind::Separator) {
            ::AppendMenuA(menu, MF_SEPARATOR | column, 0, nullptr);
        } else if (item.kind == VariableKind::Submenu) {
            const HMENU submenu = ::CreatePopupMenu();
            AppendVariableItems(submenu, item.items);
            if (!::AppendMenuA(menu, MF_POPUP | column, reinterpret_cast<UINT_PTR>(submenu), item.caption.c_str())) {
                ::DestroyMenu(submenu);
            }
        } else {
            const auto place = std::find(leaves.begin(), leaves.end(), &item);
            ::AppendMenuA(menu, MF_STRING | column, static_cast<UINT_PTR>(place - leaves.begin() + 1),
                          item.caption.c_str());
        }
    }
}

// A screen reader hears the status bar's new verdict as it comes, through
// UI Automation where Windows has notifications (10 and later).
void Announce(HWND control, const std::u16string& text)
{
    // Before the libraries load: the window opens with nothing to say.
    if (text.empty()) {
        return;
    }
    static win32::SystemLibrary automation(L"uiautomationcore.dll");
    static win32::SystemLibrary automationStrings(L"oleaut32.dll");
    using HostProvider = HRESULT WINAPI(HWND, IUnknown**);
    using RaiseNotification = HRESULT WINAPI(IUnknown*, int kind, int processing, BSTR text, BSTR activity);
    const auto hostProvider = automation.Get<HostProvider>("UiaHostProviderFromHwnd");
    const auto raise = automation.Get<RaiseNotification>("UiaRaiseNotificationEvent");
    const auto allocate = automationStrings.Get<BSTR WINAPI(const OLECHAR*)>("SysAllocString");
    const auto release = automationStrings.Get<void WINAPI(BSTR)>("SysFreeString");
    IUnknown* provider = nullptr;
    if (text.empty() || !hostProvider || !raise || !allocate || !release ||
        FAILED(hostProvider(control, &provider)) || provider == nullptr) {
        return;
    }
    constexpr int kNotificationKindOther = 4;
    constexpr int kNotificationProcessingMostRecent = 3;
    const BSTR said = allocate(reinterpret_cast<const OLECHAR*>(text.c_str()));
    const BSTR activity = allocate(L"VelmoraHotKeyCheck");
    raise(provider, kNotificationKindOther, kNotificationProcessingMostRecent, said, activity);
    release(said);
    release(activity);
    provider->Release();
}


// The byte order of these keys is CompareAsListBox's order.
std::string SortKeyAsListBox(std::u16string_view text)
{
    const auto* chars = reinterpret_cast<LPCWSTR>(text.data());
    const int length = static_cast<int>(text.size());
    constexpr DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    // Most names' keys fit the first try, which saves a call for the size
    // with every name of a long list, and the first try needs no allocation.
    // A sort key is bytes, though the call is typed for characters.
    std::array<char, 256> first;
    const int size = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, chars, length,
                                     reinterpret_cast<LPWSTR>(first.data()), static_cast<int>(first.size()), nullptr,
                                     nullptr, 0);
    if (size > 0) {
        return std::string(first.data(), static_cast<std::size_t>(size));
    }
    std::string key(static_cast<std::size_t>(std::max(
                        ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, chars, length, nullptr, 0, nullptr, nullptr, 0),
                        0)),
                    '\0');
    key.resize(static_cast<std::size_t>(std::max(
        ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, chars, length, reinterpret_cast<LPWSTR>(key.data()),
                        static_cast<int>(key.size()), nullptr, nullptr, 0),
        0)));
    return key;
}

void FillComboBox(HWND combo, auto&& names)
{
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& name : names) {
        const std::string text(name);
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

// A launch macro keeps its path in the code page, as every reader of the
// file expects. A path the code page cannot hold exactly goes by its short
// name where the volume has one (plain ASCII as a rule); nothing when
// neither fits, for the user to be told rather than left with a wrong path.
std::optional<std::string> LaunchPathFor(const std::wstring& path)
{
    const auto inCodePage = [](const std::wstring& wide) -> std::optional<std::string> {
        const int size = static_cast<int>(wide.size());
        const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
        std::string ansi(static_cast<std::size_t>(std::max(length, 0)), '\0');
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), length, nullptr, nullptr);
        // Only an exact way back counts: no "?" and no best-fit look-alike.
        std::wstring back(wide.size(), L'\0');
        back.resize(static_cast<std::size_t>(
            std::max(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, back.data(), size), 0)));
        return back == wide ? std::optional(ansi) : std::nullopt;
    };
    if (auto exact = inCodePage(path)) {
        return exact;
    }
    std::wstring shortPath(::GetShortPathNameW(path.c_str(), nullptr, 0), L'\0');
    shortPath.resize(::GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size())));
    return shortPath.empty() ? std::nullopt : inCodePage(shortPath);
}

constexpr const char* kPathOutsideCodePageText =
    "The path of this file has characters that Windows' code page cannot hold, so a macro cannot keep it. "
    "Rename the file or its folder, or choose another file.";

}  // namespace

TOptions::TOptions(OptionsWindowHost host) : m_host(std::move(host)) {}

// Destroyed with the program (or a failed creation), the window goes with
// it and nothing is applied.
TOptions::~TOptions() = default;

bool TOptions::FormCreate()
{
    // The editor sorts the names on a second thread while the window and the
    // controls outside its pages are made: with thousands of macros the sort
    // takes about as long, and neither needs the other.
    auto editor = std::async(std::launch::async, [this] {
        return std::make_unique<OptionsEditor>(
            m_host.store, OptionsTargets{m_host.settings, m_host.autoStart, m_host.exePath, m_host.showTrayIcon},
            ShownNameCollation(win32::CompareAsListBox, AnsiCodePage()), m_hotKeyProbe, m_keyboard, AnsiCodePage(),
            ShownNameSortKey(SortKeyAsListBox, AnsiCodePage()));
    });

    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const LayoutRect workArea{work.left, work.top, work.right - work.left, work.bottom - work.top};
    // Its own taskbar button while open, since the main window has none.
    if (!CreateWindowFor({
            .className = kClassName,
            .caption = kCaption,
            .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
            .exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
            .x = workArea.left,
            .y = workArea.top,
            .width = 0,
            .height = 0,
        })) {
        m_editor = editor.get();
        return false;
    }
    m_dpi = static_cast<int>(win32::WindowDpi(Handle()));
    MakeFontsAndImages();
    CreateControls();
    m_editor = editor.get();
    m_hotKeyProbe.SetWindow(Handle());

    // At the design size, which lays nothing out again: the controls are made in place.
    const LayoutSize minimum = MinimumSize();
    const LayoutRect first = CentreOnWorkArea(minimum.width, minimum.height, workArea);
    ::SetWindowPos(Handle(), nullptr, first.left, first.top, first.width, first.height, SWP_NOZORDER | SWP_NOACTIVATE);

    ShowOptionsPage();
    m_editor->SetView(this);
    EntriesReset();
    PanelChanged();
    ShowMacrosNotLoaded();

    // The size the user left it at, kept within the minimum and the work
    // area, then centred there: a stored size never puts OK off the screen.
    RECT frame{};
    ::GetWindowRect(Handle(), &frame);
    const int storedWidth = StoredWindowLength(m_host.settings.OptionsWidth, frame.right - frame.left,
                                               minimum.width, workArea.width);
    const int storedHeight = StoredWindowLength(m_host.settings.OptionsHeight, frame.bottom - frame.top,
                                                minimum.height, workArea.height);
    const LayoutRect place = CentreOnWorkArea(storedWidth, storedHeight, workArea);
    ::SetWindowPos(Handle(), nullptr, place.left, place.top, place.width, place.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

int TOptions::Scale(int pixels96) const
{
    return ScaleLength(pixels96, m_dpi);
}

void TOptions::MakeFontsAndImages()
{
    // The controls take the new font before the old one goes.
    win32::UniqueGdiObject font = MessageFontForDpi(static_cast<UINT>(m_dpi), /*bold=*/false);
    // Controls made later take the font of their time.
    for (const HWND control : m_controls) {
        if (control != nullptr) {
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
        }
    }
    if (m_statusBar != nullptr) {
        ::SendMessageW(m_statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    }
    m_font = std::move(font);
    m_boldFont = MessageFontForDpi(static_cast<UINT>(m_dpi), /*bold=*/true);
    m_images.reset(::ImageList_Create(Scale(16), Scale(16), ILC_COLOR24 | ILC_MASK, 1, 0));
    const win32::UniqueGdiObject keyCap(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(VELMORA_IDB_KEYCAP),
                                                      IMAGE_BITMAP, Scale(16), Scale(16), 0));
    if (keyCap) {
        ::ImageList_AddMasked(m_images.get(), static_cast<HBITMAP>(keyCap.Get()), RGB(192, 192, 192));
    }
}

LayoutSize TOptions::MinimumSize() const
{
    RECT frame{0, 0, Scale(kOptionsTable.client96.width), Scale(kOptionsTable.client96.height)};
    if (m_statusBar != nullptr) {
        RECT bar{};
        ::GetWindowRect(m_statusBar, &bar);
        frame.bottom += bar.bottom - bar.top;
    }
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HWND TOptions::ControlById(int controlId) const
{
    const std::size_t row = RowOf(controlId);
    return row < m_controls.size() ? m_controls[row] : nullptr;
}

void TOptions::CreateControls()
{
    m_places = LayOut(kOptionsTable, m_dpi);
    m_controls.assign(kOptionsTable.rows.size(), nullptr);
    for (std::size_t i = 0; i < kOptionsTable.rows.size(); ++i) {
        if (kOptionsTable.rows[i].parent == 0 && !MadeWhenShown(kOptionsTable.rows[i])) {
            MakeRow(i);
        }
    }
    m_pageControl = ControlById(id::kPageControl);
    m_btnHelp = ControlById(id::kHelp);
    m_btnOK = ControlById(kOkId);
    for (const wchar_t* caption : {L"Macros", L"Options"}) {
        TCITEMW item{.mask = TCIF_TEXT, .pszText = const_cast<wchar_t*>(caption)};
        ::SendMessageW(m_pageControl, TCM_INSERTITEMW, static_cast<WPARAM>(::SendMessageW(m_pageControl, TCM_GETITEMCOUNT, 0, 0)),
                       reinterpret_cast<LPARAM>(&item));
    }

    m_statusBar = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                    Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::kStatusBar)),
                                    ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(m_statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
}

void TOptions::MakeRow(std::size_t row)
{
    const LayoutRow& made = kOptionsTable.rows[row];
    const HWND parent = made.parent == 0 ? Handle() : ControlById(made.parent);
    if (m_controls[row] != nullptr || parent == nullptr) {
        return;
    }
    const LayoutRect place = PlaceOf(row, m_places[row]);
    const DWORD shown = MadeWhenShown(made) ? 0 : WS_VISIBLE;
    HWND control = nullptr;
    if (made.kind == ControlKind::Page || made.kind == ControlKind::Panel) {
        control = win32::CreatePanel(parent, made.id, shown);
        ::MoveWindow(control, place.left, place.top, place.width, place.height, FALSE);
    } else {
        KindClass kind = ClassOf(made.kind);
        // Styles only creation gives.
        if (made.id == id::kSendText) {
            kind.style |= WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
        } else if (made.id == id::kPassword || made.id == id::kPasswordConfirm) {
            kind.style |= ES_PASSWORD;
        }
        const std::wstring text(made.text, made.text + std::strlen(made.text));
        control = ::CreateWindowExW(kind.exStyle, kind.className, text.c_str(), WS_CHILD | shown | kind.style | made.style,
                                    place.left, place.top, place.width, place.height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(made.id)), ::GetModuleHandleW(nullptr),
                                    nullptr);
    }
    if (control == nullptr) {
        return;
    }
    m_controls[row] = control;
    // Right after the sibling made before it that comes before it in the
    // table, or first: the labels stay before their controls.
    HWND after = HWND_TOP;
    for (std::size_t before = row; before-- > 0;) {
        if (kOptionsTable.rows[before].parent == made.parent && m_controls[before] != nullptr) {
            after = m_controls[before];
            break;
        }
    }
    ::SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
    // Ctrl+Tab, Ctrl+PgDn and F1 reach the window from whichever control has the focus.
    ::SetWindowSubclass(control, &TOptions::PageKeysProc, 0, reinterpret_cast<DWORD_PTR>(this));
    if (made.kind == ControlKind::Page || made.kind == ControlKind::Panel) {
        for (std::size_t held = row + 1; held < kOptionsTable.rows.size(); ++held) {
            if (kOptionsTable.rows[held].parent == made.id && !MadeWhenShown(kOptionsTable.rows[held])) {
                MakeRow(held);
            }
        }
    }
    RowMade(row);
}

void TOptions::RowMade(std::size_t row)
{
    const int madeId = kOptionsTable.rows[row].id;
    const HWND control = m_controls[row];
    const bool wasUpdating = m_updating;
    m_updating = true;
    switch (madeId) {
    case id::kMacrosPage:
    case id::kOptionsPage: {
        // The pages take the theme's dialog texture where Windows draws one.
        static win32::SystemLibrary theme(L"uxtheme.dll");
        if (const auto texture = theme.Get<HRESULT WINAPI(HWND, DWORD)>("EnableThemeDialogTexture")) {
            constexpr DWORD kTabTexture = 0x6;  // ETDT_ENABLETAB
            texture(control, kTabTexture);
        }
        break;
    }
    case id::kMacroList: {
        m_lbxMacros = control;
        // Its notifications pass through a panel that answers in ANSI.
        ::SendMessageW(control, CCM_SETUNICODEFORMAT, TRUE, 0);
        ::SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        WPARAM columnAt = 0;
        for (const wchar_t* heading : {L"Name", L"Hot key"}) {
            LVCOLUMNW column{.mask = LVCF_TEXT | LVCF_WIDTH, .cx = 0, .pszText = const_cast<wchar_t*>(heading)};
            ::SendMessageW(control, LVM_INSERTCOLUMNW, columnAt++, reinterpret_cast<LPARAM>(&column));
        }
        FitListColumn();
        ::SendMessageW(control, LVM_SETITEMCOUNT, m_editor->Entries().size(), 0);
        break;
    }
    case id::kHotKey: FillComboBox(control, kHotKeyNames); break;
    case id::kAction:
        FillComboBox(control, kActionKinds | std::views::transform(&ActionKind::listText));
        break;
    case id::kSystemCommand: FillComboBox(control, kSystemActionNames); break;
    case id::kVelmoraCommand: FillComboBox(control, kVelmoraActionNames); break;
    case id::kNextMacro: FillNextChoices(/*always=*/true); break;
    case id::kName:
    case id::kSendText: ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0); break;
    case id::kPassword:
    case id::kPasswordConfirm:
        // Visual styles would show dots; the field shows stars.
        ::SendMessageW(control, EM_SETPASSWORDCHAR, '*', 0);
        break;
    default: break;
    }
    if (kOptionsControls[row].binding.Bound()) {
        ShowField(row);
    }
    // None of these is outside the pages, which are made once the editor is there.
    if (std::ranges::find(kLockedWhileNotLoaded, madeId) != kLockedWhileNotLoaded.end() && m_editor->MacrosLocked()) {
        ::EnableWindow(control, FALSE);
    }
    const LayoutRow& made = kOptionsTable.rows[row];
    if (made.kind == ControlKind::Page || made.kind == ControlKind::Panel) {
        // What shows with a box checked may belong to it.
        ShowDependents();
    }
    m_updating = wasUpdating;
}

void TOptions::ShowRow(int controlId, bool visible)
{
    const std::size_t row = RowOf(controlId);
    if (row == kOptionsTable.rows.size()) {
        return;
    }
    if (m_controls[row] == nullptr && visible) {
        MakeRow(row);
    }
    if (m_controls[row] != nullptr) {
        Show(m_controls[row], visible);
    }
}

void TOptions::FitListColumn()
{
    // The first column spans the row, which draws both texts.
    RECT listClient{};
    ::GetClientRect(m_lbxMacros, &listClient);
    ::SendMessageW(m_lbxMacros, LVM_SETCOLUMNWIDTH, 0, listClient.right);
}

void TOptions::FillNextChoices(bool always)
{
    const HWND next = ControlById(id::kNextMacro);
    if (next == nullptr || (!always && m_nextChoicesShown == m_editor->NextMacroChoicesVersion())) {
        return;
    }
    m_nextChoicesShown = m_editor->NextMacroChoicesVersion();
    ::SendMessageA(next, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(next, CB_RESETCONTENT, 0, 0);
    const TMacroList& choices = m_editor->NextMacroChoices();
    ::SendMessageA(next, CB_INITSTORAGE, choices.size(), static_cast<LPARAM>(choices.size() * 16));
    for (const TMacroEntry& choice : choices) {
        const std::u16string name = ShowUnicodeTags(choice.Name, AnsiCodePage());
        ::SendMessageW(next, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    ::SendMessageA(next, WM_SETREDRAW, TRUE, 0);
}

LRESULT CALLBACK TOptions::PageKeysProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self)
{
    switch (message) {
    case WM_GETDLGCODE:
        // Before the dialog manager takes Ctrl+Tab for Tab.
        if (const auto* keys = reinterpret_cast<const MSG*>(lParam);
            keys != nullptr && keys->message == WM_KEYDOWN && IsPageKey(keys->wParam)) {
            return DLGC_WANTMESSAGE | ::DefSubclassProc(control, message, wParam, lParam);
        }
        break;
    case WM_KEYDOWN:
        if (IsPageKey(wParam)) {
            reinterpret_cast<TOptions*>(self)->PageKey(wParam);
            return 0;
        }
        break;
    case WM_CHAR:
        // The tab that Ctrl+Tab would type into a multi-line field.
        if (wParam == '\t' && ::GetKeyState(VK_CONTROL) < 0) {
            return 0;
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(control, &TOptions::PageKeysProc, 0);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

void TOptions::PageKey(WPARAM key)
{
    if (key == VK_F1) {
        OpenHelpTopic();
        return;
    }
    const bool back = key == VK_PRIOR || (key == VK_TAB && ::GetKeyState(VK_SHIFT) < 0);
    const int count = static_cast<int>(::SendMessageW(m_pageControl, TCM_GETITEMCOUNT, 0, 0));
    const int current = static_cast<int>(::SendMessageW(m_pageControl, TCM_GETCURSEL, 0, 0));
    ShowPage((current + (back ? count - 1 : 1)) % std::max(count, 1));
    // The control that had the focus may be on the page just hidden.
    ::SetFocus(m_pageControl);
}

void TOptions::OpenHelpTopic()
{
    const std::string path = HelpFilePath();
    std::wstring topic(static_cast<std::size_t>(
                           ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0)),
                       L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), topic.data(),
                          static_cast<int>(topic.size()));
    topic = L"\"" + topic + L"::/options.htm\"";
    // Like every shell start of the program, a failure is silent.
    ::ShellExecuteW(Handle(), L"open", L"hh.exe", topic.c_str(), nullptr, SW_SHOWNORMAL);
}

void TOptions::ShowOptionsPage()
{
    m_updating = true;
    for (std::size_t i = 0; i < kOptionsControls.size(); ++i) {
        if (kOptionsControls[i].binding.OnOptionsPage()) {
            ShowField(i);
        }
    }
    ShowDependents();
    m_updating = false;
    ShowPage(0);
}

void TOptions::ShowDependents()
{
    for (const int control : kShownWithRunAnother) {
        ShowRow(control, m_editor->Panel.RunAnother);
    }
    ShowRow(id::kPasswordPanel, m_editor->Page.PasswordProtect);
}

void TOptions::ShowMacrosNotLoaded()
{
    if (!m_editor->MacrosLocked()) {
        return;
    }
    ShowRow(id::kMacrosNotLoadedPage, true);
    SetText(ControlById(id::kMacrosNotLoaded), m_editor->MacrosNotLoadedText());
    ::SendMessageA(m_statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(std::string(kMacrosNotLoadedStatus).c_str()));
    // Those made later are switched off as they are made.
    for (const int control : kLockedWhileNotLoaded) {
        if (const HWND made = ControlById(control)) {
            ::EnableWindow(made, FALSE);
        }
    }
}

void TOptions::ShowPage(int page)
{
    ::SendMessageA(m_pageControl, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    ShowRow(id::kMacrosPage, page == 0);
    ShowRow(id::kOptionsPage, page == 1);
}

void TOptions::FormResize()
{
    if (m_pageControl == nullptr || ::IsIconic(Handle())) {
        return;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::SendMessageW(m_statusBar, WM_SIZE, 0, 0);
    RECT bar{};
    ::GetWindowRect(m_statusBar, &bar);
    // The status bar takes the bottom edge; the table fills what is above it.
    const std::vector<LayoutRect> places =
        LayOut(kOptionsTable, m_dpi, {client.right, std::max(0L, client.bottom - (bar.bottom - bar.top))});
    for (std::size_t i = 0; i < places.size(); ++i) {
        // Each move repaints; one that changes nothing is left out.
        // Those not made yet are made at the places kept here.
        if (places[i] != m_places[i] && m_controls[i] != nullptr) {
            Place(m_controls[i], PlaceOf(i, places[i]));
        }
    }
    m_places = places;
    if (m_lbxMacros != nullptr) {
        FitListColumn();
    }
}

LayoutRect TOptions::PlaceOf(std::size_t row, LayoutRect place) const
{
    // A drop-down's window holds its list as well.
    if (kOptionsTable.rows[row].kind == ControlKind::ComboBox) {
        place.height += Scale(kDropDownHeight);
    }
    return place;
}

void TOptions::OnDpiChanged()
{
    // The window layer has taken the suggested frame already.
    m_dpi = static_cast<int>(Dpi());
    // Every place changes with the DPI.
    m_places.assign(m_places.size(), LayoutRect{});
    MakeFontsAndImages();
    FormResize();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TOptions::ShowOnTop()
{
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(Handle());
    ::SetFocus(m_editor->MacrosLocked() ? m_btnOK : m_lbxMacros);
}

void TOptions::BringToFront()
{
    if (::IsIconic(Handle())) {
        ::ShowWindow(Handle(), SW_RESTORE);
    }
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The dialog manager puts the focus back where the user left it.
    win32::BringWindowToFront(Handle());
    ::PostMessageA(Handle(), WM_NOT_TOPMOST, 0, 0);
}

// ---- The list and the panel follow the editor ----

void TOptions::EntriesReset()
{
    ::SendMessageW(m_lbxMacros, LVM_SETITEMCOUNT, m_editor->Entries().size(), 0);
    ::InvalidateRect(m_lbxMacros, nullptr, TRUE);
}

void TOptions::EntryInserted(int)
{
    EntriesReset();
}

void TOptions::EntryRemoved(int)
{
    EntriesReset();
}

void TOptions::EntryMoved(int, int)
{
    // Only the rows in view are drawn again; naming the moved range would
    // cost a step for each row between its two places.
    ::InvalidateRect(m_lbxMacros, nullptr, FALSE);
}

void TOptions::EntriesRedraw()
{
    ::InvalidateRect(m_lbxMacros, nullptr, TRUE);
}

void TOptions::SelectionChanged(int index)
{
    const ReentryGuard updating(m_updating);
    // Only the row that has it: clearing every row costs a step for each.
    const auto shown = ::SendMessageW(m_lbxMacros, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (shown >= 0 && shown != index) {
        LVITEMW none{.stateMask = LVIS_SELECTED | LVIS_FOCUSED};
        ::SendMessageW(m_lbxMacros, LVM_SETITEMSTATE, static_cast<WPARAM>(shown), reinterpret_cast<LPARAM>(&none));
    }
    if (index >= 0) {
        LVITEMW row{.state = LVIS_SELECTED | LVIS_FOCUSED, .stateMask = LVIS_SELECTED | LVIS_FOCUSED};
        ::SendMessageW(m_lbxMacros, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
        ::SendMessageW(m_lbxMacros, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    }
}

LRESULT TOptions::MacroListNotify(const NMHDR& header)
{
    const TMacroList& entries = m_editor->Entries();
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
        if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= entries.size()) {
            return 0;
        }
        const TMacroEntry& entry = entries[static_cast<std::size_t>(item.iItem)];
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
            const std::u16string text = item.iSubItem == 0
                                            ? ShowUnicodeTags(entry.Name, AnsiCodePage())
                                            : ShowUnicodeTags(HotKeyDisplayText(*entry.Macro), AnsiCodePage());
            ::lstrcpynW(item.pszText, reinterpret_cast<LPCWSTR>(text.c_str()), item.cchTextMax);
        }
        return 0;
    }
    case LVN_ODFINDITEMW: {
        // Type-to-find: the next name from the start that begins with the typed letters.
        const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
        if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr || entries.empty()) {
            return -1;
        }
        const int length = static_cast<int>(std::wcslen(find.lvfi.psz));
        const int count = static_cast<int>(entries.size());
        const int start = std::clamp(find.iStart, 0, count);
        for (int step = 0; step < count; ++step) {
            const int row = (start + step) % count;
            if (row < start && (find.lvfi.flags & LVFI_WRAP) == 0) {
                break;
            }
            const std::u16string name = ShowUnicodeTags(entries[static_cast<std::size_t>(row)].Name, AnsiCodePage());
            if (static_cast<int>(name.size()) >= length &&
                ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, reinterpret_cast<LPCWSTR>(name.c_str()),
                                 length, find.lvfi.psz, length) == CSTR_EQUAL) {
                return row;
            }
        }
        return -1;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        const bool selected = (change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0;
        if (!m_updating && selected && change.iItem >= 0) {
            m_editor->SelectMacro(change.iItem);
        }
        return 0;
    }
    default:
        return 0;
    }
}

void TOptions::PanelChanged()
{
    const MacroPanel& panel = m_editor->Panel;
    const bool editing = m_editor->EditPanelVisible();
    m_updating = true;
    // Made hidden before it is filled, so that it shows once, complete.
    if (editing) {
        MakeRow(RowOf(id::kMacroEditPanel));
    }
    // The choices first, so that the table's selection finds its entry.
    FillNextChoices(/*always=*/false);
    for (std::size_t i = 0; i < kOptionsControls.size(); ++i) {
        if (kOptionsControls[i].binding.Bound() && !kOptionsControls[i].binding.OnOptionsPage() &&
            m_controls[i] != nullptr) {
            ShowField(i);
        }
    }
    ShowDependents();
    for (int action = 0; action < kActionKindCount; ++action) {
        ShowRow(id::SettingsPanelId(action), editing && panel.ActionIndex == action);
    }
    // Files may be dropped only where they have a place to go.
    ::DragAcceptFiles(Handle(), editing && panel.ActionIndex == kLaunchAction);
    ShowRow(id::kMacroEditPanel, editing);
    m_updating = false;
}

template <typename Fields>
Fields& TOptions::FieldsOf()
{
    if constexpr (std::is_same_v<Fields, MacroPanel>) {
        return m_editor->Panel;
    } else {
        return m_editor->Page;
    }
}

void TOptions::ShowField(std::size_t row)
{
    const int controlId = kOptionsTable.rows[row].id;
    const HWND control = m_controls[row];
    // Made later, it shows its field then.
    if (control == nullptr) {
        return;
    }
    kOptionsControls[row].binding.Visit([&]<typename Fields, typename Value>(Value Fields::*field) {
        const Value& value = FieldsOf<Fields>().*field;
        if constexpr (std::is_same_v<Value, std::string>) {
            if (controlId == id::kSendText) {
                win32::SetWideText(control, m_sendText.Show(value, AnsiCodePage()));
            } else if (controlId == id::kName || controlId == id::kAbbreviation || controlId == id::kOnlyIn) {
                win32::SetWideText(control, ShowUnicodeTags(value, AnsiCodePage()));
            } else {
                SetText(control, value);
            }
        } else if constexpr (std::is_same_v<Value, bool>) {
            SetChecked(control, value);
        } else {
            win32::SetComboSelection(control, value);
        }
    });
}

bool TOptions::ReadField(std::size_t row, int code)
{
    const int controlId = kOptionsTable.rows[row].id;
    const HWND control = m_controls[row];
    return kOptionsControls[row].binding.Visit<bool>([&]<typename Fields, typename Value>(Value Fields::*field) {
        Value& value = FieldsOf<Fields>().*field;
        if constexpr (std::is_same_v<Value, std::string>) {
            if (code != EN_CHANGE) {
                return false;
            }
            // The keystroke text, the name, the abbreviation and the program
            // list are Unicode controls; the record keeps ANSI with tags.
            if (controlId == id::kSendText) {
                value = m_sendText.Write(win32::WideTextOf(control), AnsiCodePage());
            } else if (controlId == id::kName) {
                value = StoredName(win32::WideTextOf(control), EditedName(), AnsiCodePage());
            } else if (controlId == id::kAbbreviation || controlId == id::kOnlyIn) {
                // A character the code page lacks stays visible as a tag, and the close refuses it.
                value = WriteUnicodeTags(win32::WideTextOf(control), AnsiCodePage());
            } else {
                value = TextOf(control);
            }
        } else if constexpr (std::is_same_v<Value, bool>) {
            if (code != BN_CLICKED) {
                return false;
            }
            value = IsChecked(control);
        } else {
            if (code != CBN_SELCHANGE) {
                return false;
            }
            value = win32::ComboSelection(control);
        }
        return true;
    });
}

std::string_view TOptions::EditedName() const
{
    const int index = m_editor->EditIndex();
    const TMacroList& entries = m_editor->Entries();
    return index >= 0 && static_cast<std::size_t>(index) < entries.size()
               ? std::string_view(entries[static_cast<std::size_t>(index)].Macro->Name)
               : std::string_view();
}

void TOptions::StatusChanged(const std::string& text)
{
    // It may name another macro.
    const std::u16string shown = ShowUnicodeTags(text, AnsiCodePage());
    if (shown == win32::WideTextOf(m_statusBar)) {
        return;
    }
    ::SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    Announce(m_statusBar, shown);
}

// ---- What the user does ----

void TOptions::BoundControlChanged(int controlId, int code)
{
    const std::size_t row = RowOf(controlId);
    // A control of no row, or a notification that is not its field's change.
    if (row == kOptionsTable.rows.size() || !ReadField(row, code)) {
        return;
    }
    if (const auto changed = kOptionsControls[row].binding.changed) {
        (m_editor.get()->*changed)();
    }
    ShowDependents();
}

void TOptions::CommandClick(int controlId, int code, HWND control)
{
    // Enter and Esc come from the dialog manager without a control (there is
    // no Cancel button), like the help menu's commands.
    if (controlId == IDOK || controlId == IDCANCEL) {
        FormCloseQueryAndClose();
        return;
    }
    if (control == nullptr) {
        // The help menu.
        RunHelpCommand(Handle(), static_cast<UINT>(controlId), kHelpMenuFirst, m_host.showAbout);
        return;
    }
    if (m_updating) {
        return;
    }
    switch (controlId) {
    case id::kAddMacro:
        m_editor->AddMacro();
        ::SetFocus(ControlById(id::kName));
        ::SendMessageA(ControlById(id::kName), EM_SETSEL, 0, -1);
        return;
    case id::kDeleteMacro:
        m_editor->DeleteMacro();
        return;
    case id::kBrowse:
        BrowseForFile();
        return;
    case id::kPickPrograms:
        btnPickProgramsClick();
        return;
    case id::kHelp:
        btnHelpClick();
        return;
    case id::kInsertVariable:
        btnInsertVariableClick();
        return;
    case id::kPrint:
        btnPrintClick();
        return;
    default:
        BoundControlChanged(controlId, code);
        return;
    }
}

void TOptions::btnPrintClick()
{
    if (m_editor->Entries().empty()) {
        return;
    }
    try {
        const win32::ModalScope printing(Handle());
        const std::unique_ptr<PrinterCanvas> printer =
            PrinterCanvas::FromPrintDialog(Handle(), std::string(kPrintedListTitle), AnsiCodePage());
        if (printer) {
            PrintMacroList(*printer, m_editor->Entries(), MakerNoticeLine(kMakerHomePageAddress));
        }
    } catch (const std::exception& error) {
        // The print ends where it failed; the window stays as it was.
        win32::ShowErrorBox(Handle(), error.what());
    }
}

void TOptions::btnHelpClick()
{
    RECT button{};
    ::GetWindowRect(m_btnHelp, &button);
    if (!m_helpMenu) {
        m_helpMenu = win32::UniqueMenu(CreateHelpMenu(kHelpMenuFirst, "Contents and Index"));
    }
    const win32::ModalScope menu(Handle());
    ::TrackPopupMenu(m_helpMenu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom + 1, 0, Handle(),
                     nullptr);
}

void TOptions::btnInsertVariableClick()
{
    const win32::UniqueMenu menu(::CreatePopupMenu());
    AppendVariableItems(menu.Get(), VariablesMenu());
    RECT button{};
    ::GetWindowRect(ControlById(id::kInsertVariable), &button);
    // The choice comes back here rather than as WM_COMMAND, where its id
    // could be taken for a control's.
    std::size_t chosen = 0;
    {
        const win32::ModalScope menuOpen(Handle());
        chosen = static_cast<std::size_t>(
            ::TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, button.left,
                             button.bottom + 1, 0, Handle(), nullptr));
    }
    const std::vector<const VariableMenuItem*>& leaves = VariableMenuLeaves();
    if (chosen == 0 || chosen > leaves.size()) {
        return;
    }
    const VariableMenuItem& item = *leaves[chosen - 1];
    if (item.kind == VariableKind::Word) {
        InsertTag(item.word);
    } else if (const std::optional<std::string> word =
                   TRand::AskRandomWord(Handle(), item.kind == VariableKind::RandomHexNumber)) {
        InsertTag(*word);
    }
}

void TOptions::InsertTag(const std::string& word)
{
    const HWND field = ControlById(id::kSendText);
    const std::string tag = TagFor(word);
    const std::wstring wideTag(tag.begin(), tag.end());
    // As if typed: undoable, caret after it, and EN_CHANGE carries it to the panel.
    ::SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wideTag.c_str()));
    ::SetFocus(field);
}

void TOptions::btnPickProgramsClick()
{
    const std::vector<std::u16string> picked = TPickPrograms::AskPrograms(Handle(), AnsiCodePage());
    if (picked.empty()) {
        return;
    }
    const HWND field = ControlById(id::kOnlyIn);
    // As if typed: the field's change carries the list to the panel.
    SetText(field, AddPickedPrograms(m_editor->Panel.OnlyIn, picked, AnsiCodePage()));
    ::SetFocus(field);
}

void TOptions::BrowseForFile()
{
    // Room for the longest path Windows allows.
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{
        .lStructSize = sizeof(OPENFILENAMEW),
        .hwndOwner = Handle(),
        .lpstrFilter = L"All files (*.*)\0*.*\0",
        .lpstrFile = file.data(),
        .nMaxFile = static_cast<DWORD>(file.size()),
        .lpstrTitle = L"Browse",
        .Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
    };
    const win32::ModalScope browsing(Handle());
    if (::GetOpenFileNameW(&dialog)) {
        file.resize(std::wcslen(file.c_str()));
        // Put in as the dialog gave it: a name with blanks gets no quotes.
        SetLaunchPath(file);
    }
}

void TOptions::WMDropFiles(HDROP drop)
{
    std::vector<std::wstring> names;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
    }
    ::DragFinish(drop);
    if (!names.empty() && m_editor->Panel.ActionIndex == kLaunchAction) {
        SetLaunchPath(names.front());
    }
}

void TOptions::SetLaunchPath(const std::wstring& path)
{
    if (const std::optional<std::string> stored = LaunchPathFor(path)) {
        ::SetWindowTextA(ControlById(id::kFilename), stored->c_str());
    } else {
        win32::ShowMessageBox(Handle(), kPathOutsideCodePageText, "Warning", MB_OK | MB_ICONWARNING);
    }
}

void TOptions::lbxMacrosDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= m_editor->Entries().size()) {
        return;
    }
    const TMacroEntry& entry = m_editor->Entries()[item.itemID];
    const HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    const int left = item.rcItem.left;
    const int top = item.rcItem.top;
    {
        const win32::SelectedObject bold(dc, m_boldFont.Get());
        const std::u16string name = ShowUnicodeTags(entry.Name, AnsiCodePage());
        ::TextOutW(dc, left + Scale(20), top + 1, reinterpret_cast<LPCWSTR>(name.c_str()), static_cast<int>(name.size()));
    }
    {
        const win32::SelectedObject regular(dc, m_font.Get());
        SIZE m{};
        ::GetTextExtentPoint32A(dc, "M", 1, &m);
        const std::string keys = HotKeyDisplayText(*entry.Macro);
        ::TextOutA(dc, left + Scale(20), top + m.cy, keys.c_str(), static_cast<int>(keys.size()));
    }
    if (!entry.Macro->HotKey.empty()) {
        ::ImageList_Draw(m_images.get(), 0, dc, left + 2, top + 1, ILD_TRANSPARENT);
    }
    if (item.itemState & ODS_FOCUS) {
        ::DrawFocusRect(dc, &item.rcItem);
    }
}

void TOptions::MeasureMacroRow(MEASUREITEMSTRUCT& item) const
{
    // Two lines of the list's font.
    SIZE m{};
    const win32::WindowDC dc(m_lbxMacros);
    const win32::SelectedObject listFont(dc.Get(), m_font.Get());
    ::GetTextExtentPoint32A(dc.Get(), "M", 1, &m);
    item.itemHeight = static_cast<UINT>(MacroListRowHeight(m.cy));
}

void TOptions::MinMaxInfo(MINMAXINFO& info) const
{
    if (m_pageControl != nullptr) {
        const LayoutSize minimum = MinimumSize();
        info.ptMinTrackSize = {minimum.width, minimum.height};
    }
}

void TOptions::FormCloseQueryAndClose()
{
    // A second close (another key, a request from the tray) while the first
    // is still asking or saving has nothing to add.
    if (m_closing) {
        return;
    }
    const ReentryGuard closing(m_closing);
    const CloseQuery query = m_editor->FormCloseQuery();
    if (query.verdict == CloseVerdict::PasswordMismatch) {
        win32::ShowMessageBox(Handle(), std::string(kPasswordMismatchText), "Warning", MB_OK | MB_ICONWARNING);
        return;
    }
    if (query.verdict == CloseVerdict::Refused) {
        // The editor shows the macro; the user corrects it where it was typed.
        ShowPage(0);
        win32::ShowMessageBox(Handle(), ShowUnicodeTags(query.question, AnsiCodePage()), "Warning",
                              MB_OK | MB_ICONWARNING);
        ::SetFocus(ControlById(id::kAbbreviation));
        return;
    }
    if (query.verdict == CloseVerdict::Clash &&
        // The question names the two macros.
        win32::ShowMessageBox(Handle(), ShowUnicodeTags(query.question, AnsiCodePage()), "Confirm",
                              MB_YESNO | MB_ICONQUESTION) != IDNO) {
        return;
    }
    RECT frame{};
    ::GetWindowRect(Handle(), &frame);
    std::string notice;
    try {
        notice = m_editor->FormClose(frame.right - frame.left, frame.bottom - frame.top);
    } catch (const std::exception& error) {
        // No keeps the window open with the edits, and closing again tries
        // again; Yes leaves the file as it is.
        if (win32::ShowMessageBox(Handle(), SaveFailedQuestion(error.what()), "Confirm",
                                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            return;
        }
        m_editor->CloseWithoutSaving();
    }
    if (!notice.empty()) {
        win32::ShowMessageBox(Handle(), notice, "Velmora", MB_OK | MB_ICONINFORMATION);
    }
    ::DestroyWindow(Handle());
    if (m_host.closed) {
        m_host.closed();
    }
}

LRESULT TOptions::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        CommandClick(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == m_lbxMacros) {
            return MacroListNotify(*header);
        }
        if (header->hwndFrom == m_pageControl && header->code == TCN_SELCHANGE) {
            ShowPage(static_cast<int>(::SendMessageA(m_pageControl, TCM_GETCURSEL, 0, 0)));
        }
        return 0;
    }
    case WM_MEASUREITEM:
        if (wParam == id::kMacroList) {
            MeasureMacroRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == id::kMacroList) {
            lbxMacrosDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // Up front once, then like any other window.
        if (LOWORD(wParam) != WA_INACTIVE) {
            ::PostMessageA(Handle(), WM_NOT_TOPMOST, 0, 0);
        }
        break;
    case WM_NOT_TOPMOST:
        ::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    case WM_DROPFILES:
        WMDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            FormResize();
        }
        return 0;
    case WM_GETMINMAXINFO:
        MinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_CLOSE:
        FormCloseQueryAndClose();
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
