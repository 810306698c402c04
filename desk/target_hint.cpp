#include "desk/target_hint.h"

#include <algorithm>
#include <array>
#include <utility>

namespace sortwell::desk {
namespace {

constexpr std::array<std::string_view, 4> kPlaceholders{"%MONTH", "%YEAR", "%TAG", "%NAME"};
constexpr std::string_view kStandInDocument = "scan.pdf";

std::size_t FirstPlaceholder(std::string_view pattern) {
    std::size_t first = std::string_view::npos;
    for (const std::string_view placeholder : kPlaceholders) {
        first = std::min(first, pattern.find(placeholder));
    }
    return first;
}

}  // namespace

std::string FixedFolder(std::string_view pattern) {
    if (!pattern.starts_with('/')) {
        return {};
    }
    return TargetFolder(pattern.substr(0, FirstPlaceholder(pattern)));
}

TargetHint DescribeTarget(FilingRequest request, bool fixedFolderExists) {
    if (request.documentName.empty()) {
        request.documentName = kStandInDocument;
    }
    FilingPlan plan = PlanFiling(request);
    TargetHint hint;
    if (!plan.problem.empty()) {
        hint.problem = std::move(plan.problem);
        return hint;
    }
    hint.path = std::move(plan.targetPath);
    if (!fixedFolderExists) {
        hint.missingFolder = FixedFolder(request.folderPattern);
    }
    return hint;
}

std::string TargetTooltip(const TargetHint& hint) {
    if (!hint.problem.empty()) {
        return "This target cannot file: " + hint.problem;
    }
    std::string tip = "Files to " + hint.path;
    if (!hint.missingFolder.empty()) {
        tip += "\nThe folder " + hint.missingFolder +
               " does not exist (is its drive or network share connected?).";
    }
    return tip;
}

std::string MissingFolderQuestion(std::string_view folder) {
    return "The folder " + std::string(folder) + " does not exist. Create it and file here?";
}

}  // namespace sortwell::desk
