// Any bytes as an automation sequence: the text splits into lines that put it back together,
// every step the runner can take is one that moves on, waits for a window or ends the run, and
// the editing buttons and the key planner keep their promises.
//
// The input up to its first NUL byte is the sequence, the rest names windows (one title per
// NUL-separated part); the whole input is also run as a sequence, NUL bytes and all.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "config/sequence_language.h"
#include "config/sequence_step.h"
#include "config/type_text.h"
#include "config/window_list.h"
#include "platform/utf8.h"

namespace {

using namespace sortwell::config;  // NOLINT(google-build-using-namespace)
using sortwell::Utf8SequenceLength;
using sortwell::platform::KeyEvent;
using sortwell::platform::NamedKey;
using sortwell::platform::ShiftState;
using sortwell::platform::WindowInfo;

// Appending is quadratic in the number of lines, so only the first lines are appended again.
constexpr std::size_t kAppendedLines = 16;

void Check(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

// Every modifier answer the planner knows, and some it does not, spread over the characters.
ShiftState ShiftStateFor(char32_t character) {
    constexpr ShiftState kStates[] = {0, 1, 2, 6, 7, -1};
    return kStates[character % 6];
}

bool IsModifier(NamedKey key) {
    return key == NamedKey::Shift || key == NamedKey::Control || key == NamedKey::AltGr;
}

std::string Utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

// The text as the keys would type it: every kind of line break as one "\n".
std::string WithOneBreakKind(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsBreak(text[i])) {
            out += '\n';
            if (i + 1 < text.size() && IsBreak(text[i + 1]) && text[i + 1] != text[i]) {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

// Every key goes down and up again, a character with at most the modifier it needs, and the
// keys type exactly the text.
void CheckKeyPlan(std::string_view text, LetterE letterE) {
    const std::vector<KeyEvent> events = TypeText(text, ShiftStateFor, letterE);
    std::string typed;
    std::set<NamedKey> modifiersDown;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const KeyEvent& event = events[i];
        if (const auto* key = std::get_if<NamedKey>(&event.key)) {
            if (IsModifier(*key)) {
                if (event.action == KeyEvent::Action::Press) {
                    Check(modifiersDown.insert(*key).second);
                } else {
                    modifiersDown.erase(*key);
                }
                continue;
            }
            Check(event.action == KeyEvent::Action::Press && modifiersDown.empty());
            Check(i + 1 < events.size() && events[i + 1].action == KeyEvent::Action::Release &&
                  events[i + 1].key == event.key);
            ++i;
            Check(*key != NamedKey::Escape || letterE == LetterE::PressesEscape);
            typed += *key == NamedKey::Enter    ? "\n"
                     : *key == NamedKey::Tab    ? "\t"
                     : *key == NamedKey::Escape ? "e"
                                                : " ";
            continue;
        }
        const char32_t character = std::get<char32_t>(event.key);
        Check(event.action == KeyEvent::Action::Press);
        Check(character <= 0x10FFFF && (character < 0xD800 || character > 0xDFFF));
        Check(character != U'\r' && character != U'\n' && character != U'\t' && character != U' ');
        Check(character != U'e' || letterE == LetterE::Typed);
        const ShiftState state = ShiftStateFor(character);
        const bool needsModifier = state == 1 || state == 2 || state == 6;
        Check(modifiersDown.size() == (needsModifier ? 1U : 0U));
        Check(i + 4 < events.size());
        Check(events[i + 1] == (KeyEvent{KeyEvent::Action::Release, character}));
        Check(events[i + 2] == (KeyEvent{KeyEvent::Action::Release, NamedKey::Shift}));
        Check(events[i + 3] == (KeyEvent{KeyEvent::Action::Release, NamedKey::Control}));
        Check(events[i + 4] == (KeyEvent{KeyEvent::Action::Release, NamedKey::AltGr}));
        modifiersDown.clear();
        i += 4;
        typed += Utf8Of(character);
    }
    Check(modifiersDown.empty());
    if (IsValidUtf8(text)) {
        Check(typed == WithOneBreakKind(text));
    }
}

// The lines are views that, with the breaks between them, make up the text again.
void CheckLines(std::string_view text) {
    const std::vector<std::string_view> lines = SequenceLines(text);
    Check(lines.size() == LineCount(text));
    Check(text.empty() == lines.empty());
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        Check(line.data() == text.data() + at);
        Check(line.find_first_of("\r\n") == std::string_view::npos);
        const std::string_view found = LineAt(text, i);
        Check(found.data() == line.data() && found.size() == line.size());
        at += line.size();
        if (at < text.size()) {
            Check(IsBreak(text[at]));
            at += text.compare(at, 2, "\r\n") == 0 ? 2 : 1;
        }
    }
    Check(at == text.size());
    Check(LineAt(text, lines.size()).empty());
    Check(LineAt(text, lines.size() + 1).empty());
    Check(LineAt(text, std::numeric_limits<std::size_t>::max()).empty());
}

void CheckSplit(std::string_view line) {
    const SequenceLine split = SplitLine(line);
    Check(split.keyword.data() == line.data());
    if (split.argument.empty()) {
        Check(split.keyword == line);
    } else {
        Check(split.keyword.find(':') == std::string_view::npos);
        Check(split.keyword.size() + 1 + split.argument.size() == line.size());
        Check(line[split.keyword.size()] == ':');
        Check(split.argument.data() == line.data() + split.keyword.size() + 1);
    }
    const Command command = CommandOf(split.keyword);
    Check(command == Command::None ? KeywordOf(command).empty()
                                   : KeywordOf(command) == split.keyword);
}

// The independent reading of a window pattern: "*x*" contains, "x" equals, anything else none.
bool PatternMatches(std::string_view pattern, std::string_view title) {
    const bool lead = !pattern.empty() && pattern.front() == '*';
    const bool trail = pattern.size() > (lead ? 1U : 0U) && pattern.back() == '*';
    if (lead && trail) {
        return title.find(pattern.substr(1, pattern.size() - 2)) != std::string_view::npos;
    }
    return !lead && !trail && title == pattern;
}

void CheckFind(const WindowList& windows, std::string_view pattern) {
    const int index = windows.FindWindowIndex(pattern);
    const auto& entries = windows.Entries();
    Check(index >= -1 && index < static_cast<int>(entries.size()));
    const std::size_t end = index < 0 ? entries.size() : static_cast<std::size_t>(index);
    for (std::size_t i = 0; i < end; ++i) {
        Check(!PatternMatches(pattern, entries[i].title));
    }
    if (index >= 0) {
        Check(PatternMatches(pattern, entries[end].title));
        Check(windows.WindowHandleOf(pattern) == entries[end].handle);
        Check(windows.ProcessIdOf(pattern) == entries[end].pid);
    } else {
        Check(!windows.WindowHandleOf(pattern).has_value() && windows.ProcessIdOf(pattern) == -1);
    }
}

void CheckWindow(const StepDecision& decision, StepAction expected, std::string_view pattern,
                 const WindowList& windows) {
    const int index = windows.FindWindowIndex(pattern);
    Check(decision.advance && decision.intervalMs == kStepIntervalMs);
    if (index < 0) {
        Check(decision.action == StepAction::Nothing);
    } else {
        Check(decision.action == expected);
        Check(decision.window.handle == windows.Entries()[static_cast<std::size_t>(index)].handle);
    }
}

void CheckTyping(const StepDecision& decision, std::string_view text, LetterE letterE) {
    Check(decision.advance && decision.intervalMs == kStepIntervalMs);
    Check(decision.action == StepAction::TypeKeys);
    Check(decision.text == text && decision.letterE == letterE);
    CheckKeyPlan(decision.text, decision.letterE);
}

void CheckStep(const StepDecision& decision, std::string_view line, const WindowList& windows) {
    const auto [keyword, argument] = SplitLine(line);
    const Command command = CommandOf(keyword);
    Check(decision.intervalMs.has_value() && *decision.intervalMs > 0);
    Check(decision.error.empty() || command == Command::WaitSeconds || command == Command::Run);
    if (!decision.advance && command != Command::Run) {
        Check(command == Command::WaitWindow || command == Command::UnwaitWindow);
        Check(decision.action == StepAction::Nothing &&
              decision.intervalMs == kWindowWaitIntervalMs);
    }
    const bool listed = windows.WindowHandleOf(argument).has_value();
    switch (command) {
        case Command::WaitWindow:
        case Command::UnwaitWindow:
            Check(decision.action == StepAction::Nothing);
            Check(decision.advance == (listed == (command == Command::WaitWindow)));
            break;
        case Command::Switch:
            CheckWindow(decision, StepAction::SwitchWindow, argument, windows);
            break;
        case Command::Close:
            CheckWindow(decision, StepAction::CloseProcess, argument, windows);
            break;
        case Command::WaitSeconds:
            Check(decision.advance && decision.action == StepAction::Nothing);
            if (const auto seconds = ToInteger(argument)) {
                Check(decision.error.empty());
                Check(decision.intervalMs == WaitSecondsInterval(*seconds));
                Check(*seconds > 0 || decision.intervalMs == kStepIntervalMs);
            } else {
                Check(decision.error == NotAnIntegerMessage(argument));
                Check(decision.intervalMs == kStepIntervalMs);
            }
            break;
        case Command::Tab:
            CheckTyping(decision, "\t", LetterE::Typed);
            break;
        case Command::Space:
            CheckTyping(decision, " ", LetterE::Typed);
            break;
        case Command::Esc:
            CheckTyping(decision, "e", LetterE::PressesEscape);
            break;
        case Command::Enter:
            CheckTyping(decision, "\r", LetterE::Typed);
            break;
        case Command::Type:
            CheckTyping(decision, argument, LetterE::Typed);
            break;
        case Command::HandleDocument:
            Check(decision.advance && decision.action == StepAction::HandOver);
            break;
        case Command::Run: {
            // The runner moves on once the program has ended.
            Check(!decision.advance && decision.intervalMs == kStepIntervalMs);
            const RunCommand parsed = ParseRunArgument(argument);
            if (parsed.error.empty()) {
                Check(decision.action == StepAction::RunProgram && decision.error.empty());
                Check(decision.run.program == parsed.program && !parsed.program.empty());
                Check(decision.run.arguments == parsed.arguments);
            } else {
                Check(decision.action == StepAction::StopRun && decision.error == parsed.error);
            }
            break;
        }
        case Command::None:
            Check(decision.advance && decision.action == StepAction::Nothing);
            Check(decision.intervalMs == kStepIntervalMs);
            break;
    }
}

// Every line the runner can reach, the lines just before and past the end, and a negative one.
void CheckRun(std::string_view sequence, const WindowList& windows) {
    const std::size_t count = LineCount(sequence);
    for (std::size_t i = 0; i <= count + 1; ++i) {
        const int line = static_cast<int>(i);
        const StepDecision decision = DecideStep(line, sequence, windows);
        if (i > 0 && i >= count) {
            Check(decision.action == StepAction::AbortRun && !decision.intervalMs &&
                  !decision.advance && decision.activity.empty() && decision.error.empty());
            continue;
        }
        const std::string_view text = LineAt(sequence, i);
        Check(decision.activity == std::to_string(line) + ": " + std::string(text));
        CheckStep(decision, text, windows);
    }
    Check(DecideStep(-1, sequence, windows).action == StepAction::AbortRun);
    Check(DecideStep(std::numeric_limits<int>::min(), sequence, windows).action ==
          StepAction::AbortRun);
}

// The "Wait Seconds" button writes a line that the runner reads as the same number.
void CheckWaitSecondsButton(std::string_view field, const WindowList& windows) {
    const AppendedLine appended = WaitSecondsLine(field);
    const auto seconds = ToInteger(field);
    if (!seconds) {
        Check(appended.line.empty() && appended.error == NotAnIntegerMessage(field));
        return;
    }
    Check(appended.error.empty());
    Check(ToInteger(SplitLine(appended.line).argument) == seconds);
    const StepDecision decision = DecideStep(0, appended.line, windows);
    Check(decision.intervalMs == WaitSecondsInterval(*seconds) && decision.error.empty());
}

// A line without a break, appended, becomes the one new last line after the break the text
// already uses, and leaves the others be.
void CheckAppend(std::string_view sequence, std::string_view line) {
    if (line.empty() || line.find_first_of("\r\n") != std::string_view::npos) {
        return;
    }
    const std::string appended = AppendLine(sequence, line);
    Check(appended.starts_with(sequence) && appended.ends_with(line));
    const std::string_view added = std::string_view(appended).substr(
        sequence.size(), appended.size() - sequence.size() - line.size());
    if (sequence.empty() || IsBreak(sequence.back())) {
        Check(added.empty());
    } else {
        const std::size_t first = sequence.find_first_of("\r\n");
        const bool crLf = first == std::string_view::npos || sequence.substr(first, 2) == "\r\n";
        Check(added == (crLf ? "\r\n" : sequence.substr(first, 1)));
    }
    const std::vector<std::string_view> before = SequenceLines(sequence);
    const std::vector<std::string_view> after = SequenceLines(appended);
    Check(after.size() == before.size() + 1);
    for (std::size_t i = 0; i < before.size(); ++i) {
        Check(after[i] == before[i]);
    }
    Check(after.back() == line);
}

WindowList WindowsFrom(std::string_view titles) {
    std::vector<WindowInfo> windows{
        {1, 100, "ScanSnap QuickMenu"},
        {2, 0, "Loading"},
        {0, 7, "No handle"},
        {3, -4, std::string(WindowList::kApplicationTitle)},
    };
    std::uint64_t handle = 10;
    std::size_t start = 0;
    while (start <= titles.size() && windows.size() < 64) {
        const std::size_t end = std::min(titles.find('\0', start), titles.size());
        windows.push_back({handle, static_cast<std::int64_t>(handle % 3) - 1,
                           std::string(titles.substr(start, end - start))});
        ++handle;
        start = end + 1;
    }
    WindowList list;
    list.Refresh(windows);
    Check(list.Entries().size() <= windows.size() - 2);
    for (const WindowInfo& entry : list.Entries()) {
        Check(entry.handle != 0 && entry.pid >= 0 && !entry.title.empty());
        std::size_t characters = 0;
        for (std::string_view rest = entry.title; !rest.empty(); ++characters) {
            const std::size_t length = Utf8SequenceLength(rest);
            rest.remove_prefix(length == 0 ? 1 : length);
        }
        Check(characters <= WindowList::kMaxTitleLength);
    }
    return list;
}

void CheckSequence(std::string_view sequence, const WindowList& windows) {
    CheckLines(sequence);
    CheckKeyPlan(sequence, LetterE::Typed);
    CheckKeyPlan(sequence, LetterE::PressesEscape);
    CheckRun(sequence, windows);
    const std::vector<std::string_view> lines = SequenceLines(sequence);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        CheckSplit(line);
        const std::string_view argument = SplitLine(line).argument;
        CheckFind(windows, argument);
        if (i < kAppendedLines) {
            CheckWaitSecondsButton(argument, windows);
            CheckAppend(sequence, line);
            CheckAppend(sequence, CommandLine(CommandOf(SplitLine(line).keyword), argument));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view sequence = input.substr(0, nul);
    const WindowList windows =
        WindowsFrom(nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1));
    CheckSequence(sequence, windows);
    if (nul != std::string_view::npos) {
        CheckSequence(input, windows);
    }
    return 0;
}
