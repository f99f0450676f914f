#pragma once

// Marks a piece of work as under way for as long as the guard lives, so that
// a request arriving meanwhile (from a nested message loop) can tell; the
// flag is cleared however the work ends, a thrown error included.

namespace velmora {

class ReentryGuard {
public:
    explicit ReentryGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;
    ~ReentryGuard() { m_flag = false; }

private:
    bool& m_flag;
};

}  // namespace velmora
