#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "config/sequence_step.h"
#include "fakes/fake_keyboard.h"
#include "fakes/fake_window_system.h"

namespace {

using namespace sortwell::config;  // NOLINT(google-build-using-namespace)
using sortwell::platform::KeyEvent;
using sortwell::platform::NamedKey;
using sortwell::platform::WindowInfo;
using sortwell::test::FakeKeyboard;
using sortwell::test::FakeWindowSystem;

WindowList ListOf(const std::vector<WindowInfo>& windows) {
    WindowList list;
    list.Refresh(windows);
    return list;
}

// One line at line 0 against a list.
StepDecision Decide(const std::string& line, const WindowList& windows = {}) {
    return DecideStep(0, line, windows);
}

void ExpectProceedsAfter(const StepDecision& decision, int intervalMs) {
    EXPECT_TRUE(decision.advance);
    EXPECT_EQ(decision.intervalMs, std::optional<int>(intervalMs));
}

TEST(DecideStep, AnEmptySequenceRunsOneEmptyLineThenEnds) {
    const StepDecision first = DecideStep(0, "", {});
    EXPECT_EQ(first.action, StepAction::Nothing);
    ExpectProceedsAfter(first, kStepIntervalMs);
    EXPECT_EQ(first.activity, "0: ");

    const StepDecision second = DecideStep(1, "", {});
    EXPECT_EQ(second.action, StepAction::AbortRun);
    EXPECT_FALSE(second.advance);
    EXPECT_FALSE(second.intervalMs.has_value());
    EXPECT_EQ(second.activity, "");
}

TEST(DecideStep, EndsPastTheLastLineOrAtANegativeLine) {
    const std::string sequence = "TAB\r\nSPACE\r\n";
    EXPECT_EQ(DecideStep(1, sequence, {}).action, StepAction::TypeKeys);
    EXPECT_EQ(DecideStep(2, sequence, {}).action, StepAction::AbortRun);
    EXPECT_EQ(DecideStep(9, sequence, {}).action, StepAction::AbortRun);
    EXPECT_EQ(DecideStep(-1, sequence, {}).action, StepAction::AbortRun);
}

TEST(DecideStep, ActivityShowsTheLineNumberAndTheLineAsWritten) {
    EXPECT_EQ(DecideStep(1, "TAB\nENTER:x \nSPACE", {}).activity, "1: ENTER:x ");
    EXPECT_EQ(DecideStep(2, "TAB\nENTER:x \nSPACE", {}).activity, "2: SPACE");
}

TEST(DecideStep, WaitSecondsWaitsThatManySeconds) {
    ExpectProceedsAfter(Decide("WAITSECONDS:3"), 3000);
    ExpectProceedsAfter(Decide("WAITSECONDS:05"), 5000);
    EXPECT_EQ(Decide("WAITSECONDS:3").action, StepAction::Nothing);
}

TEST(DecideStep, WaitSecondsWithoutAPositiveNumberNeverStalls) {
    for (const std::string line : {"WAITSECONDS:0", "WAITSECONDS:-4", "WAITSECONDS:"}) {
        const StepDecision decision = Decide(line);
        ExpectProceedsAfter(decision, kStepIntervalMs);
        EXPECT_EQ(decision.error, "") << line;
    }
    ExpectProceedsAfter(Decide("WAITSECONDS:2147483647"), std::numeric_limits<int>::max());
}

TEST(DecideStep, WaitSecondsWithANonNumberIsReportedAndSkipped) {
    const StepDecision decision = Decide("WAITSECONDS:two");
    ExpectProceedsAfter(decision, kStepIntervalMs);
    EXPECT_EQ(decision.action, StepAction::Nothing);
    EXPECT_EQ(decision.error, "'two' is not a valid integer value");
    EXPECT_EQ(Decide("WAITSECONDS: 3").error, "' 3' is not a valid integer value");
    EXPECT_EQ(Decide("WAITSECONDS").error, "'' is not a valid integer value");
    EXPECT_EQ(Decide("WAITSECONDS:99999999999").error,
              "'99999999999' is not a valid integer value");
}

TEST(DecideStep, WaitWindowHoldsTheLineUntilTheWindowIsListed) {
    const StepDecision waiting = Decide("WAITWINDOW:Scanner", ListOf({{1, 10, "Scanner 2"}}));
    EXPECT_FALSE(waiting.advance);
    EXPECT_EQ(waiting.intervalMs, std::optional<int>(kWindowWaitIntervalMs));
    EXPECT_EQ(waiting.activity, "0: WAITWINDOW:Scanner");

    ExpectProceedsAfter(Decide("WAITWINDOW:*Scan*", ListOf({{1, 10, "Scanner 2"}})),
                        kStepIntervalMs);
}

TEST(DecideStep, UnwaitWindowHoldsTheLineWhileTheWindowIsListed) {
    const WindowList loading = ListOf({{1, 10, "Loading"}});
    const StepDecision waiting = Decide("UNWAITWINDOW:Loading", loading);
    EXPECT_FALSE(waiting.advance);
    EXPECT_EQ(waiting.intervalMs, std::optional<int>(kWindowWaitIntervalMs));

    ExpectProceedsAfter(Decide("UNWAITWINDOW:Loading", ListOf({{1, 10, "Now Loading"}})),
                        kStepIntervalMs);
}

TEST(DecideStep, SwitchAndCloseActOnTheFrontMatchingWindow) {
    const WindowList list = ListOf({{1, 10, "Other"}, {2, 0, " Scanner"}, {3, 30, " Scanner"}});
    const StepDecision switching = Decide("SWITCH: Scanner", list);
    EXPECT_EQ(switching.action, StepAction::SwitchWindow);
    EXPECT_EQ(switching.window.handle, 2U);
    ExpectProceedsAfter(switching, kStepIntervalMs);

    const StepDecision closing = Decide("CLOSE:*Scan*", list);
    EXPECT_EQ(closing.action, StepAction::CloseProcess);
    EXPECT_EQ(closing.window.handle, 2U);
    EXPECT_EQ(closing.window.pid, 0);
}

TEST(DecideStep, SwitchAndCloseWithoutAMatchDoNothingAndGoOn) {
    const WindowList list = ListOf({{1, 10, " Scanner"}});
    for (const std::string line : {"SWITCH:Scanner", "CLOSE:Scanner", "SWITCH:", "CLOSE:*"}) {
        const StepDecision decision = Decide(line, list);
        EXPECT_EQ(decision.action, StepAction::Nothing) << line;
        ExpectProceedsAfter(decision, kStepIntervalMs);
    }
}

TEST(DecideStep, KeyCommandsTypeTheirCharacterAndIgnoreAnyArgument) {
    const std::vector<std::pair<std::string, std::string>> table{
        {"TAB", "\t"}, {"SPACE:x", " "}, {"ESC", "e"}, {"ENTER:x", "\r"}};
    for (const auto& [line, text] : table) {
        const StepDecision decision = Decide(line);
        EXPECT_EQ(decision.action, StepAction::TypeKeys) << line;
        EXPECT_EQ(decision.text, text);
        EXPECT_EQ(decision.letterE == LetterE::PressesEscape, line == "ESC");
        ExpectProceedsAfter(decision, kStepIntervalMs);
    }
}

TEST(DecideStep, TypeTypesItsArgumentWithTheLetterE) {
    const StepDecision decision = Decide("TYPE:a:b e");
    EXPECT_EQ(decision.action, StepAction::TypeKeys);
    EXPECT_EQ(decision.text, "a:b e");
    EXPECT_EQ(decision.letterE, LetterE::Typed);
    EXPECT_EQ(Decide("TYPE:").action, StepAction::Nothing);
}

TEST(DecideStep, UnknownAndMiswrittenLinesDoNothing) {
    for (const std::string line : {"enter", "ENTER ", " TAB", "HELLO:x", ""}) {
        const StepDecision decision = Decide(line);
        EXPECT_EQ(decision.action, StepAction::Nothing) << line;
        ExpectProceedsAfter(decision, kStepIntervalMs);
    }
}

TEST(DecideStep, HandleDocumentHandsOverAndMovesOn) {
    for (const std::string line : {"HANDLEDOCUMENT", "HANDLEDOCUMENT:now"}) {
        const StepDecision decision = Decide(line);
        EXPECT_EQ(decision.action, StepAction::HandOver);
        ExpectProceedsAfter(decision, kStepIntervalMs);
    }
}

TEST(DecideStep, RunStartsTheProgramAndStaysOnTheLine) {
    const StepDecision decision = Decide(R"(RUN:scanimage -o "%INPUTDIR/a b.pdf")");
    EXPECT_EQ(decision.action, StepAction::RunProgram);
    EXPECT_FALSE(decision.advance);
    EXPECT_EQ(decision.intervalMs, kStepIntervalMs);
    EXPECT_EQ(decision.run.program, "scanimage");
    EXPECT_EQ(decision.run.arguments, (std::vector<std::string>{"-o", "%INPUTDIR/a b.pdf"}));
    EXPECT_TRUE(decision.error.empty());
    EXPECT_EQ(decision.activity, R"(0: RUN:scanimage -o "%INPUTDIR/a b.pdf")");
}

TEST(DecideStep, RunWithAnUnclosedQuoteStopsTheRunWithTheReason) {
    const StepDecision decision = Decide(R"(RUN:tool "x)");
    EXPECT_EQ(decision.action, StepAction::StopRun);
    EXPECT_FALSE(decision.advance);
    EXPECT_EQ(decision.error, R"(A double quote is not closed in "tool "x".)");
}

TEST(DecideStep, RunWithNothingAfterTheColonDoesNothing) {
    const StepDecision decision = Decide("RUN:");
    EXPECT_EQ(decision.action, StepAction::Nothing);
    ExpectProceedsAfter(decision, kStepIntervalMs);
}

class PerformStepTest : public ::testing::Test {
protected:
    FakeWindowSystem desktop;
    FakeKeyboard keyboard;

    std::string Perform(const std::string& line) {
        return PerformStep(Decide(line, ListOf(desktop.windows)), desktop, desktop, keyboard);
    }
};

TEST_F(PerformStepTest, SwitchRaisesTheWindow) {
    desktop.windows = {{5, 50, "Scanner"}};
    EXPECT_EQ(Perform("SWITCH:Scanner"), "");
    EXPECT_EQ(desktop.activated, std::vector<std::uint64_t>{5});
}

TEST_F(PerformStepTest, SwitchToAWindowThatClosedMeanwhileSaysSo) {
    const WindowList stale = ListOf({{5, 50, "Scanner"}});
    const std::string reason =
        PerformStep(Decide("SWITCH:Scanner", stale), desktop, desktop, keyboard);
    EXPECT_NE(reason.find("\"Scanner\""), std::string::npos) << reason;
    EXPECT_TRUE(desktop.activated.empty());
}

TEST_F(PerformStepTest, CloseEndsTheOwnerOfTheWindow) {
    desktop.windows = {{5, 50, "Scanner"}, {6, 0, "Viewer"}};
    EXPECT_EQ(Perform("CLOSE:Scanner"), "");
    EXPECT_EQ(Perform("CLOSE:Viewer"), "");
    EXPECT_EQ(desktop.ended,
              (std::vector<std::pair<std::int64_t, std::uint64_t>>{{50, 5}, {0, 6}}));
}

TEST_F(PerformStepTest, CloseRefusedByTheHostGivesItsReason) {
    desktop.windows = {{5, 50, "Scanner"}};
    desktop.refuseEndWith = "not permitted";
    const std::string reason = Perform("CLOSE:Scanner");
    EXPECT_NE(reason.find("not permitted"), std::string::npos) << reason;
}

TEST_F(PerformStepTest, KeyCommandsAndTextReachTheKeyboard) {
    keyboard.shiftStates = {{U'N', 1}};
    EXPECT_EQ(Perform("ESC"), "");
    EXPECT_EQ(Perform("TYPE:Ne"), "");
    const std::vector<KeyEvent> expected{
        {KeyEvent::Action::Press, NamedKey::Escape},
        {KeyEvent::Action::Release, NamedKey::Escape},
        {KeyEvent::Action::Press, NamedKey::Shift},
        {KeyEvent::Action::Press, U'N'},
        {KeyEvent::Action::Release, U'N'},
        {KeyEvent::Action::Release, NamedKey::Shift},
        {KeyEvent::Action::Release, NamedKey::Control},
        {KeyEvent::Action::Release, NamedKey::AltGr},
        {KeyEvent::Action::Press, U'e'},
        {KeyEvent::Action::Release, U'e'},
        {KeyEvent::Action::Release, NamedKey::Shift},
        {KeyEvent::Action::Release, NamedKey::Control},
        {KeyEvent::Action::Release, NamedKey::AltGr},
    };
    EXPECT_EQ(keyboard.sent, expected);
}

TEST_F(PerformStepTest, AKeyboardFailureIsReported) {
    keyboard.refuseWith = "no XTest";
    EXPECT_EQ(Perform("ENTER"), "no XTest");
}

TEST_F(PerformStepTest, OtherStepsTouchNoHost) {
    desktop.windows = {{5, 50, "Scanner"}};
    for (const std::string line : {"WAITWINDOW:Scanner", "HANDLEDOCUMENT", "WAITSECONDS:1", "x"}) {
        EXPECT_EQ(Perform(line), "");
    }
    EXPECT_TRUE(desktop.activated.empty());
    EXPECT_TRUE(desktop.ended.empty());
    EXPECT_TRUE(keyboard.sent.empty());
}

TEST(ToInteger, ReadsOnlyPlainDecimalIntegers) {
    EXPECT_EQ(ToInteger("05"), 5);
    EXPECT_EQ(ToInteger("+7"), 7);
    EXPECT_EQ(ToInteger("-3"), -3);
    EXPECT_EQ(ToInteger("-2147483648"), std::numeric_limits<int>::min());
    for (const std::string text :
         {"", "-", "+", "+-5", "--5", " 5", "5 ", "0x10", "$10", "1.5", "2147483648", "five"}) {
        EXPECT_FALSE(ToInteger(text).has_value()) << text;
    }
}

TEST(WaitSecondsInterval, StaysWithinWhatATimerHolds) {
    EXPECT_EQ(WaitSecondsInterval(1), 1000);
    EXPECT_EQ(WaitSecondsInterval(0), kStepIntervalMs);
    EXPECT_EQ(WaitSecondsInterval(-1), kStepIntervalMs);
    EXPECT_EQ(WaitSecondsInterval(2147483), 2147483000);
    EXPECT_EQ(WaitSecondsInterval(2147484), std::numeric_limits<int>::max());
}

TEST(EditingButtons, AppendTheirCommandLines) {
    EXPECT_EQ(CommandLine(Command::Tab), "TAB");
    EXPECT_EQ(CommandLine(Command::Enter), "ENTER");
    EXPECT_EQ(CommandLine(Command::Space), "SPACE");
    EXPECT_EQ(CommandLine(Command::Esc, "ignored"), "ESC");
    EXPECT_EQ(CommandLine(Command::HandleDocument), "HANDLEDOCUMENT");
    EXPECT_EQ(CommandLine(Command::Type, " a:b "), "TYPE: a:b ");
    EXPECT_EQ(CommandLine(Command::Type, ""), "TYPE:");
    EXPECT_EQ(CommandLine(Command::WaitWindow, " Scan*"), "WAITWINDOW: Scan*");
    EXPECT_EQ(CommandLine(Command::UnwaitWindow, "Loading"), "UNWAITWINDOW:Loading");
    EXPECT_EQ(CommandLine(Command::Switch, "Scanner"), "SWITCH:Scanner");
    EXPECT_EQ(CommandLine(Command::Close, "Scanner"), "CLOSE:Scanner");
    EXPECT_EQ(CommandLine(Command::Run, "scanimage -o x.pdf"), "RUN:scanimage -o x.pdf");
}

TEST(EditingButtons, WaitSecondsWritesTheNumberBackInPlainDecimal) {
    EXPECT_EQ(WaitSecondsLine("05").line, "WAITSECONDS:5");
    EXPECT_EQ(WaitSecondsLine("05").error, "");
    EXPECT_EQ(WaitSecondsLine("+12").line, "WAITSECONDS:12");
    const AppendedLine refused = WaitSecondsLine("5s");
    EXPECT_EQ(refused.line, "");
    EXPECT_EQ(refused.error, "'5s' is not a valid integer value");
    EXPECT_EQ(WaitSecondsLine("").error, "'' is not a valid integer value");
}

TEST(EditingButtons, AppendLineAddsANewLastLine) {
    EXPECT_EQ(AppendLine("", "TAB"), "TAB");
    EXPECT_EQ(AppendLine("ENTER", "TAB"), "ENTER\r\nTAB");
    EXPECT_EQ(AppendLine("ENTER\r\n", "TAB"), "ENTER\r\nTAB");
    EXPECT_EQ(AppendLine("A\nB", "TAB"), "A\nB\nTAB");
    EXPECT_EQ(AppendLine("A\rB", "TAB"), "A\rB\rTAB");
    EXPECT_EQ(LineCount(AppendLine("A\r\n\r\n", "TAB")), 3U);
}

TEST(EditingButtons, AppendLineAfterALoneCarriageReturnAddsNoEmptyLine) {
    EXPECT_EQ(AppendLine("ENTER\r", "TAB"), "ENTER\rTAB");
    EXPECT_EQ(LineCount(AppendLine("ENTER\r", "TAB")), 2U);
    EXPECT_EQ(AppendLine("A\r\nB\r", "TAB"), "A\r\nB\rTAB");
}

// Drives the steps the way the step timer does, against the fakes.
class DefaultSequenceRun : public ::testing::Test {
protected:
    const std::string sequence = DefaultSequence();
    FakeWindowSystem desktop;
    FakeKeyboard keyboard;
    WindowList windows;
    int currentLine = 0;
    int intervalMs = kStepIntervalMs;
    bool timerOn = true;
    std::string activity;

    StepDecision Tick() {
        windows.Refresh(desktop.listTopLevelWindows());
        StepDecision decision = DecideStep(currentLine, sequence, windows);
        if (decision.action == StepAction::AbortRun) {
            currentLine = 0;
            timerOn = false;
            activity = kNoActivity;
            return decision;
        }
        EXPECT_EQ(PerformStep(decision, desktop, desktop, keyboard), "");
        EXPECT_EQ(decision.error, "");
        intervalMs = decision.intervalMs.value_or(intervalMs);
        activity = decision.activity;
        timerOn = decision.action != StepAction::HandOver;
        currentLine += decision.advance ? 1 : 0;
        return decision;
    }

    // Ticks until the line changes; returns the pause that the last step set.
    int StepOverLine() {
        const int line = currentLine;
        Tick();
        EXPECT_EQ(currentLine, line + 1) << activity;
        return intervalMs;
    }

    std::size_t EntersPressed() const {
        return static_cast<std::size_t>(
            std::count(keyboard.sent.begin(), keyboard.sent.end(),
                       KeyEvent{KeyEvent::Action::Press, NamedKey::Enter}));
    }
};

TEST_F(DefaultSequenceRun, WaitsForTheScannerDrivesItAndHandsOver) {
    for (int i = 0; i < 3; ++i) {
        Tick();
        EXPECT_EQ(intervalMs, kWindowWaitIntervalMs);
        EXPECT_EQ(currentLine, 0);
        EXPECT_EQ(activity, "0: WAITWINDOW:ScanSnap QuickMenu");
    }

    desktop.open(0x42, 4242, "ScanSnap QuickMenu");
    desktop.open(0x7, 77, "Editor");
    EXPECT_EQ(StepOverLine(), kStepIntervalMs);
    EXPECT_EQ(StepOverLine(), kStepIntervalMs);  // SWITCH
    EXPECT_EQ(desktop.activated, std::vector<std::uint64_t>{0x42});
    EXPECT_EQ(StepOverLine(), 1000);  // WAITSECONDS:1

    desktop.open(0x50, 4242, "Loading");
    desktop.open(0x51, 88, "Now Loading");
    EXPECT_EQ(StepOverLine(), kStepIntervalMs);  // ENTER
    EXPECT_EQ(keyboard.sent, (std::vector<KeyEvent>{{KeyEvent::Action::Press, NamedKey::Enter},
                                                    {KeyEvent::Action::Release, NamedKey::Enter}}));

    for (int i = 0; i < 2; ++i) {
        Tick();
        EXPECT_EQ(intervalMs, kWindowWaitIntervalMs);
        EXPECT_EQ(activity, "4: UNWAITWINDOW:Loading");
    }
    desktop.close("Loading");
    EXPECT_EQ(StepOverLine(), kStepIntervalMs);

    EXPECT_EQ(StepOverLine(), 2000);
    EXPECT_EQ(StepOverLine(), kStepIntervalMs);  // ENTER
    EXPECT_EQ(StepOverLine(), 1000);
    EXPECT_EQ(StepOverLine(), kStepIntervalMs);  // ENTER
    EXPECT_EQ(StepOverLine(), 1000);
    EXPECT_EQ(EntersPressed(), 3U);
    EXPECT_EQ(keyboard.sent.size(), 6U);

    EXPECT_EQ(Tick().action, StepAction::HandOver);
    EXPECT_FALSE(timerOn);
    EXPECT_EQ(currentLine, 11);
    EXPECT_EQ(activity, "10: HANDLEDOCUMENT");

    // Filing switches the timer on again: the next step finds the end.
    EXPECT_EQ(Tick().action, StepAction::AbortRun);
    EXPECT_EQ(currentLine, 0);
    EXPECT_EQ(activity, kNoActivity);
    EXPECT_TRUE(desktop.ended.empty());
}

}  // namespace
