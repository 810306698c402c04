#pragma once

#include <string>

namespace sortwell::platform {

// How a watched folder is followed: by events the system delivers, or by listing it again
// every few seconds where events cannot be trusted.
struct WatchStart {
    // Readable when something changed in the folder; -1 when the folder must be polled.
    int handle = -1;
    // Why the folder must be polled; empty with a handle.
    std::string pollReason;

    bool polled() const { return handle < 0; }
};

enum class WatchNews {
    Nothing,     // nothing arrived on the handle
    Changed,     // a file came, went or was written
    FolderGone,  // the folder itself was removed or moved away: watch it again
};

// Tells when the files in one folder change, so that new documents are seen without listing
// the folder all the time. One folder at a time.
class FolderWatch {
public:
    virtual ~FolderWatch() = default;

    // Starts watching `folder`, ending the earlier watch.
    virtual WatchStart watch(const std::string& folder) = 0;
    // Takes every pending event off the handle and sums them up.
    virtual WatchNews drain() = 0;
    // Ends the watch; events of the folder watched so far are no longer reported.
    virtual void stop() = 0;
};

}  // namespace sortwell::platform
