#include "desk/date_entry.h"

#include <algorithm>

namespace sortwell::desk {

namespace {

constexpr std::size_t kYearDigits = 4;
constexpr std::size_t kMonthDigits = 2;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

std::string ZeroPadded(long long value, std::size_t width) {
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return negative ? "-" + digits : digits;
}

}  // namespace

DateFields ResetDate(const std::chrono::year_month_day& today) {
    return DateFields{ZeroPadded(static_cast<unsigned>(today.month()), kMonthDigits),
                      ZeroPadded(static_cast<int>(today.year()), kYearDigits)};
}

bool IsYearComplete(std::string_view yearText) {
    return yearText.size() == kYearDigits && AllDigits(yearText);
}

bool IsMonthAcceptable(std::string_view monthText) {
    return monthText.size() <= kMonthDigits && AllDigits(monthText);
}

bool MayLeaveYearField(std::string_view yearText, bool edited) {
    return !edited || IsYearComplete(yearText);
}

}  // namespace sortwell::desk
