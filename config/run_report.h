#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/program_runner.h"

namespace sortwell::config {

// How long a RUN line may take before its program is ended and the run stopped.
inline constexpr std::chrono::seconds kProgramTimeLimit{300};
// The longest piece of a program's error output that a report quotes.
inline constexpr std::size_t kQuotedErrorLength = 300;

// The last line of `output` that holds more than blanks, without its line break, cut to
// kQuotedErrorLength; empty when there is none.
std::string LastErrorLine(std::string_view output);

// Why a RUN line stopped the run, for the activity text and the notice.
std::string StartProblem(std::string_view program, std::string_view reason);
std::string ExitProblem(std::string_view program, const platform::ProgramExit& exit);
std::string TimeLimitProblem(std::string_view program);
std::string UnconfirmedProblem();

// The question asked before programs that were not confirmed here may run.
std::string ConfirmationQuestion(const std::vector<std::string>& programs);

}  // namespace sortwell::config
