#pragma once

#include <string>

#include "platform/folder_watch.h"
#include "platform/unique_fd.h"

namespace sortwell::platform::linux_host {

// Why inotify cannot be trusted on the file system of type `magic` (from statfs): it does not
// see writes made by other machines on network and FUSE file systems. Empty where it can.
std::string UntrustedFileSystem(long magic);

// A folder followed through inotify. On network and FUSE file systems, where other machines'
// writes raise no event, and when the system's limit of watches is reached, it says why the
// folder must be polled instead.
class InotifyFolderWatch : public FolderWatch {
public:
    InotifyFolderWatch() = default;

    WatchStart watch(const std::string& folder) override;
    WatchNews drain() override;
    void stop() override;

private:
    WatchStart watchWithInotify(const std::string& folder);

    UniqueFd inotify_;
    int watchDescriptor_ = -1;
};

}  // namespace sortwell::platform::linux_host
