#include "desk/filing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>
#include <vector>

#include "desk/folder_pattern.h"

namespace sortwell::desk {
namespace {

struct TagRule {
    std::string_view search;
    std::string_view replacement;
};

// Applied top to bottom; the slashes go because a tag must never add a folder level.
constexpr std::array<TagRule, 12> kTagRules{{
    {" ", "_"},
    {"?", ""},
    {"/", ""},
    {"\\", ""},
    {"*", ""},
    {"|", ""},
    {"<", ""},
    {">", ""},
    {",", ""},
    {"\"", ""},
    {"'", ""},
    {":", ""},
}};

bool holdsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Why `name` is not a plain file name in the input folder, or empty text.
std::string documentNameProblem(std::string_view name) {
    if (name.empty()) {
        return "There is no document to file.";
    }
    if (name == "." || name == ".." || name.find('/') != std::string_view::npos || holdsNul(name)) {
        return "The document name " + quoted(name) + " is not a plain file name.";
    }
    return {};
}

// Why the target path could put the document somewhere the pattern does not show, or empty
// text. POSIX reads "a//b" as "a/b" and ".." as the parent, so neither may pass.
std::string targetPathProblem(std::string_view target) {
    if (holdsNul(target)) {
        return "The target path " + quoted(target) + " holds a NUL character.";
    }
    if (!target.starts_with('/')) {
        return "The target path " + quoted(target) + " does not start at the root folder \"/\".";
    }
    std::size_t start = 1;
    for (;;) {
        const std::size_t slash = target.find('/', start);
        const std::string_view part = target.substr(start, slash - start);
        if (part.empty()) {
            return "The target path " + quoted(target) + " has an empty part.";
        }
        if (part == "." || part == "..") {
            return "The target path " + quoted(target) + " has a " + quoted(part) + " part.";
        }
        if (slash == std::string_view::npos) {
            return {};
        }
        start = slash + 1;
    }
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
    if (end.size() > text.size()) {
        return false;
    }
    return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

// The document's extension with its dot, as it is written; empty when it has none.
std::string_view ExtensionOf(std::string_view documentName) {
    const std::size_t dot = documentName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return documentName.substr(dot);
}

// The folder that holds `folder`; empty for the root folder and for a path without "/".
std::string parentOf(const std::string& folder) {
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || folder == "/") {
        return {};
    }
    return slash == 0 ? std::string("/") : folder.substr(0, slash);
}

}  // namespace

std::string Replace(std::string_view source, std::string_view search,
                    std::string_view replacement) {
    if (search.empty()) {
        return std::string(source);
    }
    std::string result;
    result.reserve(source.size());
    std::size_t position = 0;
    for (std::size_t found = source.find(search); found != std::string_view::npos;
         found = source.find(search, position)) {
        result.append(source.substr(position, found - position));
        result.append(replacement);
        position = found + search.size();
    }
    result.append(source.substr(position));
    return result;
}

std::string CleanTag(std::string_view tag) {
    std::string cleaned(tag);
    for (const TagRule& rule : kTagRules) {
        cleaned = Replace(cleaned, rule.search, rule.replacement);
    }
    return cleaned;
}

std::string ExpandPattern(std::string_view pattern, const FilingEntries& entries) {
    std::string expanded = Replace(pattern, "%MONTH", entries.month);
    expanded = Replace(expanded, "%YEAR", entries.year);
    expanded = Replace(expanded, "%TAG", CleanTag(entries.tag));
    return Replace(expanded, "%NAME", entries.name);
}

std::string SourceFolder(std::string_view inputFolder) {
    std::string folder(inputFolder);
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return folder;
}

std::string TargetPath(std::string_view expandedPattern, std::string_view documentName,
                       bool attach) {
    std::string target(expandedPattern);
    if (attach) {
        target += '_';
        target += documentName;
    }
    return target;
}

std::string WithDocumentExtension(std::string_view targetPath, std::string_view documentName) {
    std::string target(targetPath);
    const std::string_view extension = ExtensionOf(documentName);
    if (!EndsWithIgnoringCase(target, extension)) {
        target += extension;
    }
    return target;
}

std::string TargetFolder(std::string_view targetPath) {
    const std::size_t slash = targetPath.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(slash == 0 ? targetPath.substr(0, 1) : targetPath.substr(0, slash));
}

TargetClick DecideTargetClick(const std::string& folderPattern, bool tagConfirmed,
                              bool hasDocument) {
    if (FolderNeedsTag(folderPattern) && !tagConfirmed) {
        return TargetClick::AskForTag;
    }
    return hasDocument ? TargetClick::FileDocument : TargetClick::NothingToFile;
}

SourceResult SourcePath(std::string_view inputFolder, std::string_view documentName) {
    if (std::string problem = documentNameProblem(documentName); !problem.empty()) {
        return {{}, std::move(problem)};
    }
    // An empty setting would turn the source into a file in the root folder.
    if (inputFolder.empty()) {
        return {{}, "No document input folder is set."};
    }
    if (holdsNul(inputFolder)) {
        return {{}, "The document input folder " + quoted(inputFolder) + " holds a NUL character."};
    }
    return {SourceFolder(inputFolder) + std::string(documentName), {}};
}

FilingPlan PlanFiling(const FilingRequest& request) {
    FilingPlan plan;
    SourceResult source = SourcePath(request.inputFolder, request.documentName);
    if (!source.problem.empty()) {
        plan.problem = std::move(source.problem);
        return plan;
    }
    plan.sourcePath = std::move(source.path);
    const std::string expanded = ExpandPattern(request.folderPattern, request.entries);
    // A pattern written with a final "/" names a folder: the document keeps its own name there.
    plan.targetPath = request.folderPattern.ends_with('/')
                          ? expanded + request.documentName
                          : TargetPath(expanded, request.documentName, request.attach);
    plan.problem = targetPathProblem(plan.targetPath);
    if (plan.problem.empty()) {
        // Without its extension a filed PDF opens nowhere, and its name stays taken for good.
        plan.targetPath = WithDocumentExtension(plan.targetPath, request.documentName);
        plan.targetFolder = TargetFolder(plan.targetPath);
    }
    return plan;
}

std::string CreateFolderPath(const std::string& folder, platform::DocumentFiles& files,
                             std::vector<std::string>* created) {
    std::vector<std::string> missing;
    for (std::string path = folder; !path.empty() && !files.folderExists(path);
         path = parentOf(path)) {
        missing.push_back(path);
    }
    std::ranges::reverse(missing);
    for (const std::string& path : missing) {
        if (std::string problem = files.createFolder(path); !problem.empty()) {
            return problem;
        }
        if (created != nullptr) {
            created->push_back(path);
        }
    }
    return {};
}

FilingOutcome FileDocument(const FilingPlan& plan, platform::DocumentFiles& files) {
    FilingOutcome outcome;
    if (!plan.problem.empty()) {
        outcome.problem = plan.problem;
        return outcome;
    }
    outcome.problem = CreateFolderPath(plan.targetFolder, files, &outcome.createdFolders);
    if (outcome.problem.empty()) {
        outcome.problem = files.moveDocument(plan.sourcePath, plan.targetPath);
    }
    return outcome;
}

}  // namespace sortwell::desk
