#pragma once

// Tells a window when the files of a folder change.

#include <string>
#include <thread>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// A handle from FindFirstChangeNotification.
struct ChangeNotificationTraits : FileHandleTraits {
    static bool Close(Handle h) { return ::FindCloseChangeNotification(h) != FALSE; }
};
using UniqueChangeNotification = UniqueResource<ChangeNotificationTraits>;

// Posts `message` to `window` each time a file in the folder is created,
// renamed, deleted or written. The wait runs on a thread of its own that
// does nothing but post, so the message arrives inside modal loops too; a
// burst of changes gives a burst of messages, for the window to settle.
class FolderWatch {
public:
    FolderWatch() = default;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;
    ~FolderWatch() { Stop(); }

    // False when the folder cannot be watched.
    bool Start(const std::string& folder, HWND window, UINT message);
    // No message is posted once this returns.
    void Stop();

private:
    UniqueChangeNotification m_change;
    UniqueHandle m_stop;
    std::thread m_thread;
};

}  // namespace velmora::win32
