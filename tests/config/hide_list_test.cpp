#include "config/hide_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sortwell::config::ApplyHide;
using sortwell::config::GetHide;
using sortwell::config::IsHidden;
using sortwell::config::NameCheck;
using sortwell::config::SplitHide;
using sortwell::config::VisibleForList;
using Names = std::vector<std::string>;

VisibleForList AnnaBenCarl() {
    return {{"Anna", true}, {"Ben", true}, {"Carl", true}};
}

std::vector<bool> Checks(const VisibleForList& list) {
    std::vector<bool> checks;
    for (const NameCheck& item : list) {
        checks.push_back(item.checked);
    }
    return checks;
}

TEST(SplitHide, CommaSeparatesNames) {
    EXPECT_EQ(SplitHide("Anna,Ben"), (Names{"Anna", "Ben"}));
    EXPECT_EQ(SplitHide("Anna"), (Names{"Anna"}));
}

TEST(SplitHide, EmptyTextListsNoName) {
    EXPECT_TRUE(SplitHide("").empty());
}

TEST(SplitHide, CommaAtTheEndAddsNoName) {
    EXPECT_EQ(SplitHide("Anna,"), (Names{"Anna"}));
    EXPECT_EQ(SplitHide(","), (Names{""}));
}

TEST(SplitHide, LeadingOrDoubledCommaGivesAnEmptyName) {
    EXPECT_EQ(SplitHide(",Ben"), (Names{"", "Ben"}));
    EXPECT_EQ(SplitHide("Anna,,Ben"), (Names{"Anna", "", "Ben"}));
    EXPECT_EQ(SplitHide(",,"), (Names{"", ""}));
}

TEST(SplitHide, BlanksBelongToTheName) {
    EXPECT_EQ(SplitHide(" Anna , Ben"), (Names{" Anna ", " Ben"}));
}

TEST(IsHidden, MatchesAListedNameExactly) {
    EXPECT_TRUE(IsHidden("Anna,Ben", "Ben"));
    EXPECT_TRUE(IsHidden("Anna,Ben", "Anna"));
    EXPECT_FALSE(IsHidden("Anna,Ben", "Carl"));
}

TEST(IsHidden, LetterCaseAndBlanksCount) {
    EXPECT_FALSE(IsHidden("anna", "Anna"));
    EXPECT_FALSE(IsHidden("Anna ", "Anna"));
    EXPECT_FALSE(IsHidden("Anna, Ben", "Ben"));
    EXPECT_TRUE(IsHidden("Anna, Ben", " Ben"));
}

TEST(IsHidden, APrefixIsNotTheName) {
    EXPECT_FALSE(IsHidden("Anna", "Ann"));
    EXPECT_FALSE(IsHidden("Ann", "Anna"));
    EXPECT_TRUE(IsHidden("Anna,Ann", "Ann"));
    EXPECT_FALSE(IsHidden("AnnaBen", "Anna"));
}

TEST(IsHidden, EmptyNameIsHiddenOnlyByAnEmptyEntry) {
    EXPECT_FALSE(IsHidden("", ""));
    EXPECT_FALSE(IsHidden("Anna,", ""));
    EXPECT_TRUE(IsHidden(",Ben", ""));
    EXPECT_TRUE(IsHidden("Anna,,Ben", ""));
    EXPECT_TRUE(IsHidden(",", ""));
}

TEST(IsHidden, NameWithACommaIsNeverMatched) {
    // The hide text has no escape: "Smith,Anna" lists two names, not one.
    EXPECT_FALSE(IsHidden("Smith,Anna", "Smith,Anna"));
    EXPECT_TRUE(IsHidden("Smith,Anna", "Smith"));
}

TEST(ApplyHide, UnchecksTheListedNamesAndChecksTheRest) {
    VisibleForList list = AnnaBenCarl();
    list[0].checked = false;
    ApplyHide(list, "Ben");
    EXPECT_EQ(Checks(list), (std::vector<bool>{true, false, true}));
}

TEST(ApplyHide, EmptyTextChecksEveryName) {
    VisibleForList list{{"Anna", false}, {"Ben", false}};
    ApplyHide(list, "");
    EXPECT_EQ(Checks(list), (std::vector<bool>{true, true}));
}

TEST(ApplyHide, IgnoresNamesNoLongerInTheList) {
    VisibleForList list = AnnaBenCarl();
    ApplyHide(list, "Dora,Carl");
    EXPECT_EQ(Checks(list), (std::vector<bool>{true, true, false}));
}

TEST(ApplyHide, UnchecksEveryItemOfADuplicatedName) {
    VisibleForList list{{"Anna", true}, {"Ben", true}, {"Anna", true}};
    ApplyHide(list, "Anna");
    EXPECT_EQ(Checks(list), (std::vector<bool>{false, true, false}));
}

TEST(ApplyHide, KeepsNamesAndTheirOrder) {
    VisibleForList list = AnnaBenCarl();
    ApplyHide(list, "Carl,Anna");
    EXPECT_EQ(list, (VisibleForList{{"Anna", false}, {"Ben", true}, {"Carl", false}}));
}

TEST(GetHide, JoinsUncheckedNamesInListOrder) {
    VisibleForList list = AnnaBenCarl();
    ApplyHide(list, "Ben");
    list[2].checked = false;
    const auto result = GetHide(list);
    EXPECT_EQ(result.hide, "Ben,Carl");
    EXPECT_EQ(result.error, "");
}

TEST(GetHide, EveryNameCheckedGivesTheEmptyText) {
    const auto result = GetHide(AnnaBenCarl());
    EXPECT_EQ(result.hide, "");
    EXPECT_EQ(result.error, "");
}

TEST(GetHide, NoNamesGivesTheEmptyText) {
    EXPECT_EQ(GetHide({}).hide, "");
}

TEST(GetHide, DropsANameThatIsNoLongerListed) {
    VisibleForList list = AnnaBenCarl();
    ApplyHide(list, "Dora,Ben");
    EXPECT_EQ(GetHide(list).hide, "Ben");
}

TEST(GetHide, RoundTripsThroughApplyHide) {
    VisibleForList list{{"Ann", false}, {"Anna", true}, {" Ben ", false}, {"carl", false}};
    const std::string hide = GetHide(list).hide;
    EXPECT_EQ(hide, "Ann, Ben ,carl");
    VisibleForList reread{{"Ann", true}, {"Anna", false}, {" Ben ", true}, {"carl", true}};
    ApplyHide(reread, hide);
    EXPECT_EQ(reread, list);
}

TEST(GetHide, LeavesOutANameWithACommaAndSaysWhy) {
    const VisibleForList list{{"Anna", false}, {"Smith, Ben", false}, {"Smith", true}};
    const auto result = GetHide(list);
    // Writing it would hide the button for "Smith" and " Ben" instead.
    EXPECT_EQ(result.hide, "Anna");
    EXPECT_NE(result.error.find("\"Smith, Ben\""), std::string::npos) << result.error;
    EXPECT_FALSE(IsHidden(result.hide, "Smith"));
}

TEST(GetHide, LeavesOutAnEmptyNameAndSaysWhy) {
    const VisibleForList list{{"Anna", false}, {"", false}};
    const auto result = GetHide(list);
    EXPECT_EQ(result.hide, "Anna");
    EXPECT_NE(result.error, "");
}

TEST(GetHide, ACheckedUnwritableNameIsNoProblem) {
    const VisibleForList list{{"", true}, {"Smith, Ben", true}, {"Carl", false}};
    const auto result = GetHide(list);
    EXPECT_EQ(result.hide, "Carl");
    EXPECT_EQ(result.error, "");
}

}  // namespace
