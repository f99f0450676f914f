#pragma once

// Errors carry the program's own message text, ready to show to the user.

#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora {

class VelmoraError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills the one "%s" of a message text.
inline std::string FormatText(std::string_view format, std::string_view argument)
{
    std::string text(format);
    if (const auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

// The text of the program's error box: a full stop is added unless the
// message already ends in punctuation (any character up to '.').
inline std::string ErrorBoxText(std::string text)
{
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return text;
}

}  // namespace velmora
