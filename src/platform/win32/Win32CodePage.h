#pragma once

#include <array>

#include "platform/CodePage.h"

namespace velmora::win32 {

// CP_ACP. The code page changes only with a restart of Windows, so the 256
// bytes are read once.
class Win32CodePage : public ICodePage {
public:
    Win32CodePage();
    std::optional<char32_t> ToUnicode(unsigned char byte) override;
    std::optional<unsigned char> FromUnicode(char32_t character) override;

private:
    std::array<std::optional<char32_t>, 256> m_characters;
    bool m_utf8 = false;
};

}  // namespace velmora::win32
