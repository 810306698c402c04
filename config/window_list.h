#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/window_system.h"

namespace sortwell::config {

// The snapshot of other programs' top-level windows that the automation looks windows up in:
// title, owning process and handle of each, front to back.
class WindowList {
public:
    // Titles are kept to this many characters (code points), as a 110-character buffer holds.
    static constexpr std::size_t kMaxTitleLength = 109;
    // The program's own application window, which is never listed.
    static constexpr std::string_view kApplicationTitle = "Tessaryn Sortwell Store";

    // Empties the list and lists each of `windows` in order through AddWindowEntry. A window
    // that cannot be listed is skipped; the windows after it are still listed.
    void Refresh(const std::vector<platform::WindowInfo>& windows);

    // Appends one window with its title cut to kMaxTitleLength characters, unless it has no
    // handle, its title is empty once blanks and control characters are trimmed off, or the
    // trimmed title is kApplicationTitle. The title is kept untrimmed. True when listed.
    bool AddWindowEntry(const platform::WindowInfo& window);

    // The index of the first title that `pattern` matches, or -1. A pattern that begins and
    // ends with "*" matches titles that contain the text between the stars; one without stars
    // matches an equal title; one with a star at one end only matches nothing. Case counts.
    int FindWindowIndex(std::string_view pattern) const;

    // The handle of the first matching window; nothing when none matches.
    std::optional<std::uint64_t> WindowHandleOf(std::string_view pattern) const;

    // The process id of the first matching window (0 when the host could not tell, or gave a
    // negative id), or -1 when none matches.
    std::int64_t ProcessIdOf(std::string_view pattern) const;

    const std::vector<platform::WindowInfo>& Entries() const { return entries_; }

private:
    std::vector<platform::WindowInfo> entries_;
};

}  // namespace sortwell::config
