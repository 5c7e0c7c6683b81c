#include "platform/core/DateTime.h"

#include <cmath>
#include <ctime>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace {

TEST(DateTime, EncodeDateCountsDaysFrom30December1899)
{
    struct Case {
        int year, month, day;
        double serial;
        const char* text;
    };
    const Case cases[] = {
        {1899, 12, 30, 0, "30.12.1899"},   {1899, 12, 29, -1, "29.12.1899"}, {1900, 1, 1, 2, "01.01.1900"},
        {1900, 3, 1, 61, "01.03.1900"},    {2000, 1, 1, 36526, "01.01.2000"}, {2024, 2, 29, 45351, "29.02.2024"},
        {2024, 3, 5, 45356, "05.03.2024"}, {1, 1, 1, -693593, "01.01.0001"}, {9999, 12, 31, 2958465, "31.12.9999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.serial);
        EXPECT_EQ(DateToStr(c.serial), c.text);
        int y = 0, m = 0, d = 0;
        // The time of day moves away from zero: -1.75 is 29.12.1899 18:00.
        DecodeDate(c.serial < 0 ? c.serial - 0.75 : c.serial + 0.75, y, m, d);
        EXPECT_EQ(y, c.year);
        EXPECT_EQ(m, c.month);
        EXPECT_EQ(d, c.day);
    }
}

TEST(DateTime, DecodeDateInvertsEncodeDateOverTheWholeRange)
{
    for (int serial = -693593; serial <= 2958465; serial += 997) {
        int y = 0, m = 0, d = 0;
        DecodeDate(serial, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), serial) << DateToStr(serial);
    }
}

TEST(DateTime, EncodeDateRefusesDatesThatDoNotExist)
{
    struct Case {
        int year, month, day;
    };
    const Case cases[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
                          {2024, 0, 1},  {2024, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
        EXPECT_THROW(EncodeDate(c.year, c.month, c.day), EConvertError);
    }
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
}

TEST(DateTime, TimeOfDay)
{
    const double day = EncodeDate(2024, 3, 5);
    EXPECT_EQ(TimeToStr(day), "00:00:00");
    EXPECT_EQ(TimeToStr(day + 0.5), "12:00:00");
    EXPECT_EQ(TimeToStr(day + (13 * 3600 + 5 * 60 + 9) / 86400.0), "13:05:09");
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(day + (23 * 3600 + 59 * 60 + 59.25) / 86400.0, h, m, s, ms);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(m, 59);
    EXPECT_EQ(s, 59);
    EXPECT_EQ(ms, 250);

    // A value a hair before midnight rounds to the next day, never to 24:00:00.
    const double almost = day + 1 - 1e-10;
    EXPECT_EQ(TimeToStr(almost), "00:00:00");
    EXPECT_EQ(DateToStr(almost), "06.03.2024");

    // Before the epoch the fraction still counts forward from midnight.
    EXPECT_EQ(DateToStr(-1.25), "29.12.1899");
    EXPECT_EQ(TimeToStr(-1.25), "06:00:00");
}

TEST(DateTime, ValuesOutsideTheCalendarRaise)
{
    const double cases[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                            1e300, -1e300, 2958467.0, -693595.0};
    for (const double value : cases) {
        SCOPED_TRACE(value);
        EXPECT_THROW(DateToStr(value), EConvertError);
        EXPECT_THROW(TimeToStr(value), EConvertError);
    }
}

TEST(DateTime, NowIsLocalTime)
{
    const std::time_t before = std::time(nullptr);
    const double now = Now();
    std::tm local {};
    ::localtime_r(&before, &local);
    char expected[16];
    std::strftime(expected, sizeof expected, "%d.%m.%Y", &local);
    EXPECT_EQ(DateToStr(now), expected);
    EXPECT_EQ(Date(), std::trunc(Date()));
    EXPECT_LE(Date(), now);
    EXPECT_LT(now - Date(), 1.0);
}

}  // namespace
