#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system.hpp"

// How dates, times and numbers are worded inside spoken sentences.
namespace reading {

// "dddd, mmmm, dd, yy" with English names: "Tuesday, March, 06, 01".
std::string format_date(const platform::Date& date);
// "hh:mm AMPM" on the 12-hour clock: "03:05 PM", and 12 for noon and midnight.
std::string format_time(const platform::Date& date);
// The date, " at ", and the time of the same value.
std::string format_date_time(const platform::Date& date);

// An item without a date (the mail client's own "none" date) is spoken as this word, for the date, the time and
// both together, rather than as the far-future placeholder the mail client keeps for it.
inline constexpr std::string_view kNoDate = "none";

// Whether the item has a date at all.
inline bool is_date(const platform::Date& date) { return date.has_value(); }
// Whether the date lies before `now`. An item without a date is never past: the mail client stores "none" as a
// date in the far future.
inline bool is_earlier(const platform::Date& date, platform::LocalTime now) { return date && *date < now; }

// A number in decimal after its sign position: a blank for zero or more, "-" below zero (" 3", "-3").
std::string format_number(std::int64_t number);

}  // namespace reading
