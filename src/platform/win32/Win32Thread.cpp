#include "platform/win32/Win32Thread.h"

#include "platform/win32/Win32.h"

namespace velmora::win32 {

bool DispatchWaitingMessages()
{
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Taken off the queue here, but the main loop must still see it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return true;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return false;
}

void Win32Thread::Sleep(std::uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

void Win32Thread::PumpMessages()
{
    DispatchWaitingMessages();
}

}  // namespace velmora::win32
