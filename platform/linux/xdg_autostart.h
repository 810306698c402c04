#pragma once

#include <string>

#include "platform/autostart.h"

namespace sortwell::platform::linux_host {

// Autostart through the desktop session: one desktop entry per name in configHome()/autostart.
// An executable given as /proc/self/exe reads once its file was replaced ("... (deleted)") is
// registered under the file now at that path; with none there, enable fails and leaves the entry
// as it was.
class XdgAutostart : public Autostart {
public:
    std::string enable(const std::string& name, const std::string& executable) override;
    std::string disable(const std::string& name) override;
    bool isEnabled(const std::string& name) override;
};

// The entry's file name for `name`: the name with "%", "/", a leading "." and bytes below 0x20
// percent-encoded, then ".desktop". Distinct names give distinct file names, none of which
// leaves the folder or hides itself.
std::string autostartFileName(const std::string& name);

// `path` as one Exec argument: in double quotes, with " ` $ \ escaped by a backslash, and "%"
// doubled so that it is no field code. The result still needs escapeDesktopString().
std::string quoteExecArgument(const std::string& path);

// `text` as a Desktop Entry string value: "\\", "\n", "\t", "\r", and "\s" for a leading space.
std::string escapeDesktopString(const std::string& text);

// The whole desktop entry that starts `executable` under the display name `name`.
std::string autostartEntryText(const std::string& name, const std::string& executable);

}  // namespace sortwell::platform::linux_host
