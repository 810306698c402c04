#include "config/run_report.h"

namespace sortwell::config {

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool IsBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

}  // namespace

std::string LastErrorLine(std::string_view output) {
    while (!output.empty()) {
        const std::size_t lastBreak = output.find_last_of('\n');
        std::string_view line =
            lastBreak == std::string_view::npos ? output : output.substr(lastBreak + 1);
        output =
            lastBreak == std::string_view::npos ? std::string_view{} : output.substr(0, lastBreak);
        if (IsBlankLine(line)) {
            continue;
        }
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.remove_suffix(1);
        }
        if (line.size() > kQuotedErrorLength) {
            return std::string(line.substr(0, kQuotedErrorLength)) + "...";
        }
        return std::string(line);
    }
    return {};
}

std::string StartProblem(std::string_view program, std::string_view reason) {
    return "The program " + Quoted(program) + " could not be started: " + std::string(reason);
}

std::string ExitProblem(std::string_view program, const platform::ProgramExit& exit) {
    std::string problem = "The program " + Quoted(program);
    if (exit.signal != 0) {
        problem += " was ended by signal " + std::to_string(exit.signal);
    } else {
        problem += " ended with exit code " + std::to_string(exit.exitCode);
    }
    const std::string lastLine = LastErrorLine(exit.errorTail);
    if (!lastLine.empty()) {
        problem += ": " + lastLine;
    }
    return problem;
}

std::string TimeLimitProblem(std::string_view program) {
    return "The program " + Quoted(program) + " did not end within " +
           std::to_string(kProgramTimeLimit.count()) + " s and was ended.";
}

std::string UnconfirmedProblem() {
    return "The programs of this sequence have not been confirmed on this machine; press Run to "
           "confirm them.";
}

std::string ConfirmationQuestion(const std::vector<std::string>& programs) {
    std::string text =
        "The automation sequence starts these programs, which have not been confirmed on this "
        "machine:\n";
    for (const std::string& program : programs) {
        text += "\n    " + program;
    }
    text += "\n\nLet the sequence run them?";
    return text;
}

}  // namespace sortwell::config
