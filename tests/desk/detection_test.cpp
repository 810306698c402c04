#include "desk/detection.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace sortwell::desk {
namespace {

using Names = std::vector<std::string>;

KnownFiles baselineOf(const Names& listing) {
    KnownFiles known;
    known.TakeBaseline(listing);
    return known;
}

// The comparison as first written: each name against the whole list of known names.
std::string linearFirstNew(const Names& listing, const Names& knownList) {
    for (const std::string& name : listing) {
        bool isKnown = false;
        for (const std::string& knownName : knownList) {
            isKnown = isKnown || knownName == name;
        }
        if (!isKnown) {
            return name;
        }
    }
    return {};
}

TEST(FindNewDocument, FilesThereAtTheBaselineAreNeverNew) {
    const Names listing{"a.pdf", "b.pdf"};
    EXPECT_EQ(FindNewDocument(listing, baselineOf(listing)), "");
}

TEST(FindNewDocument, TheFirstNewNameInListingOrderWins) {
    const KnownFiles known = baselineOf({"b.pdf"});
    EXPECT_EQ(FindNewDocument({"a2.pdf", "b.pdf", "c.pdf"}, known), "a2.pdf");
    EXPECT_EQ(FindNewDocument({"b.pdf", "c.pdf", "a2.pdf"}, known), "c.pdf");
}

TEST(FindNewDocument, ANameDifferingOnlyInLetterCaseIsNew) {
    EXPECT_EQ(FindNewDocument({"SCAN.pdf"}, baselineOf({"scan.pdf"})), "SCAN.pdf");
}

TEST(FindNewDocument, WithNoBaselineTheFirstFileIsNew) {
    EXPECT_EQ(FindNewDocument({"a.pdf", "b.pdf"}, KnownFiles{}), "a.pdf");
}

TEST(FindNewDocument, AKnownNameThatLeftAndCameBackIsNotNew) {
    const KnownFiles known = baselineOf({"a.pdf", "gone.pdf"});
    EXPECT_EQ(FindNewDocument({"a.pdf", "gone.pdf"}, known), "");
}

TEST(FindNewDocument, GivesTheSameAnswerAsTheLinearScan) {
    std::mt19937 random(20140901);
    std::uniform_int_distribution<int> pick(0, 30);
    for (int round = 0; round < 500; ++round) {
        Names knownList;
        Names listing;
        for (int i = pick(random) % 12; i > 0; --i) {
            knownList.push_back("s" + std::to_string(pick(random)) + ".pdf");
        }
        for (int i = pick(random) % 12; i > 0; --i) {
            listing.push_back("s" + std::to_string(pick(random)) + ".pdf");
        }
        EXPECT_EQ(FindNewDocument(listing, baselineOf(knownList)),
                  linearFirstNew(listing, knownList));
    }
}

TEST(KnownFiles, ABaselineReplacesTheKnownNames) {
    KnownFiles known = baselineOf({"a.pdf", "b.pdf"});
    known.TakeBaseline({"c.pdf"});
    EXPECT_EQ(known.size(), 1U);
    EXPECT_TRUE(known.Contains("c.pdf"));
    EXPECT_FALSE(known.Contains("a.pdf"));
}

TEST(DetectionDecision, ABaselineKeepsThePendingDocument) {
    KnownFiles known;
    EXPECT_EQ(DetectionDecision(true, {"a.pdf", "new.pdf"}, known, "new.pdf"), "new.pdf");
    EXPECT_TRUE(known.Contains("a.pdf"));
    EXPECT_TRUE(known.Contains("new.pdf"));
}

TEST(DetectionDecision, ABaselineOnAnEmptyDeskPresentsNothing) {
    KnownFiles known;
    EXPECT_EQ(DetectionDecision(true, {"a.pdf"}, known, ""), "");
}

TEST(DetectionDecision, APollFindsTheFirstNewNameWithoutLearningIt) {
    KnownFiles known = baselineOf({"a.pdf"});
    EXPECT_EQ(DetectionDecision(false, {"a.pdf", "b.pdf", "c.pdf"}, known, ""), "b.pdf");
    EXPECT_FALSE(known.Contains("b.pdf"));
    // Filed or not, the document is still new to the next run.
    EXPECT_EQ(DetectionDecision(false, {"a.pdf", "b.pdf"}, known, ""), "b.pdf");
}

TEST(DetectionDecision, APollWithoutFindKeepsThePendingDocument) {
    KnownFiles known = baselineOf({"a.pdf"});
    EXPECT_EQ(DetectionDecision(false, {"a.pdf"}, known, "pending.pdf"), "pending.pdf");
    EXPECT_EQ(DetectionDecision(false, {"a.pdf"}, known, ""), "");
}

TEST(DetectionDecision, ANewFileSortingBeforeThePendingOneTakesItsPlace) {
    KnownFiles known = baselineOf({"m.pdf"});
    EXPECT_EQ(DetectionDecision(false, {"a.pdf", "m.pdf", "p.pdf"}, known, "p.pdf"), "a.pdf");
}

}  // namespace
}  // namespace sortwell::desk
