#include "platform/core/DateTime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include <time.h>

#include "platform/core/Exceptions.h"

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Day numbers of 0001-01-01 and 9999-12-31 counted from 1899-12-30.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kLastDay = 2958465;
// 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t kEpochOffset = -25569;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The day number and the milliseconds of the day. Before 1899-12-30 the
// fraction still counts forward from midnight: -1.25 is 29.12.1899 06:00.
void Split(TDateTime value, std::int64_t& day, std::int64_t& ms)
{
    if (!std::isfinite(value) || value < static_cast<double>(kFirstDay - 1)
        || value > static_cast<double>(kLastDay + 1))
        throw EConvertError("Invalid date value");
    day = static_cast<std::int64_t>(std::trunc(value));
    ms = std::llround(std::fabs(value - static_cast<double>(day)) * static_cast<double>(kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        day += value < 0 ? -1 : 1;
    }
}

std::string TwoDigits(int value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

}  // namespace

TDateTime Now()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const time_t seconds = now.tv_sec;
    tm local {};
    ::localtime_r(&seconds, &local);
    const double timeOfDay =
        (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9) / 86400.0;
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) + timeOfDay;
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime EncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EConvertError("Invalid argument to date encode");
    return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))
                               - kEpochOffset);
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    std::int64_t dayNumber = 0;
    std::int64_t ms = 0;
    Split(date, dayNumber, ms);
    CivilFromDays(dayNumber + kEpochOffset, year, month, day);
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& millisecond)
{
    std::int64_t dayNumber = 0;
    std::int64_t ms = 0;
    Split(time, dayNumber, ms);
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    millisecond = static_cast<int>(ms % 1000);
}

std::string DateToStr(TDateTime date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDate(date, year, month, day);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", day, month, year);
    return buffer;
}

std::string TimeToStr(TDateTime time)
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    DecodeTime(time, hour, minute, second, millisecond);
    return TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}
