#include "platform/win32/Win32CodePage.h"

#include "platform/Utf8.h"
#include "platform/win32/Win32.h"

namespace velmora::win32 {

namespace {

std::optional<char32_t> Decode(unsigned codePage, std::string_view bytes)
{
    // An ANSI or double-byte character is one UTF-16 unit.
    wchar_t wide = 0;
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &wide,
                              1) == 1) {
        return static_cast<char32_t>(wide);
    }
    return std::nullopt;
}

}  // namespace

Win32CodePage::Win32CodePage() : m_codePage(::GetACP())
{
    CPINFO info{};
    m_singleByte = m_codePage != CP_UTF8 && ::GetCPInfo(m_codePage, &info) && info.MaxCharSize == 1;
    for (std::size_t byte = 0; byte < m_characters.size(); ++byte) {
        const char ansi = static_cast<char>(byte);
        m_lead[byte] = ::IsDBCSLeadByteEx(m_codePage, static_cast<BYTE>(byte)) != FALSE;
        if (!m_lead[byte]) {
            m_characters[byte] = Decode(m_codePage, std::string_view(&ansi, 1));
        }
    }
}

AnsiCharacter Win32CodePage::Read(std::string_view text)
{
    if (m_codePage == CP_UTF8) {
        return ReadUtf8(text);
    }
    if (text.empty()) {
        return {};
    }
    const auto lead = static_cast<unsigned char>(text.front());
    if (!m_lead[lead]) {
        return {1, m_characters[lead]};
    }
    // The system knows which trail bytes make a character with this lead.
    if (text.size() >= 2) {
        if (const auto character = Decode(m_codePage, text.substr(0, 2))) {
            return {2, character};
        }
    }
    return {1, std::nullopt};
}

std::string Win32CodePage::FromUnicode(char32_t character)
{
    if (m_codePage == CP_UTF8) {
        return Utf8FromCharacter(character);
    }
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        return {};
    }
    if (character < 0x80) {
        return std::string(1, static_cast<char>(character));
    }
    std::u16string wide;
    AppendUtf16(wide, character);
    char ansi[8] = {};
    BOOL usedDefault = FALSE;
    const int written = ::WideCharToMultiByte(m_codePage, WC_NO_BEST_FIT_CHARS,
                                              reinterpret_cast<const wchar_t*>(wide.data()),
                                              static_cast<int>(wide.size()), ansi, sizeof ansi, nullptr, &usedDefault);
    if (written <= 0 || usedDefault) {
        return {};
    }
    // A character that does not come back the same was mapped to another.
    const std::string bytes(ansi, static_cast<std::size_t>(written));
    const AnsiCharacter back = Read(bytes);
    return back.length == bytes.size() && back.character == character ? bytes : std::string{};
}

}  // namespace velmora::win32
