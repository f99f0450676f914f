#include "platform/PathText.h"

#include <utility>

#include "platform/CodePage.h"

namespace velmora {

namespace {

bool IsLeadSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsTrailSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& text, char32_t character)
{
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | (character >> 6));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        text += static_cast<char>(0xE0 | (character >> 12));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (character >> 18));
        text += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
}

// The character at the start of the text and its length in bytes; a length
// of 0 when no valid sequence starts there. Overlong forms are refused, so
// each character has one spelling and names compare byte for byte.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) {
        return {0, 0};
    }
    char32_t character = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return {0, 0};
        }
        character = (character << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (character < kSmallest[length] || character > 0x10FFFF) {
        return {0, 0};
    }
    return {character, length};
}

}  // namespace

std::string PathFromUtf16(std::u16string_view path)
{
    std::string result;
    result.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        char32_t unit = path[i];
        if (IsLeadSurrogate(unit) && i + 1 < path.size() && IsTrailSurrogate(path[i + 1])) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (path[++i] - 0xDC00);
        }
        AppendUtf8(result, unit);
    }
    return result;
}

std::u16string Utf16FromPath(std::string_view path)
{
    std::u16string result;
    result.reserve(path.size());
    while (!path.empty()) {
        auto [character, length] = DecodeUtf8(path);
        if (length == 0) {
            character = U'\uFFFD';
            length = 1;
        }
        AppendUtf16(result, character);
        path.remove_prefix(length);
    }
    return result;
}

}  // namespace velmora
