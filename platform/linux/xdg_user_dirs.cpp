#include "platform/linux/xdg_user_dirs.h"

#include <array>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/linux/xdg_paths.h"

namespace sortwell::platform::linux_host {
namespace {

struct UserDir {
    const char* shellName;
    const char* key;
    const char* fallbackBelowHome;
};

constexpr std::array<UserDir, 6> kUserDirs{{
    {"Desktop", "XDG_DESKTOP_DIR", "Desktop"},
    {"Personal", "XDG_DOCUMENTS_DIR", "Documents"},
    {"My Pictures", "XDG_PICTURES_DIR", "Pictures"},
    {"My Music", "XDG_MUSIC_DIR", "Music"},
    {"My Video", "XDG_VIDEOS_DIR", "Videos"},
    {"Templates", "XDG_TEMPLATES_DIR", "Templates"},
}};

struct BaseFolder {
    const char* shellName;
    std::string (*base)();
    const char* child;
};

constexpr std::array<BaseFolder, 7> kBaseFolders{{
    {"AppData", configHome, ""},
    {"Local AppData", dataHome, ""},
    {"Cache", cacheHome, ""},
    {"Fonts", dataHome, "fonts"},
    {"Programs", dataHome, "applications"},
    {"Start Menu", dataHome, "applications"},
    {"Startup", configHome, "autostart"},
}};

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// Empty when `base` is unknown, so that a missing home never turns into a path below "/".
std::string below(const std::string& base, const std::string& child) {
    if (base.empty() || child.empty()) {
        return withoutTrailingSlash(base);
    }
    const std::string parent = withoutTrailingSlash(base);
    return parent == "/" ? parent + child : parent + "/" + child;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void skipBlanks(std::string_view& text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
}

bool consume(std::string_view& text, std::string_view expected) {
    if (text.substr(0, expected.size()) != expected) {
        return false;
    }
    text.remove_prefix(expected.size());
    return true;
}

// Only "$HOME" alone or followed by "/" names the home folder; other variables stay unexpanded
// by the file's own rules, so such a line is not usable.
std::optional<std::string> takePathStart(std::string_view& text, const std::string& home) {
    if (text.substr(0, 6) == "$HOME/" || text.substr(0, 6) == "$HOME\"") {
        text.remove_prefix(5);
        return home.empty() ? std::nullopt : std::optional<std::string>(home);
    }
    return text.substr(0, 1) == "/" ? std::optional<std::string>("") : std::nullopt;
}

// Reads up to the closing quote, undoing backslash escapes.
std::optional<std::string> takeQuotedRest(std::string_view& text) {
    std::string value;
    while (!text.empty()) {
        const char c = text.front();
        text.remove_prefix(1);
        if (c == '"') {
            return value;
        }
        if (c == '\\') {
            if (text.empty()) {
                return std::nullopt;
            }
            value += text.front();
            text.remove_prefix(1);
        } else {
            value += c;
        }
    }
    return std::nullopt;
}

bool onlyCommentLeft(std::string_view text) {
    skipBlanks(text);
    return text.empty() || text.front() == '#';
}

std::optional<std::string> lineValue(std::string_view line, std::string_view key,
                                     const std::string& home) {
    skipBlanks(line);
    if (!consume(line, key)) {
        return std::nullopt;
    }
    skipBlanks(line);
    if (!consume(line, "=")) {
        return std::nullopt;
    }
    skipBlanks(line);
    if (!consume(line, "\"")) {
        return std::nullopt;
    }
    const std::optional<std::string> start = takePathStart(line, home);
    if (!start) {
        return std::nullopt;
    }
    const std::optional<std::string> rest = takeQuotedRest(line);
    if (!rest || !onlyCommentLeft(line)) {
        return std::nullopt;
    }
    return *start + *rest;
}

std::string userDir(const UserDir& dir) {
    const std::string home = homeDir();
    const std::string configured =
        findUserDir(readWholeFile(configHome() + "/user-dirs.dirs"), dir.key, home);
    return configured.empty() ? below(home, dir.fallbackBelowHome)
                              : withoutTrailingSlash(configured);
}

}  // namespace

std::string findUserDir(const std::string& fileText, const std::string& key,
                        const std::string& home) {
    std::string found;
    std::string_view text(fileText);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (std::optional<std::string> value = lineValue(line, key, home)) {
            found = std::move(*value);
        }
    }
    return found;
}

std::string XdgUserDirs::lookup(const std::string& shellName) {
    for (const UserDir& dir : kUserDirs) {
        if (shellName == dir.shellName) {
            return userDir(dir);
        }
    }
    for (const BaseFolder& folder : kBaseFolders) {
        if (shellName == folder.shellName) {
            return below(folder.base(), folder.child);
        }
    }
    return {};
}

}  // namespace sortwell::platform::linux_host
