#include "desk/folder_pattern.h"

#include <algorithm>
#include <array>

#include "desk/filing.h"

namespace sortwell::desk {
namespace {

constexpr std::array<std::string_view, 4> kPlaceholders{"%MONTH", "%YEAR", "%TAG", "%NAME"};

bool holdsPlaceholder(std::string_view text) {
    return std::ranges::any_of(kPlaceholders, [text](std::string_view placeholder) {
        return text.find(placeholder) != std::string_view::npos;
    });
}

// Filing is the judge, so the warning can never disagree with what a click on the button does.
FilingPlan samplePlan(std::string_view pattern, bool attach) {
    FilingRequest request;
    request.folderPattern = std::string(pattern);
    request.entries = {"01", "2000", "x", "x"};
    request.inputFolder = "/input";
    request.documentName = "scan0001.pdf";
    request.attach = attach;
    return PlanFiling(request);
}

// Words for the first empty, "." or ".." level of the absolute `path`; empty text for none.
std::string badLevel(std::string_view path) {
    for (std::size_t start = 1; start <= path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, slash - start);
        if (part.empty()) {
            return "an empty level (\"//\")";
        }
        if (part == "." || part == "..") {
            return "a \"" + std::string(part) + "\" level";
        }
        start = slash + 1;
    }
    return {};
}

// Says in the pattern's terms why `plan`, made from it, was refused.
std::string explain(std::string_view pattern, const FilingPlan& plan, bool onlyWithoutAttach) {
    if (pattern.empty()) {
        return "There is no folder pattern yet; filing with this button will be refused.";
    }
    if (!pattern.starts_with('/')) {
        return "The folder pattern must start with \"/\"; filing refuses a relative folder.";
    }
    const std::string level = badLevel(plan.targetPath);
    if (level.empty()) {
        return "Filing will refuse this folder pattern: " + plan.problem;
    }
    return "The folder pattern has " + level + "; filing will refuse it" +
           (onlyWithoutAttach ? " while \"Attach original file name\" is off" : "") + ".";
}

}  // namespace

bool FolderNeedsTag(const std::string& folder) {
    return folder.find("%TAG") != std::string::npos;
}

std::string PatternProblem(std::string_view pattern) {
    if (const FilingPlan plan = samplePlan(pattern, true); !plan.problem.empty()) {
        return explain(pattern, plan, false);
    }
    if (const FilingPlan plan = samplePlan(pattern, false); !plan.problem.empty()) {
        return explain(pattern, plan, true);
    }
    return {};
}

std::string PatternInFolder(std::string_view folder, std::string_view current) {
    std::string pattern(folder);
    if (!pattern.ends_with('/')) {
        pattern += '/';
    }
    const std::size_t slash = current.rfind('/');
    const std::string_view last =
        slash == std::string_view::npos ? current : current.substr(slash + 1);
    if (holdsPlaceholder(last)) {
        pattern += last;
    }
    return pattern;
}

}  // namespace sortwell::desk
