#include "desk/inbox.h"

#include <gtest/gtest.h>

namespace sortwell::desk {
namespace {

using std::chrono::minutes;
const std::chrono::system_clock::time_point kNoon{std::chrono::hours(24 * 365 * 44)};

InboxEntry At(const std::string& name, int minutesAfterNoon) {
    return {name, kNoon + minutes(minutesAfterNoon)};
}

using Names = std::vector<std::string>;

TEST(InboxTest, NewNamesWaitOldestFirstWhateverTheListingOrder) {
    Inbox inbox;
    const Names joined = inbox.Update({At("a.pdf", 5), At("b.pdf", 1), At("c.pdf", 3)}, "");
    EXPECT_EQ(joined, (Names{"b.pdf", "c.pdf", "a.pdf"}));
    EXPECT_EQ(inbox.Names(), (Names{"b.pdf", "c.pdf", "a.pdf"}));
    EXPECT_EQ(inbox.size(), 3U);
}

TEST(InboxTest, EqualTimesKeepTheListingOrder) {
    Inbox inbox;
    inbox.Update({At("z.pdf", 1), At("a.pdf", 1)}, "");
    EXPECT_EQ(inbox.Names(), (Names{"z.pdf", "a.pdf"}));
}

TEST(InboxTest, ALaterListingAddsOnlyTheNewNamesByTheirTime) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1), At("c.pdf", 9)}, "");
    const Names joined = inbox.Update({At("a.pdf", 1), At("b.pdf", 4), At("c.pdf", 9)}, "");
    EXPECT_EQ(joined, (Names{"b.pdf"}));
    EXPECT_EQ(inbox.Names(), (Names{"a.pdf", "b.pdf", "c.pdf"}));
}

TEST(InboxTest, TheDocumentOnTheDeskNeverWaits) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1), At("b.pdf", 2)}, "");
    EXPECT_EQ(inbox.TakeNext(), "a.pdf");
    const Names joined = inbox.Update({At("a.pdf", 1), At("b.pdf", 2)}, "a.pdf");
    EXPECT_TRUE(joined.empty());
    EXPECT_EQ(inbox.Names(), (Names{"b.pdf"}));
}

TEST(InboxTest, AWaitingNameThatComesOnTheDeskLeavesTheQueue) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1), At("b.pdf", 2)}, "");
    inbox.Update({At("a.pdf", 1), At("b.pdf", 2)}, "b.pdf");
    EXPECT_EQ(inbox.Names(), (Names{"a.pdf"}));
}

TEST(InboxTest, AVanishedNameLeavesTheQueueQuietly) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1), At("b.pdf", 2), At("c.pdf", 3)}, "");
    const Names joined = inbox.Update({At("a.pdf", 1), At("c.pdf", 3)}, "");
    EXPECT_TRUE(joined.empty());
    EXPECT_EQ(inbox.Names(), (Names{"a.pdf", "c.pdf"}));
    EXPECT_FALSE(inbox.Contains("b.pdf"));
}

TEST(InboxTest, ANameThatComesBackWaitsAgain) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1)}, "");
    inbox.Update({}, "");
    EXPECT_TRUE(inbox.empty());
    EXPECT_EQ(inbox.Update({At("a.pdf", 7)}, ""), (Names{"a.pdf"}));
}

TEST(InboxTest, TakeNextEmptiesTheQueueInOrder) {
    Inbox inbox;
    inbox.Update({At("b.pdf", 2), At("a.pdf", 1)}, "");
    EXPECT_EQ(inbox.TakeNext(), "a.pdf");
    EXPECT_EQ(inbox.TakeNext(), "b.pdf");
    EXPECT_EQ(inbox.TakeNext(), "");
    EXPECT_TRUE(inbox.empty());
}

TEST(InboxTest, PutFirstGoesAheadAndStaysAheadOfLaterArrivals) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1), At("b.pdf", 2), At("scan.pdf", 8)}, "");
    inbox.PutFirst("scan.pdf");
    inbox.Update({At("a.pdf", 1), At("b.pdf", 2), At("scan.pdf", 8), At("early.pdf", 0)}, "");
    EXPECT_EQ(inbox.Names(), (Names{"scan.pdf", "early.pdf", "a.pdf", "b.pdf"}));
}

TEST(InboxTest, PutFirstOfANameThatDoesNotWaitChangesNothing) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1)}, "");
    inbox.PutFirst("other.pdf");
    EXPECT_EQ(inbox.Names(), (Names{"a.pdf"}));
}

TEST(InboxTest, ForgettingTheFoundKeepsTheHandedOverAndRemoveTakesOne) {
    Inbox inbox;
    inbox.Update({At("a.pdf", 1)}, "");
    EXPECT_TRUE(inbox.Add(At("given.pdf", 5), ""));
    EXPECT_FALSE(inbox.Add(At("given.pdf", 6), "")) << "queued once";
    EXPECT_FALSE(inbox.Add(At("desk.pdf", 6), "desk.pdf")) << "the one on the desk never waits";
    inbox.ForgetFound();
    EXPECT_EQ(inbox.Names(), (Names{"given.pdf"}));
    EXPECT_EQ(inbox.Update({At("a.pdf", 1), At("given.pdf", 5)}, ""), (Names{"a.pdf"}));
    inbox.Remove("given.pdf");
    EXPECT_EQ(inbox.Names(), (Names{"a.pdf"}));
}

TEST(InboxTest, CountTexts) {
    EXPECT_EQ(MoreWaitingText(0), "");
    EXPECT_EQ(MoreWaitingText(2), "2 more waiting");
    EXPECT_EQ(DocumentsWaitingText(0), "");
    EXPECT_EQ(DocumentsWaitingText(1), "1 document waiting");
    EXPECT_EQ(DocumentsWaitingText(3), "3 documents waiting");
}

}  // namespace
}  // namespace sortwell::desk
