#include "desk/date_entry.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono;
using sortwell::desk::DateFields;
using sortwell::desk::IsMonthAcceptable;
using sortwell::desk::IsYearComplete;
using sortwell::desk::MayLeaveYearField;
using sortwell::desk::ResetDate;

TEST(ResetDate, GivesTwoDigitMonthAndFourDigitYear) {
    EXPECT_EQ(ResetDate(2024y / March / 15), (DateFields{"03", "2024"}));
    EXPECT_EQ(ResetDate(2024y / December / 1), (DateFields{"12", "2024"}));
}

TEST(ResetDate, FollowsTheNewMonthAfterMidnight) {
    EXPECT_EQ(ResetDate(2023y / December / 31), (DateFields{"12", "2023"}));
    EXPECT_EQ(ResetDate(2024y / January / 1), (DateFields{"01", "2024"}));
}

TEST(ResetDate, PadsAnEarlyYearToFourDigits) {
    EXPECT_EQ(ResetDate(year{987} / July / 4).year, "0987");
}

TEST(YearField, FourDigitsAreComplete) {
    EXPECT_TRUE(IsYearComplete("2024"));
    EXPECT_TRUE(IsYearComplete("0000"));
}

TEST(YearField, MissingOrForeignCharactersAreIncomplete) {
    EXPECT_FALSE(IsYearComplete(""));
    EXPECT_FALSE(IsYearComplete("202"));
    EXPECT_FALSE(IsYearComplete("20 4"));
    EXPECT_FALSE(IsYearComplete("20_4"));
    EXPECT_FALSE(IsYearComplete("20245"));
    EXPECT_FALSE(IsYearComplete("-024"));
}

TEST(YearField, AnEditedIncompleteYearKeepsTheFocus) {
    EXPECT_FALSE(MayLeaveYearField("20", true));
    EXPECT_TRUE(MayLeaveYearField("2024", true));
}

TEST(YearField, AnUntouchedFieldMayAlwaysBeLeft) {
    EXPECT_TRUE(MayLeaveYearField("20", false));
}

TEST(MonthField, EmptyOrPartialMonthIsAccepted) {
    EXPECT_TRUE(IsMonthAcceptable(""));
    EXPECT_TRUE(IsMonthAcceptable("3"));
    EXPECT_TRUE(IsMonthAcceptable("03"));
}

TEST(MonthField, OnlyUpToTwoDigitsAreAccepted) {
    EXPECT_FALSE(IsMonthAcceptable("123"));
    EXPECT_FALSE(IsMonthAcceptable("a1"));
    EXPECT_FALSE(IsMonthAcceptable(" 1"));
}

}  // namespace
