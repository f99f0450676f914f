#pragma once

// The 4-byte named block through which a second start finds the running
// instance's main window. Its name carries the user's SID and only that user
// may open it.

#include "platform/win32/Handles.h"

namespace velmora {

class TShareMapping {
public:
    explicit TShareMapping(const char* name);
    ~TShareMapping();
    TShareMapping(const TShareMapping&) = delete;
    TShareMapping& operator=(const TShareMapping&) = delete;

    // True when no instance held the block: this process is the first. Also
    // true when the block could not be made at all, so the program still runs.
    bool Created() const { return m_created; }

    // The running instance's main window; null unless the window's process
    // runs this program file for this user.
    HWND ReadWindow() const;
    void WriteWindow(HWND window);

private:
    win32::UniqueHandle m_mapping;
    void* m_memory = nullptr;
    bool m_created = true;
};

}  // namespace velmora
