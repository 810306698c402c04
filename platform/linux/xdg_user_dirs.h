#pragma once

#include <string>

#include "platform/shell_folders.h"

namespace sortwell::platform::linux_host {

// The Windows shell-folder names mapped onto the XDG places of the desktop session.
//
//   shell name             Linux folder
//   ---------------------  -----------------------------------------------------------
//   "Desktop"              XDG_DESKTOP_DIR    from user-dirs.dirs, else $HOME/Desktop
//   "Personal"             XDG_DOCUMENTS_DIR  from user-dirs.dirs, else $HOME/Documents
//   "My Pictures"          XDG_PICTURES_DIR   from user-dirs.dirs, else $HOME/Pictures
//   "My Music"             XDG_MUSIC_DIR      from user-dirs.dirs, else $HOME/Music
//   "My Video"             XDG_VIDEOS_DIR     from user-dirs.dirs, else $HOME/Videos
//   "Templates"            XDG_TEMPLATES_DIR  from user-dirs.dirs, else $HOME/Templates
//   "AppData"              configHome()
//   "Local AppData"        dataHome()
//   "Cache"                cacheHome()
//   "Fonts"                dataHome()/fonts
//   "Programs"             dataHome()/applications
//   "Start Menu"           dataHome()/applications
//   "Startup"              configHome()/autostart
//   any other name         "" (no equivalent: "Favorites", "NetHood", "SendTo", "Recent",
//                          "Quick Launch", ...)
//
// Names compare case-sensitively. user-dirs.dirs lies in configHome() and is read at every
// lookup, so edits by xdg-user-dirs-update show at once. Paths come back without a trailing
// "/", except the root folder itself.
class XdgUserDirs : public ShellFolders {
public:
    std::string lookup(const std::string& shellName) override;
};

// The value of `key` (such as "XDG_DESKTOP_DIR") in the text of a user-dirs.dirs file, with a
// leading $HOME expanded to `home`; empty text when no well-formed line sets it. The last
// well-formed line wins, as when a shell sources the file.
std::string findUserDir(const std::string& fileText, const std::string& key,
                        const std::string& home);

}  // namespace sortwell::platform::linux_host
