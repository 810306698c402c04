#include "platform/linux/settings_file_format.h"

#include "platform/utf8.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace sortwell::platform::linux_host {
namespace {

constexpr std::string_view kFirstLine = "# Tessaryn Sortwell settings, format 1";
constexpr std::string_view kFormatLinePrefix = "# Tessaryn Sortwell settings, format ";

enum class Field { Key, Value, FolderName };

unsigned char byteAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

void appendHexEscape(std::string& out, unsigned char byte) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4U];
    out += kDigits[byte & 0x0FU];
}

// Characters that would otherwise end a key, start a comment or a folder line, or end a
// folder name.
bool isSyntaxIn(Field field, unsigned char c, bool atStart) {
    switch (field) {
        case Field::Key:
            return c == '=' || (atStart && (c == '#' || c == '['));
        case Field::FolderName:
            return c == '[' || c == ']';
        case Field::Value:
            return false;
    }
    return false;
}

void appendAscii(std::string& out, unsigned char c, Field field, bool atStart) {
    switch (c) {
        case '\\':
            out += "\\\\";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F || isSyntaxIn(field, c, atStart)) {
        appendHexEscape(out, c);
    } else {
        out += static_cast<char>(c);
    }
}

// Printable ASCII that needs no escape at this place.
bool isPlainAt(std::string_view text, std::size_t at, Field field) {
    const unsigned char c = byteAt(text, at);
    return c >= 0x20 && c < 0x7F && c != '\\' && !isSyntaxIn(field, c, at == 0);
}

// Plain text is copied in runs: values are mostly plain, and this is the hot path of a save.
std::size_t plainRunEnd(std::string_view text, std::size_t from, Field field) {
    while (from < text.size() && isPlainAt(text, from, field)) {
        ++from;
    }
    return from;
}

// Appends the byte or UTF-8 sequence at `at`, which is not plain; returns where the next
// one starts.
std::size_t appendNonPlainAt(std::string& out, std::string_view text, std::size_t at, Field field) {
    const unsigned char c = byteAt(text, at);
    if (c < 0x80) {
        appendAscii(out, c, field, at == 0);
        return at + 1;
    }
    if (const std::size_t length = Utf8SequenceLength(text.substr(at)); length > 1) {
        out.append(text.substr(at, length));
        return at + length;
    }
    appendHexEscape(out, c);
    return at + 1;
}

void appendEscaped(std::string& out, std::string_view text, Field field) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t plainEnd = plainRunEnd(text, i, field);
        out.append(text.substr(i, plainEnd - i));
        i = plainEnd < text.size() ? appendNonPlainAt(out, text, plainEnd, field) : plainEnd;
    }
}

std::size_t formattedSizeGuess(const SettingsTree& tree) {
    std::size_t size = kFirstLine.size() + 1;
    for (const SettingsFolder& folder : tree.folders()) {
        size += folder.name.size() + 4;
        for (const auto& [key, value] : folder.values) {
            size += key.size() + value.size() + 2;
        }
    }
    return size + size / 8;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes the escape at text[at] (a backslash) into `out`; returns the number of bytes it
// took, or 0 when it is not a known escape.
std::size_t decodeEscape(std::string_view text, std::size_t at, std::string& out) {
    if (at + 1 >= text.size()) {
        return 0;
    }
    switch (text[at + 1]) {
        case '\\':
            out += '\\';
            return 2;
        case 'n':
            out += '\n';
            return 2;
        case 'r':
            out += '\r';
            return 2;
        case 't':
            out += '\t';
            return 2;
        case 'x':
            break;
        default:
            return 0;
    }
    if (text.size() - at < 4) {
        return 0;
    }
    const int high = hexValue(text[at + 2]);
    const int low = hexValue(text[at + 3]);
    if (high < 0 || low < 0) {
        return 0;
    }
    out += static_cast<char>(high * 16 + low);
    return 4;
}

// Decodes `text` into `out`; on a bad escape returns false with its offset in `badAt`.
bool unescape(std::string_view text, std::string& out, std::size_t& badAt) {
    std::size_t backslash = text.find('\\');
    if (backslash == std::string_view::npos) {
        out.assign(text);
        return true;
    }
    out.clear();
    out.reserve(text.size());
    std::size_t done = 0;
    while (backslash != std::string_view::npos) {
        out.append(text.substr(done, backslash - done));
        const std::size_t taken = decodeEscape(text, backslash, out);
        if (taken == 0) {
            badAt = backslash;
            return false;
        }
        done = backslash + taken;
        backslash = text.find('\\', done);
    }
    out.append(text.substr(done));
    return true;
}

// The offset of the first "=" that is not part of an escape.
std::size_t findSeparator(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
        } else if (line[i] == '=') {
            return i;
        }
    }
    return std::string_view::npos;
}

// A folder written by hand may repeat a key; as with the registry, the later value wins and
// the key keeps the place where it first appeared.
void mergeRepeatedKeys(SettingsFolder& folder) {
    SettingsFolder merged{folder.name, {}};
    merged.setAll(folder.values);
    folder = std::move(merged);
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    ParsedSettings run() {
        ParsedSettings result;
        result.ok = parseFirstLine() && parseRemainingLines();
        if (result.ok) {
            for (const SettingsFolder& folder : tree_.folders()) {
                mergeRepeatedKeys(tree_.folder(folder.name));
            }
            result.tree = std::move(tree_);
        } else {
            result.error = std::move(error_);
        }
        return result;
    }

private:
    bool fail(const std::string& message) {
        error_ = "line " + std::to_string(lineNumber_) + ": " + message;
        return false;
    }

    bool failAtColumn(std::size_t column, const std::string& message) {
        error_ = "line " + std::to_string(lineNumber_) + ", column " + std::to_string(column) +
                 ": " + message;
        return false;
    }

    // Takes the next line without its line break into `line`; false at the end of the text
    // or, with an error, when the last line has no line break.
    bool nextLine(std::string_view& line) {
        if (position_ >= text_.size()) {
            return false;
        }
        ++lineNumber_;
        const std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) {
            fail("the last line has no line break; the file looks cut off");
            return false;
        }
        line = text_.substr(position_, end - position_);
        position_ = end + 1;
        return true;
    }

    bool parseFirstLine() {
        if (text_.empty()) {
            lineNumber_ = 1;
            return fail("the file is empty");
        }
        const std::string_view first = text_.substr(0, text_.find('\n'));
        if (first != kFirstLine) {
            lineNumber_ = 1;
            return fail(first.substr(0, kFormatLinePrefix.size()) == kFormatLinePrefix
                            ? "the settings are in a format this version does not know"
                            : "this is not a Sortwell settings file (the first line must be \"" +
                                  std::string(kFirstLine) + "\")");
        }
        std::string_view line;
        return nextLine(line);
    }

    bool parseRemainingLines() {
        std::string_view line;
        while (nextLine(line)) {
            if (!parseLine(line)) {
                return false;
            }
        }
        return error_.empty();
    }

    bool parseLine(std::string_view line) {
        if (line.empty() || line.front() == '#') {
            return true;
        }
        if (line.front() == '[') {
            return parseFolderLine(line);
        }
        return parseValueLine(line);
    }

    bool parseFolderLine(std::string_view line) {
        if (line.size() < 2 || line.back() != ']') {
            return fail("a folder line must end with \"]\"");
        }
        std::string name;
        std::size_t badAt = 0;
        if (!unescape(line.substr(1, line.size() - 2), name, badAt)) {
            return failAtColumn(badAt + 2, "unknown escape sequence");
        }
        current_ = &tree_.folder(name);
        currentName_ = std::move(name);
        return true;
    }

    bool parseValueLine(std::string_view line) {
        const std::size_t separator = findSeparator(line);
        if (separator == std::string_view::npos) {
            return fail("a value line needs a \"=\" between the name and the value");
        }
        std::string key;
        std::string value;
        std::size_t badAt = 0;
        if (!unescape(line.substr(0, separator), key, badAt)) {
            return failAtColumn(badAt + 1, "unknown escape sequence");
        }
        if (!unescape(line.substr(separator + 1), value, badAt)) {
            return failAtColumn(separator + badAt + 2, "unknown escape sequence");
        }
        // The root folder comes into being with its first value, not before.
        if (current_ == nullptr) {
            current_ = &tree_.folder(currentName_);
        }
        current_->values.emplace_back(std::move(key), std::move(value));
        return true;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t lineNumber_ = 0;
    SettingsTree tree_;
    // Stays valid until the next folder line, the only place where folders are added.
    SettingsFolder* current_ = nullptr;
    std::string currentName_;
    std::string error_;
};

}  // namespace

std::string formatSettingsFile(const SettingsTree& tree) {
    std::string out;
    out.reserve(formattedSizeGuess(tree));
    out += kFirstLine;
    out += '\n';
    for (const SettingsFolder& folder : tree.folders()) {
        // The root's values need no folder line; an empty root gets "[]" so that it survives.
        if (!folder.name.empty() || folder.values.empty()) {
            out += "\n[";
            appendEscaped(out, folder.name, Field::FolderName);
            out += "]\n";
        }
        for (const auto& [key, value] : folder.values) {
            appendEscaped(out, key, Field::Key);
            out += '=';
            appendEscaped(out, value, Field::Value);
            out += '\n';
        }
    }
    return out;
}

ParsedSettings parseSettingsFile(std::string_view text) {
    return Parser(text).run();
}

}  // namespace sortwell::platform::linux_host
