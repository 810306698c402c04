#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

namespace sortwell::platform::linux_host {

// Where the home trash is and what time it is, so that tests can put both elsewhere.
struct TrashPlace {
    // The home trash folder, such as ~/.local/share/Trash; empty when there is no home.
    std::string homeTrash;
    // Gives the deletion date written into the trash.
    std::function<std::chrono::system_clock::time_point()> clock;
};

// $XDG_DATA_HOME/Trash as the environment names it now, and the system clock.
TrashPlace DesktopTrashPlace();

// The calls that give a file its name in the trash, each returning 0 or its errno, so that
// tests can act as file systems that refuse them.
struct TrashCalls {
    std::function<int(const std::string& from, const std::string& to)> renameWithoutReplace;
    std::function<int(const std::string& from, const std::string& to)> hardLink;
};

struct TrashMove {
    enum class Outcome {
        Trashed,    // the file is in a trash on its own device
        NoTrash,    // no trash could take it; it is still where it was
        LeftAlone,  // it is missing, cannot be looked at, or is a folder
    };
    Outcome outcome = Outcome::Trashed;
    std::string reason;  // why, unless trashed
};

// The trash of the freedesktop.org desktops: the home trash for a file on its device, else the
// trash at the top of the file's own mount point, $topdir/.Trash/$uid or $topdir/.Trash-$uid.
// A file is only ever renamed into a trash, never copied, and its .trashinfo (where it was,
// when it was deleted) is on disk before the file arrives, so a file manager can restore it.
class FreedesktopTrash {
public:
    FreedesktopTrash(TrashPlace place, TrashCalls calls);

    // Moves the file at `path` into the trash under a name not taken there yet.
    TrashMove moveToTrash(const std::string& path) const;

private:
    struct Trash {
        std::string folder;
        std::string topDir;  // empty for the home trash, whose paths are absolute
    };

    // The trash on the device `device`; empty folder and the reason when there is none.
    Trash trashFor(const std::string& folder, dev_t device, std::string& reason) const;
    // Writes the .trashinfo, then renames `path` next to it, trying free names in turn.
    std::string putInto(const Trash& trash, const std::string& path) const;
    // Gives `from` the new name `to` without replacing anything; 0 or the errno.
    int renameInto(const std::string& from, const std::string& to, std::string& note) const;

    TrashPlace place_;
    TrashCalls calls_;
};

}  // namespace sortwell::platform::linux_host
