#include "config/window_list.h"

#include <string>

#include "platform/utf8.h"

namespace sortwell::config {

namespace {

bool IsBlankOrControl(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value <= 0x20 || value == 0x7F;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The first `limit` characters; a byte outside any valid sequence counts as one character,
// and a valid sequence is never cut.
std::string_view FirstCharacters(std::string_view text, std::size_t limit) {
    std::size_t end = 0;
    for (std::size_t count = 0; count < limit && end < text.size(); ++count) {
        const std::size_t length = Utf8SequenceLength(text.substr(end));
        end += length == 0 ? 1 : length;
    }
    return text.substr(0, end);
}

// A pattern with its stars taken off the ends.
struct TitlePattern {
    std::string_view text;
    bool leadingStar = false;
    bool trailingStar = false;

    explicit TitlePattern(std::string_view pattern) : text(pattern) {
        if (!text.empty() && text.front() == '*') {
            leadingStar = true;
            text.remove_prefix(1);
        }
        if (!text.empty() && text.back() == '*') {
            trailingStar = true;
            text.remove_suffix(1);
        }
    }

    bool Matches(std::string_view title) const {
        if (leadingStar && trailingStar) {
            return title.find(text) != std::string_view::npos;
        }
        if (!leadingStar && !trailingStar) {
            return title == text;
        }
        return false;
    }
};

}  // namespace

void WindowList::Refresh(const std::vector<platform::WindowInfo>& windows) {
    entries_.clear();
    for (const platform::WindowInfo& window : windows) {
        AddWindowEntry(window);
    }
}

bool WindowList::AddWindowEntry(const platform::WindowInfo& window) {
    if (window.handle == 0) {
        return false;
    }
    const std::string_view title = FirstCharacters(window.title, kMaxTitleLength);
    const std::string_view trimmed = Trimmed(title);
    if (trimmed.empty() || trimmed == kApplicationTitle) {
        return false;
    }
    // A negative id would read as "not found"; the owner is then simply unknown.
    const std::int64_t pid = window.pid > 0 ? window.pid : 0;
    entries_.push_back({window.handle, pid, std::string(title)});
    return true;
}

int WindowList::FindWindowIndex(std::string_view pattern) const {
    const TitlePattern titlePattern(pattern);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (titlePattern.Matches(entries_[i].title)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<std::uint64_t> WindowList::WindowHandleOf(std::string_view pattern) const {
    const int index = FindWindowIndex(pattern);
    if (index < 0) {
        return std::nullopt;
    }
    return entries_[static_cast<std::size_t>(index)].handle;
}

std::int64_t WindowList::ProcessIdOf(std::string_view pattern) const {
    const int index = FindWindowIndex(pattern);
    if (index < 0) {
        return -1;
    }
    return entries_[static_cast<std::size_t>(index)].pid;
}

}  // namespace sortwell::config
