// The INI file: export and import of the whole store.
#include <algorithm>

#include "components/qdreg.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Calls `onLine` for every line; a line ends at CR LF, a lone CR or a lone LF, and a NUL byte
// ends the text.
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine onLine) {
    text = text.substr(0, text.find('\0'));
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            onLine(text);
            return;
        }
        onLine(text.substr(0, end));
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
}

}  // namespace

std::string TQDReg::BuildData(const std::string& key, const std::string& value) {
    return key + "=" + value;
}

std::string TQDReg::GetDataKey(const std::string& line) {
    return line.substr(0, line.find('='));
}

std::string TQDReg::GetDataValue(const std::string& line) {
    const std::size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

std::string TQDReg::ExtractFolderName(const std::string& line) {
    bool inside = false;
    bool closed = false;
    bool invalid = false;
    std::string name;
    for (const char c : line) {
        if (c == '[') {
            if (closed) {
                invalid = true;
            } else {
                inside = true;
            }
        } else if (c == ']') {
            inside = false;
            closed = true;
        } else if (inside) {
            name += c;
        } else if (c != ' ') {
            invalid = true;
        }
    }
    return invalid ? std::string() : name;
}

std::string TQDReg::IniFilePath() const {
    std::string path = IniFileDir;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path + IniFileName;
}

std::string TQDReg::IniText() const {
    std::vector<std::string> folderOrder{""};
    for (const Entry& entry : entries_) {
        if (std::find(folderOrder.begin(), folderOrder.end(), entry.folder) == folderOrder.end()) {
            folderOrder.push_back(entry.folder);
        }
    }
    std::string text;
    for (const std::string& folder : folderOrder) {
        text += kLineEnd;
        if (!folder.empty()) {
            text += "[" + folder + "]";
            text += kLineEnd;
        }
        for (const Entry& entry : entries_) {
            if (entry.folder == folder) {
                text += BuildData(entry.key, entry.value);
                text += kLineEnd;
            }
        }
    }
    return text;
}

void TQDReg::AddIniText(std::string_view text) {
    std::string folder;
    std::vector<Entry> read;
    ForEachLine(text, [&](std::string_view lineView) {
        const std::string line(lineView);
        std::string header = ExtractFolderName(line);
        if (!header.empty()) {
            folder = std::move(header);
            return;
        }
        const std::string key(TrimBlanksAndControls(GetDataKey(line)));
        if (!key.empty()) {
            read.push_back(Entry{key, GetDataValue(line), folder});
        }
    });
    AddAll(std::move(read));
}

std::string TQDReg::IniUnsafeEntry() const {
    for (const Entry& entry : entries_) {
        const std::string line = BuildData(entry.key, entry.value);
        const bool folderReadsBack =
            entry.folder.empty() || (!HoldsLineBreakOrNul(entry.folder) &&
                                     ExtractFolderName("[" + entry.folder + "]") == entry.folder);
        const bool lineReadsBack = !entry.key.empty() && !HoldsLineBreakOrNul(line) &&
                                   ExtractFolderName(line).empty() &&
                                   TrimBlanksAndControls(GetDataKey(line)) == entry.key;
        if (!folderReadsBack || !lineReadsBack) {
            return "The setting \"" + EncodeText(entry.key, " ") +
                   "\" cannot be kept in an INI file as it is: its name or value holds a line "
                   "break, a NUL byte, an \"=\" in the name, blanks around the name, or looks "
                   "like a section header.";
        }
    }
    return {};
}

bool TQDReg::RawSaveToFile() {
    const std::string unsafe = IniUnsafeEntry();
    if (!unsafe.empty()) {
        ReportProblem(unsafe + " Nothing was written to " + IniFilePath() + ".");
        return false;
    }
    const std::string problem = host_.files->writeWhole(IniFilePath(), IniText());
    ReportProblem(problem);
    return problem.empty();
}

bool TQDReg::RawLoadFromFile() {
    const sortwell::platform::FileRead read = host_.files->readWhole(IniFilePath());
    switch (read.status) {
        case sortwell::platform::FileRead::Status::Missing:
            return false;
        case sortwell::platform::FileRead::Status::Failed:
            ReportProblem(read.problem);
            return false;
        case sortwell::platform::FileRead::Status::Read:
            AddIniText(read.bytes);
            return true;
    }
    return false;
}

bool TQDReg::RawClearFile() {
    const std::string path = IniFilePath();
    if (!host_.files->isFile(path)) {
        return false;
    }
    return host_.files->removeFile(path) && !host_.files->isFile(path);
}

bool TQDReg::SaveToFile() {
    lastError_.clear();
    return RawSaveToFile();
}

bool TQDReg::LoadFromFile() {
    lastError_.clear();
    Clear();
    return RawLoadFromFile();
}

bool TQDReg::AppendFromFile() {
    lastError_.clear();
    return RawLoadFromFile();
}

bool TQDReg::ClearFile() {
    lastError_.clear();
    return RawClearFile();
}
