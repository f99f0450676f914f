#pragma once

#include "platform/Clock.h"

namespace velmora::win32 {

class Win32Clock : public IClock {
public:
    LocalTime Now() override;
};

// The user's default locale.
class Win32Locale : public ILocale {
public:
    LocaleNames ReadNames() override;
};

}  // namespace velmora::win32
