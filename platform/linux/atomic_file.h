#pragma once

#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace sortwell::platform::linux_host {

// The text of an errno value, e.g. "No such file or directory".
std::string errorText(int error);

// Writes all of `bytes` to `fd`, going on after short writes and signals; returns 0 or the
// errno of the failed write.
int writeAll(int fd, std::string_view bytes);

// fsync that goes on after signals; returns 0 or the errno.
int fsyncRetrying(int fd);

// Whether a folder, or a regular file, is at `path` (links followed).
bool isFolder(const std::string& path);
bool isRegularFile(const std::string& path);

// The folder part of `path` ("." when there is none) and the name part.
std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);

// Replaces the file at `path` with `bytes` in one rename: readers see the old or the new
// bytes, never a mix. A new file gets mode 0600, an existing one keeps its mode. With
// `syncNow` the file and its folder are on disk before this returns. Returns the reason on
// failure, empty text on success; a failure leaves the old file and no temporary file.
std::string writeFileAtomically(const std::string& path, std::string_view bytes, bool syncNow);

// Puts the file at `path` and its folder entry on disk; the trailing half of a write that
// was made without `syncNow`. Returns the reason on failure, empty text on success.
std::string syncFileAndFolder(const std::string& path);

// Puts the entries of `folder` (new, renamed or removed names) on disk.
std::string syncFolder(const std::string& folder);

// Removes temporary files that writeFileAtomically() left next to `path` when its process
// died between creating and renaming them. Only safe while no other writer of `path` runs.
std::string removeLeftoverTemporaries(const std::string& path);

}  // namespace sortwell::platform::linux_host
