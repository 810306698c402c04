// The per-user settings store, the program's everyday place for its settings.
#include "components/qdreg.h"

using sortwell::platform::FlushTiming;
using sortwell::platform::SettingsFolder;
using sortwell::platform::SettingsRead;
using sortwell::platform::SettingsTree;
using sortwell::platform::SettingsWrite;

std::string TQDReg::ProgramPath() const {
    return Firmenname.empty() ? Programmname : Firmenname + "/" + Programmname;
}

bool TQDReg::RawSaveAllToRegistry(FlushTiming timing) {
    // One write for the whole store: a crash leaves the old or the new settings, never a mix.
    // Values that have no entry are left in place, as the registry keeps them.
    const SettingsWrite written = host_.settings->update(
        ProgramPath(), [this](SettingsTree& tree) { tree.setAll(entries_); }, timing);
    ReportProblem(written.problem);
    return written.ok;
}

bool TQDReg::RawSaveRegistryValue(const std::string& key, const std::string& value,
                                  const std::string& folder) {
    const SettingsWrite written = host_.settings->update(
        ProgramPath(), [&](SettingsTree& tree) { tree.folder(folder).set(key, value); },
        FlushTiming::Now);
    ReportProblem(written.problem);
    return written.ok;
}

namespace {

void AppendFolder(const SettingsFolder& folder, std::vector<TQDReg::Entry>& entries) {
    for (const auto& [key, value] : folder.values) {
        entries.push_back(TQDReg::Entry{key, value, folder.name});
    }
}

}  // namespace

bool TQDReg::RawLoadAllFoldersFromRegistry() {
    const SettingsRead read = host_.settings->read(ProgramPath());
    ReportProblem(read.problem);
    if (read.status != SettingsRead::Status::Read) {
        return false;
    }
    std::vector<Entry> loaded;
    if (const SettingsFolder* root = read.tree.findFolder("")) {
        AppendFolder(*root, loaded);
    }
    for (const SettingsFolder& folder : read.tree.folders()) {
        if (!folder.name.empty()) {
            AppendFolder(folder, loaded);
        }
    }
    AddAll(std::move(loaded));
    return true;
}

bool TQDReg::RawLoadFolderFormRegistry(const std::string& folder) {
    const SettingsRead read = host_.settings->read(ProgramPath());
    ReportProblem(read.problem);
    const SettingsFolder* found =
        read.status == SettingsRead::Status::Read ? read.tree.findFolder(folder) : nullptr;
    if (found == nullptr) {
        return false;
    }
    std::vector<Entry> loaded;
    AppendFolder(*found, loaded);
    AddAll(std::move(loaded));
    return true;
}

bool TQDReg::RawClearRegistry(const std::string& folder) {
    if (folder.empty()) {
        return host_.settings->removeProgramKey(ProgramPath());
    }
    const SettingsRead read = host_.settings->read(ProgramPath());
    ReportProblem(read.problem);
    if (read.status != SettingsRead::Status::Read || read.tree.findFolder(folder) == nullptr) {
        return false;
    }
    bool removed = false;
    const SettingsWrite written = host_.settings->update(
        ProgramPath(), [&](SettingsTree& tree) { removed = tree.removeFolder(folder); },
        FlushTiming::Now);
    ReportProblem(written.problem);
    return written.ok && removed;
}

bool TQDReg::SaveToRegistry(FlushTiming timing) {
    lastError_.clear();
    return RawSaveAllToRegistry(timing);
}

bool TQDReg::LoadFromRegistry() {
    lastError_.clear();
    Clear();
    return RawLoadAllFoldersFromRegistry();
}

bool TQDReg::AppendFromRegistry() {
    lastError_.clear();
    return RawLoadAllFoldersFromRegistry();
}

bool TQDReg::ClearRegistry() {
    lastError_.clear();
    return RawClearRegistry("");
}

void TQDReg::FlushRegistry() {
    host_.settings->flush();
}
