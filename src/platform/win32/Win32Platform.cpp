#include "platform/win32/Win32Platform.h"

namespace velmora::win32 {

Platform Win32Platform::Get()
{
    return {
        .keyboard = m_keyboard,
        .clipboard = m_clipboard,
        .thread = m_thread,
        .clock = m_clock,
        .locale = m_locale,
        .shell = m_shell,
        .files = m_files,
        .codePage = m_codePage,
    };
}

}  // namespace velmora::win32
