#include "reading/formats.hpp"

#include <array>
#include <chrono>
#include <string_view>

namespace reading {
namespace {

using namespace std::chrono;

constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};

std::string two_digits(long value) {
    value %= 100;
    if (value < 0) value += 100;
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

}  // namespace

std::string format_date(const platform::Date& date) {
    if (!date) return std::string(kNoDate);
    const auto day = floor<days>(*date);
    const year_month_day ymd{day};
    const weekday wd{sys_days{day.time_since_epoch()}};
    std::string text(kWeekdays[wd.c_encoding()]);
    text += ", ";
    text += kMonths[static_cast<unsigned>(ymd.month()) - 1];
    text += ", ";
    text += two_digits(static_cast<unsigned>(ymd.day()));
    text += ", ";
    text += two_digits(static_cast<int>(ymd.year()));
    return text;
}

std::string format_time(const platform::Date& date) {
    if (!date) return std::string(kNoDate);
    const hh_mm_ss clock{*date - floor<days>(*date)};
    const long hour = clock.hours().count();
    const long hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return two_digits(hour12) + ":" + two_digits(clock.minutes().count()) + (hour < 12 ? " AM" : " PM");
}

std::string format_date_time(const platform::Date& date) {
    if (!date) return std::string(kNoDate);
    return format_date(date) + " at " + format_time(date);
}

std::string format_number(std::int64_t number) {
    if (number < 0) return std::to_string(number);
    return " " + std::to_string(number);
}

}  // namespace reading
