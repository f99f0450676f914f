#include "platform/win32/FolderWatch.h"

#include "platform/win32/WidePath.h"

namespace velmora::win32 {

bool FolderWatch::Start(const std::string& folder, HWND window, UINT message)
{
    Stop();
    m_change = UniqueChangeNotification(::FindFirstChangeNotificationW(
        WidePath(folder).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE));
    m_stop = UniqueHandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!m_change || !m_stop) {
        m_change.Reset();
        m_stop.Reset();
        return false;
    }
    m_thread = std::thread([change = m_change.Get(), stop = m_stop.Get(), window, message] {
        const HANDLE handles[] = {stop, change};
        while (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            ::PostMessageA(window, message, 0, 0);
            if (!::FindNextChangeNotification(change)) {
                break;
            }
        }
    });
    return true;
}

void FolderWatch::Stop()
{
    if (m_thread.joinable()) {
        ::SetEvent(m_stop.Get());
        m_thread.join();
    }
    m_change.Reset();
    m_stop.Reset();
}

}  // namespace velmora::win32
