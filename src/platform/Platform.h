#pragma once

// Every system service the portable core uses, in one bundle: the Win32 build
// fills it with the real calls, the tests with fakes.

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/Keyboard.h"
#include "platform/Shell.h"
#include "platform/Thread.h"

namespace velmora {

struct Platform {
    IKeyboard& keyboard;
    IClipboard& clipboard;
    IThread& thread;
    IClock& clock;
    ILocale& locale;
    IShell& shell;
    IFileSystem& files;
    ICodePage& codePage;
};

}  // namespace velmora
