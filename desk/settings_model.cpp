#include "desk/settings_model.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/sequence_language.h"

namespace sortwell::desk {

namespace {

// Stands in for each line break of the sequence, which is stored on one line.
const std::string kLineSeparator = "`";
constexpr int kDefaultColumns = 3;
constexpr std::array<const char*, 4> kButtonWords{"icon", "caption", "folder", "hide"};

std::string Key(const char* word, std::size_t index) {
    return word + std::to_string(index);
}

// The store's own conversion, telling a stored number from its default.
std::optional<int> IntegerValue(const std::string& text) {
    const int value = TQDReg::StrToInt(text, 0);
    if (value != TQDReg::StrToInt(text, 1)) {
        return std::nullopt;
    }
    return value;
}

std::string Describe(const TQDRegError& error) {
    return error.detail().empty() ? error.what()
                                  : error.what() + std::string("\n") + error.detail();
}

void SaveColumns(TQDReg& store, SettingsSnapshot& snapshot) {
    const std::optional<int> columns = IntegerValue(snapshot.columnsText);
    if (!columns) {
        snapshot.columnsText = std::to_string(kDefaultColumns);
    }
    store.Push("columns", std::to_string(columns.value_or(kDefaultColumns)));
}

// Persistence never deletes a value, so a shorter list must not leave its old tail readable.
// Entries below `kept` are written again right after, so only the tail past them is blanked;
// starting there also reaches a tail that an earlier gap had cut off, which the next longer
// list would otherwise bring back to life.
void BlankOldButtons(TQDReg& store, std::size_t kept) {
    for (std::size_t n = kept; !store.Pop(Key("icon", n)).empty(); ++n) {
        for (const char* word : kButtonWords) {
            store.Push(Key(word, n), "");
        }
    }
}

void SaveButtons(TQDReg& store, const std::vector<TargetButton>& buttons) {
    for (std::size_t n = 0; n < buttons.size(); ++n) {
        store.Push(Key("icon", n), StoredIcon(buttons[n].icon));
        store.Push(Key("caption", n), buttons[n].caption);
        store.Push(Key("folder", n), buttons[n].folder);
        store.Push(Key("hide", n), buttons[n].hide);
    }
}

void BlankOldNames(TQDReg& store, std::size_t kept) {
    for (std::size_t n = kept; !store.Pop(Key("name", n)).empty(); ++n) {
        store.Push(Key("name", n), "");
    }
}

// An empty name would end the stored list and lose the names after it, so it is left out.
std::vector<std::string> StorableNames(const std::vector<std::string>& names) {
    std::vector<std::string> storable;
    for (const std::string& name : names) {
        if (NameProblem(name).empty()) {
            storable.push_back(name);
        }
    }
    return storable;
}

void SaveNames(TQDReg& store, const std::vector<std::string>& names) {
    for (std::size_t n = 0; n < names.size(); ++n) {
        store.Push(Key("name", n), names[n]);
    }
}

std::vector<TargetButton> LoadButtons(const TQDReg& store) {
    std::vector<TargetButton> buttons;
    for (std::size_t n = 0;; ++n) {
        const std::string icon = store.Pop(Key("icon", n));
        if (icon.empty()) {
            return buttons;
        }
        buttons.push_back({ShownIcon(icon), store.Pop(Key("caption", n)),
                           store.Pop(Key("folder", n)), store.Pop(Key("hide", n))});
    }
}

std::vector<std::string> LoadNames(const TQDReg& store) {
    std::vector<std::string> names;
    for (std::size_t n = 0;; ++n) {
        std::string name = store.Pop(Key("name", n));
        if (name.empty()) {
            return names;
        }
        names.push_back(std::move(name));
    }
}

// The first name when the stored index is no integer or past the last name; a negative index
// selects none, as the selector itself treats it.
int SelectedName(const std::string& stored, std::size_t nameCount) {
    const int index = IntegerValue(stored).value_or(0);
    if (index < 0) {
        return -1;
    }
    return static_cast<std::size_t>(index) >= nameCount ? 0 : index;
}

}  // namespace

std::string StoredIcon(const std::string& icon) {
    return icon.empty() ? kNoIcon : icon;
}

std::string ShownIcon(const std::string& storedIcon) {
    return storedIcon == kNoIcon ? std::string() : storedIcon;
}

// A refused registration is told once and must not keep the remaining settings from the store.
std::string RegisterStartup(TQDReg& store, bool on) {
    try {
        store.SetSystemStartup(on, kStartupName);
    } catch (const TQDRegError& error) {
        return Describe(error);
    }
    return {};
}

std::string NameProblem(const std::string& name) {
    return name.empty() ? "A name cannot be empty." : std::string();
}

SaveReport SaveSettings(TQDReg& store, SettingsSnapshot& snapshot) {
    SaveReport report;
    store.Push("sequence", TQDReg::EncodeText(snapshot.sequence, kLineSeparator));
    store.Push("inputdir", snapshot.inputDir);
    store.PushBool("active", snapshot.active);
    store.PushBool("attach", snapshot.attach);
    store.PushBool("autostart", snapshot.autostart);
    store.PushBool("watchinput", snapshot.watchInput);
    store.PushBool("preview", snapshot.preview);
    report.startupError = RegisterStartup(store, snapshot.autostart);
    SaveColumns(store, snapshot);
    BlankOldButtons(store, snapshot.buttons.size());
    SaveButtons(store, snapshot.buttons);
    const std::vector<std::string> names = StorableNames(snapshot.names);
    if (names.size() != snapshot.names.size()) {
        report.namesError = NameProblem("");
    }
    BlankOldNames(store, names.size());
    SaveNames(store, names);
    return report;
}

LoadedSettings LoadSettings(const TQDReg& store) {
    LoadedSettings loaded;
    SettingsSnapshot& snapshot = loaded.snapshot;
    snapshot.sequence = TQDReg::DecodeText(store.Pop("sequence"), kLineSeparator);
    snapshot.inputDir = store.Pop("inputdir");
    snapshot.columnsText = store.Pop("columns");
    snapshot.buttons = LoadButtons(store);
    snapshot.names = LoadNames(store);
    loaded.nameSelectorVisible = !snapshot.names.empty();
    if (loaded.nameSelectorVisible) {
        loaded.selectedName = SelectedName(store.Pop("selectedname"), snapshot.names.size());
    }
    snapshot.autostart = store.PopCheckBox("autostart", true);
    snapshot.attach = store.PopCheckBox("attach", true);
    snapshot.watchInput = store.PopCheckBox("watchinput", true);
    snapshot.preview = store.PopCheckBox("preview", true);
    snapshot.active = store.PopCheckBox("active", false);
    return loaded;
}

std::string ApplyDefaults(TQDReg& store) {
    // Stored with its CR LF breaks as they are; it holds no grave accent, so Load keeps it.
    store.Push("sequence", config::DefaultSequence());
    store.PushBool("active", false);
    store.PushBool("attach", true);
    store.PushBool("autostart", true);
    store.PushBool("watchinput", true);
    store.PushBool("preview", true);
    std::string startupError = RegisterStartup(store, true);
    store.Push("columns", std::to_string(kDefaultColumns));
    return startupError;
}

}  // namespace sortwell::desk
