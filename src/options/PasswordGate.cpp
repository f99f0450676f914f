#include "options/PasswordGate.h"

namespace velmora {

namespace {

// Clears the flag however the prompt ends, a thrown error included.
class ShowingScope {
public:
    explicit ShowingScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ShowingScope(const ShowingScope&) = delete;
    ShowingScope& operator=(const ShowingScope&) = delete;
    ~ShowingScope() { m_flag = false; }

private:
    bool& m_flag;
};

}  // namespace

bool PasswordGate::CheckOptionsPassword(const std::string& password)
{
    if (password.empty()) {
        return true;
    }
    if (m_showing) {
        return false;
    }
    // The warning counts as part of the prompt: a request meanwhile is refused.
    const ShowingScope showing(m_showing);
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
