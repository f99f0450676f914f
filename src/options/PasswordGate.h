#pragma once

// The password that guards the options window. Every request to open the
// window asks anew; there is no memory of an earlier success.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kWrongPasswordText = "You have not entered the correct password.";

class PasswordGate {
public:
    // Shows the prompt modally: the typed text, or nothing when cancelled.
    using Prompt = std::function<std::optional<std::string>()>;
    using Warning = std::function<void(std::string_view)>;

    PasswordGate(Prompt prompt, Warning warning) : m_prompt(std::move(prompt)), m_warning(std::move(warning)) {}

    // True when the window may open: no password is set, or the one typed
    // matches it exactly. A request that arrives while the prompt is up is
    // refused without a word and leaves that prompt working.
    bool CheckOptionsPassword(const std::string& password);

    bool PasswordShowing() const { return m_showing; }

private:
    Prompt m_prompt;
    Warning m_warning;
    bool m_showing = false;
};

}  // namespace velmora
