#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace sortwell::config {

// A "RUN:" argument taken apart: the program and what it is given, or why it cannot be.
struct RunCommand {
    std::string program;
    std::vector<std::string> arguments;
    std::string error;  // set when the text cannot be split; program and arguments are empty
};

// Splits at blanks, a run of blanks counting as one. Double quotes group blanks into one
// argument and are dropped; "" is an empty argument. There is no escape character, so a
// program and its arguments read as they would in a shell without one.
RunCommand ParseRunArgument(std::string_view text);

// The local time of day to the millisecond, as the %DATETIME stamp shows it.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The local time at `when`, by the machine's time zone.
LocalTime LocalTimeOf(std::chrono::system_clock::time_point when);

// "YYYYMMDD-HHMMSS-mmm".
std::string DateTimeStamp(const LocalTime& time);

// Replaces "%INPUTDIR" and "%DATETIME" in `argument`, left to right; what is put in is not
// looked at again, so a folder name holding "%DATETIME" stays as it is.
std::string ExpandRunArgument(std::string_view argument, std::string_view inputDir,
                              std::string_view stamp);

// The command with every argument expanded; the program name is taken as written.
RunCommand ExpandRunCommand(const RunCommand& command, std::string_view inputDir,
                            std::string_view stamp);

}  // namespace sortwell::config
