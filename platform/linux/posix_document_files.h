#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/document_files.h"
#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/move_journal.h"

namespace sortwell::platform::linux_host {

// Documents on a POSIX file system. A move never replaces an existing file: within one file
// system it is renameat2(RENAME_NOREPLACE), or link + unlink where that flag is not supported;
// across file systems, or where links are refused, the file is copied into a hidden temporary
// file in the target folder, flushed, published without replace, and only then is the source
// removed. A trashed document goes into the freedesktop.org trash on its own device.
class PosixDocumentFiles : public DocumentFiles {
public:
    // `journalPath` names the file that notes the folders of copies under way; empty for none.
    // `trashPlace` tells where the home trash is at the time of each trashing.
    explicit PosixDocumentFiles(std::string journalPath = {},
                                std::function<TrashPlace()> trashPlace = DesktopTrashPlace)
        : journal_(std::move(journalPath)), trashPlace_(std::move(trashPlace)) {}

    std::string moveDocument(const std::string& source, const std::string& target) override;
    std::string deleteDocument(const std::string& path) override;
    TrashResult trashDocument(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    std::string createFolder(const std::string& path) override;
    std::string removeEmptyFolder(const std::string& path) override;
    DocumentStat statDocument(const std::string& path) override;
    DocumentListing listDocuments(const std::string& folder) override;
    std::string removeLeftoverTemporaries(const std::string& folder) override;
    // Finishes the moves the journal notes as under way, then empties it: removes the leftover
    // copies in their target folders, and the original of a document that already stands whole
    // at its target. Only safe while no move runs, that is at start-up.
    std::string finishInterruptedMoves();

    // The hidden names a copy is written under before it gets its target name.
    static bool IsTemporaryName(const std::string& name);

protected:
    // The calls a move is made of, each returning 0 or its errno, so that tests can act as file
    // systems that refuse them.
    virtual int renameWithoutReplace(const std::string& from, const std::string& to);
    virtual int hardLink(const std::string& from, const std::string& to);

    // Runs once the bytes of `source` are copied, before they are checked against it again.
    virtual void afterCopy(const std::string& source);
    // Runs once the copy of `source` has its target name, before the original is checked for
    // the last time and removed.
    virtual void afterPublish(const std::string& source);

private:
    std::string linkThenUnlink(const std::string& source, const std::string& target);
    std::string copyAcross(const std::string& source, const std::string& target);
    // Gives a finished copy its target name without replacing anything; 0 or the errno.
    int publishCopy(const std::string& temporary, const std::string& target);

    MoveJournal journal_;
    std::function<TrashPlace()> trashPlace_;
};

}  // namespace sortwell::platform::linux_host
