// The tags the tag field offers: the latest few first, then the most used.
#include "desk/tag_history.h"

#include <gtest/gtest.h>

namespace sortwell::desk {
namespace {

// Filings with these tags, oldest first.
std::vector<FiledDocument> filingsTagged(const std::vector<std::string>& tags) {
    std::vector<FiledDocument> filings;
    for (const std::string& tag : tags) {
        FiledDocument filing;
        filing.serial = filings.size() + 1;
        filing.entries.tag = tag;
        filings.push_back(filing);
    }
    return filings;
}

using Tags = std::vector<std::string>;

TEST(SuggestTags, TheLatestThreeLeadThenTheOthersByCount) {
    const auto filings = filingsTagged(
        {"Bank", "Tax", "Bank", "Insurance", "Bank", "Tax", "Car", "Doctor", "Rent", "Rent"});
    // Latest: Rent, Doctor, Car; then Bank (3), Tax (2), Insurance (1).
    EXPECT_EQ(SuggestTags(filings, 10),
              (Tags{"Rent", "Doctor", "Car", "Bank", "Tax", "Insurance"}));
}

TEST(SuggestTags, ATieInCountGoesToTheOneUsedLast) {
    const auto filings = filingsTagged({"Old", "Newer", "Gas", "Water", "Power", "Phone"});
    EXPECT_EQ(SuggestTags(filings, 10), (Tags{"Phone", "Power", "Water", "Gas", "Newer", "Old"}));
}

TEST(SuggestTags, TheLimitCutsTheListAndEmptyTagsNeverShow) {
    const auto filings = filingsTagged({"A", "", "B", "B", "", "C", "D"});
    EXPECT_EQ(SuggestTags(filings, 4), (Tags{"D", "C", "B", "A"}));
    EXPECT_EQ(SuggestTags(filings, 2), (Tags{"D", "C"}));
    EXPECT_TRUE(SuggestTags(filings, 0).empty());
    EXPECT_TRUE(SuggestTags(filingsTagged({"", ""}), 5).empty());
}

TEST(SuggestTags, TagsStayAsTypedAndDifferInCaseOrSpaces) {
    const auto filings = filingsTagged({"tax office", "Tax Office", "tax office"});
    EXPECT_EQ(SuggestTags(filings, 5), (Tags{"tax office", "Tax Office"}));
}

}  // namespace
}  // namespace sortwell::desk
