#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/run_arguments.h"
#include "config/sequence_language.h"
#include "config/type_text.h"
#include "config/window_list.h"
#include "platform/keyboard.h"
#include "platform/window_system.h"

namespace sortwell::config {

// The pause before the next step as a rule, and while a window wait does not yet hold.
constexpr int kStepIntervalMs = 200;
constexpr int kWindowWaitIntervalMs = 1000;
// The activity text while no run goes on.
constexpr std::string_view kNoActivity = "n/a";
// Why a key step stops a run where the desktop takes no synthesised keys.
constexpr const char* kNoKeysMessage =
    "This desktop lets no program type into other windows. Use RUN steps or watch the input "
    "folder.";

enum class StepAction {
    Nothing,
    CloseProcess,  // end the process that owns `window`
    SwitchWindow,  // bring `window` to the front
    TypeKeys,      // type `text`
    HandOver,      // start document detection, then switch the step timer off
    AbortRun,      // the sequence is over: stop and reset the runner, nothing else
    RunProgram,    // start `run` and stay on the line until it has ended
    StopRun,       // the line cannot be carried out: stop the run and show `error`
};

// Which part of the desktop a line needs: the window list (WAITWINDOW, UNWAITWINDOW, SWITCH,
// CLOSE), the keyboard (ENTER, TAB, SPACE, ESC, TYPE), or neither.
enum class DesktopNeed { None, Windows, Keys };

// What one tick of the step timer does.
struct StepDecision {
    StepAction action = StepAction::Nothing;
    // The step timer's next interval; nothing when it stays as it is.
    std::optional<int> intervalMs;
    // Whether currentLine moves on by one.
    bool advance = false;
    // The activity text "<currentLine>: <line>"; empty for AbortRun, which shows kNoActivity.
    std::string activity;
    // CloseProcess and SwitchWindow: the first listed window that the argument matches.
    platform::WindowInfo window;
    // TypeKeys: the text and what a lower-case "e" in it stands for.
    std::string text;
    LetterE letterE = LetterE::Typed;
    // RunProgram: the program and its arguments as written, before expansion.
    RunCommand run;
    // A message for the user about the line; the decision above still holds.
    std::string error;
    // What the line needs of the desktop, whatever the decision.
    DesktopNeed need = DesktopNeed::None;
};

// The step for line `currentLine` of `sequence`, looking windows up in `windows`. Past the last
// line (with currentLine above 0) or at a negative line the run ends; at line 0 even an empty
// sequence runs its one empty line. A "WAITSECONDS:" line waits n seconds for a positive n,
// goes on after the usual pause for 0 or less, and for a text that is no integer reports
// NotAnIntegerMessage and goes on to the next line, so that it never stalls nor repeats. A
// "RUN:" line does not move on by itself: the runner moves on once the program has ended well.
StepDecision DecideStep(int currentLine, std::string_view sequence, const WindowList& windows);

// Carries out the host part of a decision (ending a process, raising a window, typing keys).
// Returns why it failed, or empty text.
std::string PerformStep(const StepDecision& decision, platform::WindowSystem& windowSystem,
                        platform::ProcessControl& processControl, platform::Keyboard& keyboard);

// A decimal integer: an optional sign and digits, nothing else, within the range of int.
std::optional<int> ToInteger(std::string_view text);

// "'<text>' is not a valid integer value".
std::string NotAnIntegerMessage(std::string_view text);

// The pause after "WAITSECONDS:" with `seconds`: the usual pause for 0 or less, and no more
// than the longest interval a timer holds (about 24 days).
int WaitSecondsInterval(int seconds);

// A line as the editing buttons append it: the keyword, and for the commands that take one,
// a colon and `argument` as given (a key command or HANDLEDOCUMENT ignores it).
std::string CommandLine(Command command, std::string_view argument = {});

// The line the "Wait Seconds" button appends, or why it appends nothing.
struct AppendedLine {
    std::string line;   // empty when `error` is set
    std::string error;  // NotAnIntegerMessage of the field's text
};

// "WAITSECONDS:" and the field's number in plain decimal ("05" gives WAITSECONDS:5).
AppendedLine WaitSecondsLine(std::string_view fieldText);

// `sequence` with `line` appended as its new last line, using the line break the text already
// uses (CR LF when it has none yet).
std::string AppendLine(std::string_view sequence, std::string_view line);

}  // namespace sortwell::config
