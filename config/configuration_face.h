#pragma once

#include <string>
#include <vector>

#include <QString>

#include "desk/target_button.h"

// What the desk may ask of the Configuration dialog. The dialog's fields hold the live values
// of most settings: a getter reads the field as it is now, an unsaved edit in the open dialog
// included, and a setter fills it from the store.
class ConfigurationFace {
public:
    virtual ~ConfigurationFace() = default;

    // The folder the desk watches for scans.
    virtual QString inputFolder() const = 0;
    virtual void setInputFolder(const QString& folder) = 0;
    // Whether a filed document keeps its original name after the built one.
    virtual bool attachOriginalName() const = 0;
    virtual void setAttachOriginalName(bool attach) = 0;
    // Whether every new PDF in the input folder is presented, also without a scan run.
    virtual bool watchInput() const = 0;
    virtual void setWatchInput(bool watch) = 0;
    // Whether the desk shows a preview of the document.
    virtual bool showPreview() const = 0;
    virtual void setShowPreview(bool show) = 0;
    // Whether the program starts with the desktop session.
    virtual bool autostart() const = 0;
    virtual void setAutostart(bool autostart) = 0;
    // The number of grid columns as typed, which need not be a number.
    virtual QString columnsText() const = 0;
    virtual void setColumnsText(const QString& text) = 0;
    // The targets, in list order.
    virtual std::vector<sortwell::desk::TargetButton> targetButtons() const = 0;
    virtual void setTargetButtons(const std::vector<sortwell::desk::TargetButton>& buttons) = 0;
    // The names, in list order; setting them also sets the names a target can be hidden for.
    virtual std::vector<std::string> names() const = 0;
    virtual void setNames(const std::vector<std::string>& names) = 0;
    // The automation sequence, lines ended by CR LF.
    virtual std::string sequenceText() const = 0;
    virtual void setSequenceText(const std::string& text) = 0;

    // The runner: a run from the first line, its end, and the next step after the desk has
    // dealt with the document that the run handed over.
    virtual void Run() = 0;
    virtual void AbortRun() = 0;
    virtual void resumeRunner() = 0;
    // Reads the open windows anew for the runner and the window list.
    virtual void refreshWindowList() = 0;

    // Shows the dialog and returns when the user has closed it.
    virtual void showModal() = 0;
    // Says something without taking the focus from the window that has it.
    virtual void notify(const QString& title, const QString& text) = 0;
};
