#pragma once

#include <QString>

// What the dialogs may ask of the desk.
class DeskFace {
public:
    virtual ~DeskFace() = default;

    // The settings: the live values to the store, the store to the windows, and the defaults
    // to both.
    virtual void Save() = 0;
    virtual void Load() = 0;
    virtual void LoadDefaults() = 0;

    // The Active switch; setting it runs its handler as a click would.
    virtual bool isActive() const = 0;
    virtual void setActive(bool active) = 0;
    // Switches Active off for a run that stopped on its own, storing only that: the other
    // fields may hold unsaved edits of an open dialog.
    virtual void stopActive() = 0;

    // The watch over the input folder, with its timeout, that the runner hands over to.
    virtual void setDetectionTimers(bool on) = 0;
    // The regular refresh of the window list.
    virtual void setWindowListTimer(bool on) = 0;
    // The tray image: 0 idle, 1 running.
    virtual void SetTrayImage(int index) = 0;
    // What the runner is doing, in the status bar.
    virtual void setRunnerStatus(const QString& text) = 0;
};
