#pragma once

#include <string>
#include <vector>

#include <QString>

#include "desk/desk_face.h"

namespace sortwell::test {

// A desk without a window: the switches the dialogs set, and a record of the settings calls.
class FakeDesk : public DeskFace {
public:
    bool active = false;
    bool detectionTimers = false;
    bool windowListTimer = false;
    int trayImage = 0;
    QString runnerStatus;
    std::vector<std::string> calls;

    void Save() override { calls.emplace_back("Save"); }
    void Load() override { calls.emplace_back("Load"); }
    void LoadDefaults() override { calls.emplace_back("LoadDefaults"); }
    bool isActive() const override { return active; }
    void setActive(bool value) override {
        calls.emplace_back(value ? "setActive(true)" : "setActive(false)");
        active = value;
    }
    void stopActive() override {
        calls.emplace_back("stopActive");
        active = false;
    }
    void setDetectionTimers(bool on) override { detectionTimers = on; }
    void setWindowListTimer(bool on) override { windowListTimer = on; }
    void SetTrayImage(int index) override { trayImage = index; }
    void setRunnerStatus(const QString& text) override { runnerStatus = text; }
};

}  // namespace sortwell::test
