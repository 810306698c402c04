#include "components/qdreg.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <unordered_set>

TQDReg::TQDReg(const sortwell::platform::Host& host) : host_(host) {
    IniFileDir = AppDir();
}

// Entry access

int TQDReg::GetIndex(const std::string& key) const {
    return GetIndex(key, "");
}

int TQDReg::GetIndex(const std::string& key, const std::string& folder) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].key == key && entries_[i].folder == folder) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TQDReg::Exist(const std::string& key) const {
    return GetIndex(key) >= 0;
}

bool TQDReg::Exist(const std::string& key, const std::string& folder) const {
    return GetIndex(key, folder) >= 0;
}

void TQDReg::Add(const std::string& key, const std::string& value, const std::string& folder) {
    Delete(key, folder);
    entries_.push_back(Entry{key, value, folder});
}

namespace {

std::string EntryIdentity(const std::string& key, const std::string& folder) {
    return std::to_string(folder.size()) + ":" + folder + key;
}

}  // namespace

void TQDReg::AddAll(std::vector<Entry>&& batch) {
    // Within the batch the last write of a key wins and takes that place in the order.
    std::unordered_set<std::string> written;
    std::vector<Entry> lastWrites;
    for (auto it = batch.rbegin(); it != batch.rend(); ++it) {
        if (written.insert(EntryIdentity(it->key, it->folder)).second) {
            lastWrites.push_back(std::move(*it));
        }
    }
    std::erase_if(entries_, [&](const Entry& entry) {
        return written.contains(EntryIdentity(entry.key, entry.folder));
    });
    entries_.insert(entries_.end(), std::make_move_iterator(lastWrites.rbegin()),
                    std::make_move_iterator(lastWrites.rend()));
}

bool TQDReg::Delete(const std::string& key) {
    return Delete(key, "");
}

bool TQDReg::Delete(const std::string& key, const std::string& folder) {
    const int index = GetIndex(key, folder);
    if (index < 0) {
        return false;
    }
    entries_.erase(entries_.begin() + index);
    return GetIndex(key, folder) < 0;
}

void TQDReg::Clear() {
    entries_.clear();
}

// Typed writes and reads

void TQDReg::PushString(const std::string& key, const std::string& value) {
    Add(key, value, "");
}

void TQDReg::PushString(const std::string& key, const std::string& value,
                        const std::string& folder) {
    Add(key, value, folder);
}

std::string TQDReg::PopString(const std::string& key) const {
    return PopString(key, "", "");
}

std::string TQDReg::PopString(const std::string& key, const std::string& def) const {
    return PopString(key, def, "");
}

std::string TQDReg::PopString(const std::string& key, const std::string& def,
                              const std::string& folder) const {
    const int index = GetIndex(key, folder);
    return index < 0 ? def : entries_[static_cast<std::size_t>(index)].value;
}

void TQDReg::Push(const std::string& key, const std::string& value) {
    PushString(key, value);
}

std::string TQDReg::Pop(const std::string& key) const {
    return PopString(key);
}

std::string TQDReg::Pop(const std::string& key, const std::string& def) const {
    return PopString(key, def);
}

std::string TQDReg::Pop(const std::string& key, const std::string& def,
                        const std::string& folder) const {
    return PopString(key, def, folder);
}

void TQDReg::PushInt(const std::string& key, int value) {
    PushInt(key, value, "");
}

void TQDReg::PushInt(const std::string& key, int value, const std::string& folder) {
    Add(key, std::to_string(value), folder);
}

int TQDReg::PopInt(const std::string& key) const {
    return PopInt(key, 0, "");
}

int TQDReg::PopInt(const std::string& key, int def) const {
    return PopInt(key, def, "");
}

int TQDReg::PopInt(const std::string& key, int def, const std::string& folder) const {
    const int index = GetIndex(key, folder);
    return index < 0 ? def : StrToInt(entries_[static_cast<std::size_t>(index)].value, def);
}

void TQDReg::PushBool(const std::string& key, bool value) {
    PushBool(key, value, "");
}

void TQDReg::PushBool(const std::string& key, bool value, const std::string& folder) {
    Add(key, value ? "1" : "0", folder);
}

bool TQDReg::PopBool(const std::string& key) const {
    return PopBool(key, false, "");
}

bool TQDReg::PopBool(const std::string& key, bool def) const {
    return PopBool(key, def, "");
}

bool TQDReg::PopBool(const std::string& key, bool def, const std::string& folder) const {
    const int number = PopInt(key, -1, folder);
    if (number == 0) {
        return false;
    }
    if (number == 1) {
        return true;
    }
    return def;
}

// Control bindings

bool TQDReg::PopCheckBox(const std::string& key, bool def) const {
    const std::string value = Pop(key);
    if (value == "1") {
        return true;
    }
    if (value == "0") {
        return false;
    }
    return def;
}

std::string TQDReg::GroupNumber(std::initializer_list<bool> states) {
    int chosen = 0;
    int number = 1;
    for (const bool state : states) {
        if (state) {
            chosen = number;  // the last member set wins
        }
        ++number;
    }
    return std::to_string(chosen);
}

int TQDReg::GroupChoice(const std::string& key, int count, int def) const {
    // Only the exact texts "1" to "N" name a member; anything else falls back to the default.
    const std::string value = Pop(key);
    for (int k = 1; k <= count; ++k) {
        if (value == std::to_string(k)) {
            return k;
        }
    }
    return def >= 1 && def <= count ? def : 0;
}

// Text operations

namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool StartsWithHexPrefix(std::string_view text, std::size_t& prefixLength) {
    if (text.starts_with('$')) {
        prefixLength = 1;
        return true;
    }
    if (text.starts_with("0x") || text.starts_with("0X")) {
        prefixLength = 2;
        return true;
    }
    return false;
}

}  // namespace

std::string_view TQDReg::TrimBlanksAndControls(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int TQDReg::StrToInt(const std::string& text, int def) {
    std::string_view rest = TrimBlanksAndControls(text);
    if (rest.empty()) {
        return def;
    }
    const bool negative = rest.front() == '-';
    if (rest.front() == '-' || rest.front() == '+') {
        rest.remove_prefix(1);
    }
    int base = 10;
    std::size_t prefixLength = 0;
    if (StartsWithHexPrefix(rest, prefixLength)) {
        base = 16;
        rest.remove_prefix(prefixLength);
    }
    // from_chars would take a second sign; only digits may follow.
    if (rest.empty() || rest.front() == '-' || rest.front() == '+') {
        return def;
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(rest.data(), rest.data() + rest.size(), magnitude, base);
    if (error != std::errc() || end != rest.data() + rest.size()) {
        return def;
    }
    const std::int64_t value =
        negative ? -static_cast<std::int64_t>(std::min<std::uint64_t>(magnitude, 1ULL << 32))
                 : static_cast<std::int64_t>(std::min<std::uint64_t>(magnitude, 1ULL << 32));
    if (value < INT32_MIN || value > INT32_MAX) {
        return def;
    }
    return static_cast<int>(value);
}

bool TQDReg::IsInt(const std::string& text) {
    return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

std::string TQDReg::EncodeText(const std::string& text, const std::string& separator) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += separator;
            ++i;
        } else if (text[i] == '\r' || text[i] == '\n') {
            result += separator;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string TQDReg::DecodeText(const std::string& text, const std::string& separator) {
    // An empty separator would match everywhere; it marks no line break at all.
    if (separator.empty()) {
        return text;
    }
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, separator.size(), separator) == 0) {
            result += "\r\n";
            i += separator.size();
        } else {
            result += text[i];
            ++i;
        }
    }
    return result;
}

void TQDReg::ReportProblem(const std::string& problem) {
    if (problem.empty()) {
        return;
    }
    if (!lastError_.empty()) {
        lastError_ += "\n";
    }
    lastError_ += problem;
}
