#pragma once

#include "platform/Thread.h"

namespace velmora::win32 {

// Dispatches every message waiting for the calling thread. A WM_QUIT met on
// the way is posted again so the main loop still ends; returns true then.
bool DispatchWaitingMessages();

// Handles only the messages sent to the thread's windows by other threads
// and programs; posted ones stay queued.
void HandleSentMessages();

class Win32Thread : public IThread {
public:
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t Milliseconds() override;
    void ServeSentMessages() override;
};

}  // namespace velmora::win32
