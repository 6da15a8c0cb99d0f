#include "reading/formats.hpp"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using platform::Date;

platform::LocalTime at(int year, unsigned month, unsigned day, int hour = 0, int minute = 0) {
    using namespace std::chrono;
    return local_days{std::chrono::year{year} / month / day} + hours{hour} + minutes{minute};
}

TEST(Formats, DatesAndTimesAreSpokenInTheirFixedPatterns) {
    struct Case {
        Date value;
        std::string date;
        std::string time;
    };
    const Case cases[] = {
        {at(2001, 3, 6, 15, 5), "Tuesday, March, 06, 01", "03:05 PM"},
        {at(2001, 3, 6, 0, 0), "Tuesday, March, 06, 01", "12:00 AM"},   // midnight is 12
        {at(2001, 3, 6, 12, 0), "Tuesday, March, 06, 01", "12:00 PM"},  // and so is noon
        {at(2001, 3, 6, 11, 59), "Tuesday, March, 06, 01", "11:59 AM"},
        {at(1999, 12, 31, 23, 59), "Friday, December, 31, 99", "11:59 PM"},
        {at(2000, 1, 1, 9, 7), "Saturday, January, 01, 00", "09:07 AM"},
        {at(2024, 2, 29, 13, 0), "Thursday, February, 29, 24", "01:00 PM"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reading::format_date(c.value), c.date);
        EXPECT_EQ(reading::format_time(c.value), c.time);
        EXPECT_EQ(reading::format_date_time(c.value), c.date + " at " + c.time);
    }
}

// The mail client keeps "none" as a date far in the future: it is spoken as a word, is never a date, and is never
// past, whatever the clock says.
TEST(Formats, AnItemWithoutADateIsNoneAndNeverPast) {
    const Date none;
    EXPECT_EQ(reading::format_date(none), "none");
    EXPECT_EQ(reading::format_time(none), "none");
    EXPECT_EQ(reading::format_date_time(none), "none");
    EXPECT_FALSE(reading::is_date(none));
    EXPECT_FALSE(reading::is_earlier(none, at(9999, 12, 31)));

    EXPECT_TRUE(reading::is_date(at(2001, 3, 6)));
    EXPECT_TRUE(reading::is_earlier(at(2001, 3, 6, 15, 4), at(2001, 3, 6, 15, 5)));
    EXPECT_FALSE(reading::is_earlier(at(2001, 3, 6, 15, 5), at(2001, 3, 6, 15, 5)));
}

TEST(Formats, NumbersKeepTheirSignPosition) {
    EXPECT_EQ(reading::format_number(0), " 0");
    EXPECT_EQ(reading::format_number(50), " 50");
    EXPECT_EQ(reading::format_number(-3), "-3");
    EXPECT_EQ(reading::format_number(2147483647), " 2147483647");
}

}  // namespace
