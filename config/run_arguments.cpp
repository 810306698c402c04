#include "config/run_arguments.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <utility>

namespace sortwell::config {

namespace {

constexpr std::string_view kInputDir = "%INPUTDIR";
constexpr std::string_view kDateTime = "%DATETIME";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

RunCommand ParseRunArgument(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsBlank(c) && !quoted) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    RunCommand command;
    if (quoted) {
        command.error = "A double quote is not closed in \"" + std::string(text) + "\".";
        return command;
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    if (words.empty() || words.front().empty()) {
        command.error = "No program is named.";
        return command;
    }
    command.program = std::move(words.front());
    command.arguments.assign(std::make_move_iterator(words.begin() + 1),
                             std::make_move_iterator(words.end()));
    return command;
}

LocalTime LocalTimeOf(std::chrono::system_clock::time_point when) {
    const auto sinceEpoch = when.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    const auto whole = static_cast<std::time_t>(seconds.count());
    std::tm local{};
    localtime_r(&whole, &local);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds);
    return {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(millis.count())};
}

std::string DateTimeStamp(const LocalTime& time) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d%02d%02d-%02d%02d%02d-%03d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.millisecond);
    return text.data();
}

std::string ExpandRunArgument(std::string_view argument, std::string_view inputDir,
                              std::string_view stamp) {
    std::string expanded;
    std::size_t at = 0;
    while (at < argument.size()) {
        const std::string_view rest = argument.substr(at);
        if (rest.starts_with(kInputDir)) {
            expanded += inputDir;
            at += kInputDir.size();
        } else if (rest.starts_with(kDateTime)) {
            expanded += stamp;
            at += kDateTime.size();
        } else {
            expanded += argument[at++];
        }
    }
    return expanded;
}

RunCommand ExpandRunCommand(const RunCommand& command, std::string_view inputDir,
                            std::string_view stamp) {
    RunCommand expanded;
    expanded.program = command.program;
    expanded.error = command.error;
    for (const std::string& argument : command.arguments) {
        expanded.arguments.push_back(ExpandRunArgument(argument, inputDir, stamp));
    }
    return expanded;
}

}  // namespace sortwell::config
