#pragma once

#include <array>

#include "platform/CodePage.h"

namespace velmora::win32 {

// CP_ACP. The code page changes only with a restart of Windows, so what each
// byte is on its own is read once.
class Win32CodePage : public ICodePage {
public:
    Win32CodePage();
    bool SingleByte() const override { return m_singleByte; }
    AnsiCharacter Read(std::string_view text) override;
    std::string FromUnicode(char32_t character) override;

private:
    unsigned m_codePage = 0;
    bool m_singleByte = true;
    std::array<std::optional<char32_t>, 256> m_characters;
    std::array<bool, 256> m_lead{};
};

}  // namespace velmora::win32
