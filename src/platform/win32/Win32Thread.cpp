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

std::uint64_t Win32Thread::Milliseconds()
{
    return ::GetTickCount64();
}

void Win32Thread::ServeSentMessages()
{
    HandleSentMessages();
}

void HandleSentMessages()
{
    // Peeking delivers the sent messages to their windows on the way; with
    // no removal and only QS_SENDMESSAGE asked for, nothing else is touched.
    MSG message{};
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace velmora::win32
