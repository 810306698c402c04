#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/document_files.h"

namespace sortwell::desk {

// What a start of the program was asked to do by its arguments.
struct CommandLine {
    enum class Action { RunDesk, Help, Version, Present, Undo, Refuse };
    Action action = Action::RunDesk;
    std::vector<std::string> files;  // with Present, as given
    std::string problem;             // with Refuse
};

// `arguments` without the program's own name. Files given without --present are presented
// all the same.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What --help prints.
extern const std::string_view kUsageText;

// A file given on the command line, checked and placed: `target` is where it will be in the
// input folder, which is `source` itself when it is already there.
struct HandOverPlan {
    std::string source;
    std::string target;
    std::string problem;  // non-empty: the file is refused and nothing is done with it
};

// Checks `file` (relative to `workingFolder`) and finds its place in `inputFolder`: a missing
// file, a folder, a file whose name does not end in ".pdf" or one that cannot be read is
// refused. A file from elsewhere gets its own name in the input folder, or a free one such as
// "scan (2).pdf" when that is taken.
HandOverPlan PlanHandOver(const std::string& file, const std::string& workingFolder,
                          const std::string& inputFolder, platform::DocumentFiles& files);

// Moves the planned file into the input folder without replacing anything; a name taken in
// the meantime makes it try the next free one. Returns the path it has now, or the problem in
// `problem` with the file left where it was.
HandOverPlan CarryOut(HandOverPlan plan, platform::DocumentFiles& files);

// The files of one --present: every one is checked first, and when any is refused nothing is
// moved. Then each is moved in turn; `paths` are where they are now in the input folder.
struct HandOverResult {
    std::vector<std::string> paths;
    std::vector<std::string> problems;
};
HandOverResult HandOverAll(const std::vector<std::string>& files, const std::string& workingFolder,
                           const std::string& inputFolder, platform::DocumentFiles& documents);

}  // namespace sortwell::desk
