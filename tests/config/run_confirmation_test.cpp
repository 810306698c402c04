#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/qdreg.h"
#include "config/run_confirmation.h"
#include "config/run_digest.h"
#include "fakes/fake_host.h"

namespace {

using namespace sortwell::config;  // NOLINT(google-build-using-namespace)
using sortwell::test::FakeHost;

const std::string kMachine = "machine-a";
const std::string kWithRun = "WAITSECONDS:1\r\nRUN:scanimage -o x.pdf\r\nHANDLEDOCUMENT";

class RunConfirmationTest : public ::testing::Test {
protected:
    FakeHost fakes;
    TQDReg store{fakes.host()};
};

TEST(RunDigestTest, MatchesTheKnownDigests) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Two blocks: the padding does not fit after 56 bytes.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(RunProgramsTest, ListsEachRunLineOnceInOrder) {
    const std::string sequence = "RUN:b -x\nENTER\nRUN:a\nRUN:b -x\nRUN:\nTYPE:RUN:c";
    EXPECT_EQ(RunPrograms(sequence), (std::vector<std::string>{"b -x", "a"}));
    EXPECT_TRUE(RunPrograms("ENTER\r\nHANDLEDOCUMENT").empty());
}

TEST_F(RunConfirmationTest, ASequenceWithoutRunNeedsNoConfirmation) {
    EXPECT_TRUE(IsConfirmed(store, "WAITSECONDS:1\r\nENTER", kMachine));
    EXPECT_TRUE(IsConfirmed(store, "", kMachine));
}

TEST_F(RunConfirmationTest, ConfirmingASequenceWithoutRunKeepsNothing) {
    Confirm(store, "ENTER", kMachine);
    EXPECT_EQ(ConfirmedRuns(store), "");
}

TEST_F(RunConfirmationTest, ARunLineIsConfirmedOnlyAfterConfirm) {
    EXPECT_FALSE(IsConfirmed(store, kWithRun, kMachine));
    Confirm(store, kWithRun, kMachine);
    EXPECT_TRUE(IsConfirmed(store, kWithRun, kMachine));
    EXPECT_FALSE(store.Pop(std::string(kConfirmedRunsKey)).empty());
}

TEST_F(RunConfirmationTest, AnEditedSequenceAsksAgain) {
    Confirm(store, kWithRun, kMachine);
    EXPECT_FALSE(IsConfirmed(store, kWithRun + "\r\nRUN:rm -r x", kMachine));
}

TEST_F(RunConfirmationTest, LineBreaksDoNotMatter) {
    Confirm(store, kWithRun, kMachine);
    EXPECT_TRUE(
        IsConfirmed(store, "WAITSECONDS:1\nRUN:scanimage -o x.pdf\nHANDLEDOCUMENT\n", kMachine));
}

TEST_F(RunConfirmationTest, AConfirmationFromAnotherMachineCountsForNothing) {
    Confirm(store, kWithRun, "machine-b");
    EXPECT_FALSE(IsConfirmed(store, kWithRun, kMachine));
}

TEST_F(RunConfirmationTest, KeepsOnlyTheNewestConfirmations) {
    Confirm(store, kWithRun, kMachine);
    for (std::size_t i = 0; i < kConfirmationsKept; ++i) {
        Confirm(store, "RUN:tool " + std::to_string(i), kMachine);
    }
    EXPECT_FALSE(IsConfirmed(store, kWithRun, kMachine));
    EXPECT_TRUE(IsConfirmed(store, "RUN:tool 1", kMachine));
}

TEST_F(RunConfirmationTest, ConfirmingAgainMovesItToTheFront) {
    Confirm(store, kWithRun, kMachine);
    for (std::size_t i = 0; i + 1 < kConfirmationsKept; ++i) {
        Confirm(store, "RUN:tool " + std::to_string(i), kMachine);
    }
    Confirm(store, kWithRun, kMachine);
    Confirm(store, "RUN:one more", kMachine);
    EXPECT_TRUE(IsConfirmed(store, kWithRun, kMachine));
    EXPECT_FALSE(IsConfirmed(store, "RUN:tool 0", kMachine));
}

TEST_F(RunConfirmationTest, RestoringPutsBackWhatAnImportReplaced) {
    Confirm(store, kWithRun, kMachine);
    const std::string kept = ConfirmedRuns(store);
    store.Clear();
    store.Push(std::string(kConfirmedRunsKey), ConfirmationDigest("RUN:evil", kMachine));
    RestoreConfirmedRuns(store, kept);
    EXPECT_TRUE(IsConfirmed(store, kWithRun, kMachine));
    EXPECT_FALSE(IsConfirmed(store, "RUN:evil", kMachine));
}

}  // namespace
