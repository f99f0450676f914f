#include "platform/win32/Win32CodePage.h"

#include "platform/win32/Win32.h"

namespace velmora::win32 {

Win32CodePage::Win32CodePage() : m_utf8(::GetACP() == CP_UTF8)
{
    for (std::size_t byte = 0; byte < m_characters.size(); ++byte) {
        const char ansi = static_cast<char>(byte);
        wchar_t wide = 0;
        if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &ansi, 1, &wide, 1) == 1) {
            m_characters[byte] = static_cast<char32_t>(wide);
        }
    }
}

std::optional<char32_t> Win32CodePage::ToUnicode(unsigned char byte)
{
    return m_characters[byte];
}

std::optional<unsigned char> Win32CodePage::FromUnicode(char32_t character)
{
    // No single byte holds a character beyond the first plane, and UTF-8 as
    // the ANSI code page holds only ASCII in one byte (and takes no flags).
    if (character > 0xFFFF || (m_utf8 && character > 0x7F)) {
        return std::nullopt;
    }
    if (m_utf8 || character == 0) {
        return static_cast<unsigned char>(character);
    }
    const auto wide = static_cast<wchar_t>(character);
    char ansi[2] = {};
    BOOL usedDefault = FALSE;
    const int written = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, ansi, sizeof ansi, nullptr,
                                              &usedDefault);
    if (written != 1 || usedDefault) {
        return std::nullopt;
    }
    return static_cast<unsigned char>(ansi[0]);
}

}  // namespace velmora::win32
