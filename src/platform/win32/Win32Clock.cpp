#include "platform/win32/Win32Clock.h"

#include "platform/win32/Win32.h"

namespace velmora::win32 {

namespace {

std::u16string LocaleText(LCTYPE item)
{
    const int size = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::u16string text(static_cast<std::size_t>(size), u'\0');
    const int written =
        ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, reinterpret_cast<wchar_t*>(text.data()), size);
    // The count includes the closing 0.
    text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return text;
}

}  // namespace

LocalTime Win32Clock::Now()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {
        .year = now.wYear,
        .month = now.wMonth,
        .day = now.wDay,
        .dayOfWeek = now.wDayOfWeek,
        .hour = now.wHour,
        .minute = now.wMinute,
        .second = now.wSecond,
    };
}

LocaleNames Win32Locale::ReadNames()
{
    LocaleNames names;
    for (unsigned month = 0; month < 12; ++month) {
        names.months[month] = LocaleText(LOCALE_SMONTHNAME1 + month);
        names.shortMonths[month] = LocaleText(LOCALE_SABBREVMONTHNAME1 + month);
    }
    // The system counts from Monday (DAYNAME1) to Sunday (DAYNAME7).
    for (unsigned day = 0; day < 7; ++day) {
        const unsigned fromMonday = (day + 6) % 7;
        names.days[day] = LocaleText(LOCALE_SDAYNAME1 + fromMonday);
        names.shortDays[day] = LocaleText(LOCALE_SABBREVDAYNAME1 + fromMonday);
    }
    names.dateSeparator = LocaleText(LOCALE_SDATE);
    names.timeSeparator = LocaleText(LOCALE_STIME);
    return names;
}

}  // namespace velmora::win32
