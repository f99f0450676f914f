#pragma once

// Local date and time, and the user's names for them.

#include <array>
#include <string>

namespace velmora {

struct LocalTime {
    int year = 0;
    int month = 1;      // 1 to 12
    int day = 1;        // 1 to 31
    int dayOfWeek = 0;  // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// In Unicode: the user's locale need not share the code page's letters.
struct LocaleNames {
    std::array<std::u16string, 12> months;  // January first
    std::array<std::u16string, 12> shortMonths;
    std::array<std::u16string, 7> days;  // Sunday first
    std::array<std::u16string, 7> shortDays;
    std::u16string dateSeparator;
    std::u16string timeSeparator;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual LocalTime Now() = 0;
};

class ILocale {
public:
    virtual ~ILocale() = default;
    // Read from the system each time; callers keep what they need.
    virtual LocaleNames ReadNames() = 0;
};

}  // namespace velmora
