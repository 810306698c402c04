#include "desk/hand_over.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "desk/filing.h"
#include "desk/free_name.h"
#include "platform/document_name.h"

namespace sortwell::desk {
namespace {

namespace fs = std::filesystem;

bool isReadable(const std::string& path) {
    const std::ifstream probe(path, std::ios::binary);
    return probe.is_open();
}

// The same folder whatever links or "." and ".." lead to it.
std::string canonicalFolder(const std::string& folder) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(folder, error);
    return error ? fs::path(folder).lexically_normal().string() : resolved.string();
}

HandOverPlan refused(const std::string& file, const std::string& why) {
    return {file, {}, file + ": " + why};
}

}  // namespace

const std::string_view kUsageText =
    "Usage: sortwell [[--present] FILE... | --undo]\n"
    "Files scanned documents with one click.\n"
    "\n"
    "  --present FILE...  hand the PDF files to the running desk (starting it if needed);\n"
    "                     files from elsewhere are moved into the input folder first;\n"
    "                     files without --present are handed over the same way\n"
    "  --undo             take back the last filing: the document returns to the input\n"
    "                     folder and to the desk (starting it if needed)\n"
    "  --help             show this text\n"
    "  --version          show the version\n";

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return {};
    }
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h") {
        return {CommandLine::Action::Help, {}, {}};
    }
    if (first == "--version") {
        return {CommandLine::Action::Version, {}, {}};
    }
    if (first == "--undo") {
        if (arguments.size() > 1) {
            return {CommandLine::Action::Refuse, {}, "--undo takes no files; see --help"};
        }
        return {CommandLine::Action::Undo, {}, {}};
    }
    // Files alone are presented too, as a file manager's "Open with" passes them.
    const bool onlyFiles = !first.starts_with('-');
    if (first != "--present" && !onlyFiles) {
        return {CommandLine::Action::Refuse, {}, "unknown argument \"" + first + "\"; see --help"};
    }
    CommandLine present{CommandLine::Action::Present, {}, {}};
    present.files.assign(arguments.begin() + (onlyFiles ? 0 : 1), arguments.end());
    if (present.files.empty()) {
        return {CommandLine::Action::Refuse, {}, "--present needs at least one file"};
    }
    return present;
}

HandOverPlan PlanHandOver(const std::string& file, const std::string& workingFolder,
                          const std::string& inputFolder, platform::DocumentFiles& files) {
    const fs::path given(file);
    const std::string source =
        (given.is_absolute() ? given : fs::path(workingFolder) / given).lexically_normal().string();
    if (files.folderExists(source)) {
        return refused(file, "is a folder, not a PDF file");
    }
    const platform::DocumentStat stat = files.statDocument(source);
    if (!stat.problem.empty()) {
        return {source, {}, stat.problem};  // it names the file already
    }
    const std::string name = fs::path(source).filename().string();
    if (!platform::EndsInPdf(name)) {
        return refused(file, "is not a PDF file (the name does not end in \".pdf\")");
    }
    if (!isReadable(source)) {
        return refused(file, "cannot be read");
    }
    if (inputFolder.empty() || !files.folderExists(inputFolder)) {
        return refused(file, "the input folder \"" + inputFolder + "\" does not exist");
    }
    // Named under the folder as the settings give it, which is how the desk knows it.
    const std::string folder = SourceFolder(fs::path(inputFolder).lexically_normal().string());
    if (canonicalFolder(fs::path(source).parent_path().string()) == canonicalFolder(inputFolder)) {
        return {source, folder + name, {}};
    }
    const std::string target = FreePathIn(folder, name, 1, files);
    if (target.empty()) {
        return refused(file, "the input folder has no free name for it");
    }
    return {source, target, {}};
}

HandOverPlan CarryOut(HandOverPlan plan, platform::DocumentFiles& files) {
    if (!plan.problem.empty() ||
        canonicalFolder(fs::path(plan.source).parent_path().string()) ==
            canonicalFolder(fs::path(plan.target).parent_path().string())) {
        return plan;
    }
    const std::string folder = SourceFolder(fs::path(plan.target).parent_path().string());
    const std::string name = fs::path(plan.source).filename().string();
    for (int number = 2; number < kMostNameTries; ++number) {
        const std::string problem = files.moveDocument(plan.source, plan.target);
        if (problem.empty()) {
            return plan;
        }
        // Only a name taken since the plan is worth another try; any other failure is final.
        if (!NameTaken(plan.target, files) || !files.statDocument(plan.source).problem.empty()) {
            plan.problem = plan.source + ": " + problem;
            return plan;
        }
        plan.target = FreePathIn(folder, name, number, files);
        if (plan.target.empty()) {
            break;
        }
    }
    plan.problem = plan.source + ": the input folder has no free name for it";
    return plan;
}

HandOverResult HandOverAll(const std::vector<std::string>& files, const std::string& workingFolder,
                           const std::string& inputFolder, platform::DocumentFiles& documents) {
    std::vector<HandOverPlan> plans;
    HandOverResult result;
    for (const std::string& file : files) {
        plans.push_back(PlanHandOver(file, workingFolder, inputFolder, documents));
        if (!plans.back().problem.empty()) {
            result.problems.push_back(plans.back().problem);
        }
    }
    if (!result.problems.empty()) {
        return result;
    }
    for (HandOverPlan& plan : plans) {
        plan = CarryOut(std::move(plan), documents);
        if (plan.problem.empty()) {
            result.paths.push_back(plan.target);
        } else {
            result.problems.push_back(plan.problem);
        }
    }
    return result;
}

}  // namespace sortwell::desk
