#include "options/PasswordGate.h"

#include "ui/ReentryGuard.h"

namespace velmora {

bool PasswordGate::CheckOptionsPassword(const std::string& password)
{
    if (password.empty()) {
        return true;
    }
    if (m_showing) {
        return false;
    }
    // The warning counts as part of the prompt: a request meanwhile is refused.
    const ReentryGuard showing(m_showing);
    const std::optional<std::string> typed = m_prompt();
    if (!typed) {
        return false;
    }
    // Case counts and blanks count: nothing is trimmed.
    if (*typed != password) {
        m_warning(kWrongPasswordText);
        return false;
    }
    return true;
}

}  // namespace velmora
