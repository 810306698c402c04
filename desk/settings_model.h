#pragma once

#include <string>
#include <vector>

#include "components/qdreg.h"
#include "desk/target_button.h"

namespace sortwell::desk {

// The name under which the program registers to start with the desktop session.
inline constexpr const char* kStartupName = "Tessaryn Sortwell";

// Stands in the store for a button without an icon, because an empty "icon" key ends the
// list. It names no ".ico" or ".bmp" file, so other installations show such a button by its
// caption alone, as they would for a missing image.
inline constexpr const char* kNoIcon = "<none>";

// The values of every control that Load and Save move to and from the store.
struct SettingsSnapshot {
    std::string sequence;  // the automation text as the editor shows it, lines ended by CR LF
    std::string inputDir;
    bool active = false;
    bool attach = true;
    bool autostart = true;
    // Whether every new PDF in the input folder is presented, also without a scan run.
    bool watchInput = true;
    // Whether the desk shows the first page of the document beside the targets.
    bool preview = true;
    std::string columnsText;
    std::vector<TargetButton> buttons;
    std::vector<std::string> names;

    bool operator==(const SettingsSnapshot&) const = default;
};

// What Load puts into the controls.
struct LoadedSettings {
    SettingsSnapshot snapshot;
    // False while there are no names: the main window hides its name selector.
    bool nameSelectorVisible = false;
    // The name to select, as an index into snapshot.names; -1 for none.
    int selectedName = -1;
};

// What a save could not do; every other step of it was done all the same.
struct SaveReport {
    // Why starting with the desktop session could not be registered or removed.
    std::string startupError;
    // Why a name was left out of the stored list.
    std::string namesError;

    bool ok() const { return startupError.empty() && namesError.empty(); }
};

// The icon as the store keeps it, and back as the editor shows it.
std::string StoredIcon(const std::string& icon);
std::string ShownIcon(const std::string& storedIcon);

// Registers or removes the start with the desktop session; returns why that failed, or empty
// text.
std::string RegisterStartup(TQDReg& store, bool on);

// Why the Names tab must refuse this name; empty when it can be kept. An empty name would end
// the stored list and drop every name after it, and no hide text can list it.
std::string NameProblem(const std::string& name);

// Pushes every setting of the snapshot into the store, in Save's order, and registers or
// removes the start with the desktop session. A "columns" text that is no integer is stored,
// and shown, as "3". The caller writes the store with SaveToRegistry afterwards.
SaveReport SaveSettings(TQDReg& store, SettingsSnapshot& snapshot);

// Reads every setting that Load puts into the controls from a store that the caller has just
// filled with LoadFromRegistry.
LoadedSettings LoadSettings(const TQDReg& store);

// Pushes the defaults of "Load Defaults": the default sequence, Active off, the check boxes
// on, 3 columns, and registers the start with the desktop session. Buttons, names and the
// input folder stay. Returns why the registration failed; empty when it did not. The caller
// then writes the store with SaveToRegistry and loads it again.
std::string ApplyDefaults(TQDReg& store);

}  // namespace sortwell::desk
