#include "config/sequence_step.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace sortwell::config {

namespace {

StepDecision Proceed(int intervalMs) {
    StepDecision decision;
    decision.intervalMs = intervalMs;
    decision.advance = true;
    return decision;
}

// A window wait that does not hold yet: the same line again after a second.
StepDecision WaitLonger() {
    StepDecision decision;
    decision.intervalMs = kWindowWaitIntervalMs;
    return decision;
}

bool IsListed(std::string_view pattern, const WindowList& windows) {
    return windows.WindowHandleOf(pattern).has_value();
}

StepDecision ActOnWindow(StepAction action, std::string_view pattern, const WindowList& windows) {
    StepDecision decision = Proceed(kStepIntervalMs);
    const int index = windows.FindWindowIndex(pattern);
    if (index >= 0) {
        decision.action = action;
        decision.window = windows.Entries()[static_cast<std::size_t>(index)];
    }
    return decision;
}

StepDecision WaitSeconds(std::string_view argument) {
    const std::optional<int> seconds = ToInteger(argument);
    if (!seconds) {
        StepDecision decision = Proceed(kStepIntervalMs);
        decision.error = NotAnIntegerMessage(argument);
        return decision;
    }
    return Proceed(WaitSecondsInterval(*seconds));
}

StepDecision Type(std::string_view text, LetterE letterE) {
    StepDecision decision = Proceed(kStepIntervalMs);
    decision.action = StepAction::TypeKeys;
    decision.text = text;
    decision.letterE = letterE;
    return decision;
}

StepDecision RunProgram(std::string_view argument) {
    StepDecision decision;
    decision.intervalMs = kStepIntervalMs;
    decision.run = ParseRunArgument(argument);
    if (!decision.run.error.empty()) {
        decision.action = StepAction::StopRun;
        decision.error = decision.run.error;
        return decision;
    }
    decision.action = StepAction::RunProgram;
    return decision;
}

DesktopNeed NeedOf(Command command) {
    switch (command) {
        case Command::WaitWindow:
        case Command::UnwaitWindow:
        case Command::Switch:
        case Command::Close:
            return DesktopNeed::Windows;
        case Command::Tab:
        case Command::Space:
        case Command::Esc:
        case Command::Enter:
        case Command::Type:
            return DesktopNeed::Keys;
        default:
            return DesktopNeed::None;
    }
}

StepDecision DecideLine(std::string_view line, const WindowList& windows) {
    const auto [keyword, argument] = SplitLine(line);
    switch (CommandOf(keyword)) {
        case Command::Close:
            return ActOnWindow(StepAction::CloseProcess, argument, windows);
        case Command::Switch:
            return ActOnWindow(StepAction::SwitchWindow, argument, windows);
        case Command::WaitSeconds:
            return WaitSeconds(argument);
        case Command::WaitWindow:
            return IsListed(argument, windows) ? Proceed(kStepIntervalMs) : WaitLonger();
        case Command::UnwaitWindow:
            return IsListed(argument, windows) ? WaitLonger() : Proceed(kStepIntervalMs);
        case Command::Tab:
            return Type("\t", LetterE::Typed);
        case Command::Space:
            return Type(" ", LetterE::Typed);
        case Command::Esc:
            return Type("e", LetterE::PressesEscape);
        case Command::Enter:
            return Type("\r", LetterE::Typed);
        case Command::Type:
            return Type(argument, LetterE::Typed);
        case Command::HandleDocument: {
            StepDecision decision = Proceed(kStepIntervalMs);
            decision.action = StepAction::HandOver;
            return decision;
        }
        case Command::Run:
            return RunProgram(argument);
        case Command::None:
            break;
    }
    return Proceed(kStepIntervalMs);
}

bool IsPastTheEnd(int currentLine, std::string_view sequence) {
    return currentLine < 0 ||
           (currentLine > 0 && static_cast<std::size_t>(currentLine) >= LineCount(sequence));
}

bool TakesArgument(Command command) {
    switch (command) {
        case Command::WaitWindow:
        case Command::UnwaitWindow:
        case Command::Switch:
        case Command::Close:
        case Command::WaitSeconds:
        case Command::Type:
        case Command::Run:
            return true;
        default:
            return false;
    }
}

std::string_view LineBreakOf(std::string_view text) {
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) {
        return "\r\n";
    }
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
        return "\r\n";
    }
    return text.substr(at, 1);
}

}  // namespace

StepDecision DecideStep(int currentLine, std::string_view sequence, const WindowList& windows) {
    if (IsPastTheEnd(currentLine, sequence)) {
        StepDecision decision;
        decision.action = StepAction::AbortRun;
        return decision;
    }
    const std::string_view line = LineAt(sequence, static_cast<std::size_t>(currentLine));
    StepDecision decision = DecideLine(line, windows);
    decision.need = NeedOf(CommandOf(SplitLine(line).keyword));
    decision.activity = std::to_string(currentLine) + ": " + std::string(line);
    return decision;
}

std::string PerformStep(const StepDecision& decision, platform::WindowSystem& windowSystem,
                        platform::ProcessControl& processControl, platform::Keyboard& keyboard) {
    switch (decision.action) {
        case StepAction::CloseProcess: {
            const std::string reason =
                processControl.endProcess(decision.window.pid, decision.window.handle);
            return reason.empty() ? reason
                                  : "Could not end the program of the window \"" +
                                        decision.window.title + "\": " + reason;
        }
        case StepAction::SwitchWindow:
            return windowSystem.activate(decision.window.handle)
                       ? std::string()
                       : "The window \"" + decision.window.title + "\" no longer exists.";
        case StepAction::TypeKeys:
            return keyboard.send(TypeText(decision.text, keyboard, decision.letterE));
        default:
            return {};
    }
}

std::optional<int> ToInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // from_chars takes a minus but would also take "+-5" past the plus.
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string NotAnIntegerMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}

int WaitSecondsInterval(int seconds) {
    if (seconds <= 0) {
        return kStepIntervalMs;
    }
    constexpr std::int64_t kLongest = std::numeric_limits<int>::max();
    const std::int64_t milliseconds = static_cast<std::int64_t>(seconds) * 1000;
    return static_cast<int>(milliseconds < kLongest ? milliseconds : kLongest);
}

std::string CommandLine(Command command, std::string_view argument) {
    std::string line(KeywordOf(command));
    if (TakesArgument(command)) {
        line += ':';
        line += argument;
    }
    return line;
}

AppendedLine WaitSecondsLine(std::string_view fieldText) {
    const std::optional<int> seconds = ToInteger(fieldText);
    if (!seconds) {
        return {{}, NotAnIntegerMessage(fieldText)};
    }
    return {CommandLine(Command::WaitSeconds, std::to_string(*seconds)), {}};
}

std::string AppendLine(std::string_view sequence, std::string_view line) {
    std::string text(sequence);
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
        text += LineBreakOf(sequence);
    }
    text += line;
    return text;
}

}  // namespace sortwell::config
