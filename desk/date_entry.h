#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace sortwell::desk {

// The texts of the month and year fields.
struct DateFields {
    std::string month;  // two digits, leading zero ("mm")
    std::string year;   // four digits ("yyyy")

    bool operator==(const DateFields&) const = default;
};

// Shown when the year field is left incomplete after an edit (two blanks after the full stop).
inline constexpr std::string_view kInvalidInputMessage =
    "Invalid input value.  Use escape key to abandon changes";

// The month and year fields for `today`, the local date that the caller read from its clock.
DateFields ResetDate(const std::chrono::year_month_day& today);

// True when the year text fills all four required digit positions.
bool IsYearComplete(std::string_view yearText);

// True when the month text holds at most two digits; its positions are optional, so an empty
// or one-digit month is accepted.
bool IsMonthAcceptable(std::string_view monthText);

// Whether the focus may leave the year field: an untouched field always may, an edited one
// only when complete; otherwise the window beeps and shows kInvalidInputMessage.
bool MayLeaveYearField(std::string_view yearText, bool edited);

}  // namespace sortwell::desk
