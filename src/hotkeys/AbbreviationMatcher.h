#pragma once

// Abbreviations: follows what the user types and tells when the last
// characters typed are a macro's abbreviation. It remembers no more of the
// typing than the longest abbreviation needs, and forgets it whenever the
// place being typed into may have changed.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "macros/Macro.h"
#include "platform/CodePage.h"
#include "platform/ForegroundWatch.h"
#include "platform/KeyWatch.h"

namespace velmora {

// A character that carries a word on: a letter of any script, a combining
// mark or a decimal digit (Unicode's L, M and Nd categories; unassigned and
// private-use characters count too). Punctuation, symbols, spaces and
// controls end a word.
bool IsWordCharacter(char32_t character);

struct AbbreviationMatch {
    std::shared_ptr<TMacro> macro;
    // The abbreviation's length in characters: one Backspace each takes it back.
    std::size_t characters = 0;
};

class AbbreviationMatcher {
public:
    // foreground names the program typed into, asked only for an
    // abbreviation whose macro is for some programs only.
    AbbreviationMatcher(ICodePage& codePage, IForegroundWatch& foreground)
        : m_codePage(codePage), m_foreground(foreground)
    {
    }

    // Takes the abbreviations of the list, and forgets what was typed.
    void SetMacros(const TMacroList& macros);
    bool HasAbbreviations() const { return m_longest != 0; }

    // Follows the typing by one key. An abbreviation matches when the key
    // typed its last character, exactly in case, and its first came at the
    // start of the typing remembered or after a character that ends a word.
    // When one abbreviation ends another, the longer one that may match
    // wins; of macros sharing one, the one named for the foreground program
    // beats the one for every program. The typing is forgotten after a match.
    std::optional<AbbreviationMatch> KeyPressed(const WatchedKey& key);
    // The caret may be elsewhere now: typing starts afresh.
    void Forget();

    // True while nothing may match (the options window is open, a macro
    // runs); keys then make the typing be forgotten.
    std::function<bool()> Paused;

private:
    struct Node {
        // The macros whose abbreviation ends here, in list order.
        std::vector<std::shared_ptr<TMacro>> macros;
    };
    std::uint32_t Child(std::uint32_t node, char32_t character) const;
    void Remember(char32_t character);
    std::optional<AbbreviationMatch> Match();
    // The macro of the list that serves the foreground program, if any.
    std::shared_ptr<TMacro> Fitting(const std::vector<std::shared_ptr<TMacro>>& macros,
                                    std::optional<std::u16string>& program);

    ICodePage& m_codePage;
    IForegroundWatch& m_foreground;
    // The abbreviations spelt backwards from their last character, so the
    // typing is read back from the caret: one look-up per character, however
    // many abbreviations there are. Node 0 is the root.
    std::vector<Node> m_nodes;
    std::unordered_map<std::uint64_t, std::uint32_t> m_children;
    std::size_t m_longest = 0;
    // The last characters typed, at most the longest abbreviation and the
    // one before it (trimmed in batches).
    std::u32string m_typed;
    // How many characters typed before m_typed were dropped: while any is
    // left (not taken back), its front is no start of typing.
    std::size_t m_dropped = 0;
    // Match's list of the abbreviations ending at the caret, kept for its room.
    std::vector<std::pair<std::uint32_t, std::size_t>> m_ending;
};

}  // namespace velmora
