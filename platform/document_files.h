#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace sortwell::platform {

// What tells a finished scan from one the scanner is still writing.
struct FileStat {
    std::uint64_t size = 0;
    std::chrono::system_clock::time_point modified{};
    // Which file it is: a file put in place of another under the same name differs here.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileStat&) const = default;
};

struct DocumentStat {
    FileStat stat;
    std::string problem;  // non-empty: there is no stat, and this says why
};

struct TrashResult {
    std::string problem;  // non-empty: the file is still where it was, and this says why
    std::string note;     // non-empty: no trash could be used, the file was deleted for good
};

struct DocumentListing {
    std::vector<std::string> names;
    std::string problem;  // non-empty: the folder could not be listed, and this says why
};

// The operations on scanned documents and the folders they are filed into. Every operation
// that can fail returns the reason as text, empty text on success.
class DocumentFiles {
public:
    virtual ~DocumentFiles() = default;

    // Moves the file `source` to the path `target`, whose folder must exist. Never replaces an
    // existing `target`; on failure `source` is left as it was and no partial `target` remains.
    virtual std::string moveDocument(const std::string& source, const std::string& target) = 0;

    // Removes the file at `path` for good; a folder is never removed.
    virtual std::string deleteDocument(const std::string& path) = 0;

    // Moves the file at `path` into the desktop's trash, where a file manager can restore it.
    // Where no trash can be made for it, deletes it for good and says so in the note.
    virtual TrashResult trashDocument(const std::string& path) = 0;

    // True when a folder, or a link to one, exists at `path`.
    virtual bool folderExists(const std::string& path) = 0;

    // Creates the one folder `path` inside an existing parent; a folder already there counts
    // as created.
    virtual std::string createFolder(const std::string& path) = 0;

    // Removes the folder `path` when it is empty. A folder that is not empty is left as it is,
    // and that, like a folder that is gone already, returns empty text: only other failures
    // return their reason.
    virtual std::string removeEmptyFolder(const std::string& path) = 0;

    // The size and modification time of the regular file at `path`.
    virtual DocumentStat statDocument(const std::string& path) = 0;

    // The names of the regular files in `folder` that end in ".pdf" in any letter case,
    // without hidden files, sorted by name without regard to ASCII letter case and then byte
    // by byte, so the order is the same on every call.
    virtual DocumentListing listDocuments(const std::string& folder) = 0;

    // Removes the temporary files that moves interrupted by a crash left in `folder`. Only
    // safe while no move runs, that is at start-up.
    virtual std::string removeLeftoverTemporaries(const std::string& folder) = 0;
};

}  // namespace sortwell::platform
