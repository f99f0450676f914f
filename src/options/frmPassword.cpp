#include "options/frmPassword.h"

namespace velmora {

namespace {

constexpr int kClientWidth = 265;
constexpr int kClientHeight = 145;
constexpr int kEditId = 101;

constexpr const char* kPromptText =
    "The area you are attempting to access is password protected. Please enter the password:";

TPassword* g_prompt = nullptr;

}  // namespace

HWND PasswordPromptHandle()
{
    return g_prompt != nullptr ? g_prompt->Handle() : nullptr;
}

bool TPassword::Create(HWND owner)
{
    // No close box: the prompt ends with OK or Cancel only.
    if (!CreateCentredDialog(kClassName, "Velmora Password", kClientWidth, kClientHeight, owner, 0, WS_SYSMENU)) {
        return false;
    }
    m_font = win32::CreateMessageFont();
    win32::CreateControl(Handle(), "STATIC", kPromptText, SS_LEFT | SS_NOPREFIX, 0, {16, 12, 200, 45}, m_font.Get());
    m_edit1 = win32::CreateControl(Handle(), "EDIT", "", WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL,
                                   kEditId, {16, 64, 233, 21}, m_font.Get());
    // Version 6 of the common controls shows a dot instead.
    ::SendMessageA(m_edit1, EM_SETPASSWORDCHAR, '*', 0);
    win32::CreateControl(Handle(), "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {96, 106, 73, 25},
                         m_font.Get());
    win32::CreateControl(Handle(), "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, {176, 106, 73, 25},
                         m_font.Get());
    return true;
}

std::optional<std::string> TPassword::ShowPasswordPrompt(HWND owner)
{
    if (g_prompt != nullptr) {
        ::SetForegroundWindow(g_prompt->Handle());
        return std::nullopt;
    }
    TPassword window;
    if (!window.Create(owner)) {
        return std::nullopt;
    }
    g_prompt = &window;
    win32::RunModal(window.Handle(), owner, window.m_closed, window.m_edit1);
    g_prompt = nullptr;
    std::optional<std::string> password;
    if (!window.m_cancelled && window.Handle()) {
        password = window.PasswordText();
    }
    if (window.Handle()) {
        ::DestroyWindow(window.Handle());
    }
    return password;
}

std::string TPassword::PasswordText() const
{
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(m_edit1)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_edit1, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TPassword::Button1Click()
{
    m_cancelled = false;
    Button2Click();
}

void TPassword::Button2Click()
{
    win32::EndModal(Handle(), m_closed);
}

LRESULT TPassword::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            Button1Click();
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            Button2Click();
            return 0;
        }
        break;
    case WM_CLOSE:
        // Alt+F4 still reaches a window without a close box.
        Button2Click();
        return 0;
    case WM_DESTROY:
        // Destroyed from outside: the modal loop must not wait for a click.
        m_closed = true;
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace velmora
