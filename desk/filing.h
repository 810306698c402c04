#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/document_files.h"

namespace sortwell::desk {

// Returns `source` with every occurrence of `search` replaced by `replacement`, found from
// left to right and case-sensitively; an inserted replacement is not searched again. An empty
// `search` finds nothing.
std::string Replace(std::string_view source, std::string_view search, std::string_view replacement);

// The tag as it may appear in a path: a space becomes "_", and ? / \ * | < > , " ' : are
// removed. Nothing else is touched.
std::string CleanTag(std::string_view tag);

// What the user said about the document in the main window.
struct FilingEntries {
    std::string month;
    std::string year;
    std::string tag;  // as typed; cleaned by ExpandPattern
    std::string name;

    bool operator==(const FilingEntries&) const = default;
};

// The folder pattern with "%MONTH", "%YEAR", "%TAG" (the cleaned tag) and "%NAME" replaced, in
// this order, so a placeholder brought in by an earlier value is replaced by a later pass.
std::string ExpandPattern(std::string_view pattern, const FilingEntries& entries);

// The input folder with "/" appended unless it ends in one.
std::string SourceFolder(std::string_view inputFolder);

// The expanded pattern, with "_" and the scanned file's own name appended when `attach` is on.
std::string TargetPath(std::string_view expandedPattern, std::string_view documentName,
                       bool attach);

// `targetPath` with the document's extension appended unless it already ends in it, in any
// letter case.
std::string WithDocumentExtension(std::string_view targetPath, std::string_view documentName);

// The text of `targetPath` before its last "/" ("/" for a file in the root folder); empty when
// there is no "/". The drive rules of Windows paths do not apply here.
std::string TargetFolder(std::string_view targetPath);

// What a click on a target button does before anything is filed.
enum class TargetClick {
    AskForTag,      // the pattern uses the tag and it is not confirmed: alert, confirm, stop
    NothingToFile,  // confirmed, but the desk is empty
    FileDocument,   // go on and file the document
};
TargetClick DecideTargetClick(const std::string& folderPattern, bool tagConfirmed,
                              bool hasDocument);

struct FilingRequest {
    std::string folderPattern;
    FilingEntries entries;
    std::string inputFolder;
    std::string documentName;
    bool attach = false;  // "Attach original file name"
};

// Where one document goes. A plan with a problem must not be carried out.
struct FilingPlan {
    std::string sourcePath;
    std::string targetPath;
    std::string targetFolder;
    std::string problem;  // non-empty: why the document cannot be filed as asked
};

// Works out the source, target and target folder of a filing. A pattern that ends in "/" names
// a folder, into which the document goes under its own name. Refuses a target that is not an
// absolute path or that holds an empty, "." or ".." part, since the document would land
// somewhere other than the pattern shows.
FilingPlan PlanFiling(const FilingRequest& request);

// The path of the document in the input folder, or why there is none (no document, no input
// folder, or a name that is not a plain file name).
struct SourceResult {
    std::string path;
    std::string problem;
};
SourceResult SourcePath(std::string_view inputFolder, std::string_view documentName);

// Makes sure `folder` and its missing parents exist, creating them from the top down; the walk
// upward ends at an existing folder or at a path without "/". Returns the reason of the first
// failure, empty text when the folder exists afterwards. The folders it created are added to
// `created`, when given, top-down.
std::string CreateFolderPath(const std::string& folder, platform::DocumentFiles& files,
                             std::vector<std::string>* created = nullptr);

struct FilingOutcome {
    std::string problem;  // non-empty: the document stays in the input folder, and this says why
    std::vector<std::string> createdFolders;  // made for this filing, top-down
};

// Carries out a plan: creates the target folder when it is missing, then moves the document.
FilingOutcome FileDocument(const FilingPlan& plan, platform::DocumentFiles& files);

}  // namespace sortwell::desk
