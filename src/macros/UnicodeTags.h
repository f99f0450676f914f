#pragma once

// Windows show Unicode text, while a macro's text and name are stored in
// the ANSI code page, so the data file stays byte-compatible. A character
// the code page cannot hold is stored as a {"U+XXXX"} tag, which expansion
// types as that character.

#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace velmora {

// The stored text as the box shows it, whole characters at a time (a byte
// that is no character gives U+FFFD): every valid U+ tag (any case, blanks
// inside the marks, as expansion accepts it) becomes its character, even one
// the user wrote out, since typing gives that character anyway. Invalid U+
// tags and all other tags stay as written.
std::u16string ShowUnicodeTags(std::string_view stored, ICodePage& codePage);

// The box's text as stored: characters of the code page as their bytes,
// every other character as {"U+XXXX"} (upper case, at least four digits).
// A lone surrogate, which names no character, is stored as U+FFFD.
std::string WriteUnicodeTags(std::u16string_view shown, ICodePage& codePage);

// A stored text (a keystroke text or a name) and how a box shows it.
// Showing is not always reversible (a U+ tag the user wrote out, or a byte
// that is no character), so a text the user left as shown goes back byte for
// byte.
class StoredTextAsShown {
public:
    std::u16string Show(std::string_view stored, ICodePage& codePage)
    {
        m_stored = stored;
        m_shown = ShowUnicodeTags(stored, codePage);
        return m_shown;
    }
    std::string Write(std::u16string_view shown, ICodePage& codePage) const
    {
        return shown == m_shown ? m_stored : WriteUnicodeTags(shown, codePage);
    }

private:
    std::string m_stored;
    std::u16string m_shown;
};

}  // namespace velmora
