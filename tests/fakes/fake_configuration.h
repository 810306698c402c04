#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "config/configuration_face.h"

namespace sortwell::test {

// A Configuration dialog without a window: fields the test sets and reads, and a record of
// what the desk asked of the runner, the window list and the note.
class FakeConfiguration : public ConfigurationFace {
public:
    QString folder;
    bool attach = true;
    bool watch = true;
    bool preview = true;
    bool startsWithSession = true;
    QString columns = QStringLiteral("3");
    std::vector<desk::TargetButton> buttons;
    std::vector<std::string> nameList;
    std::string sequence;
    std::vector<std::string> calls;
    std::vector<std::pair<QString, QString>> notes;  // title, text
    // Runs where the dialog would be on the screen.
    std::function<void()> whileShown;

    QString inputFolder() const override { return folder; }
    void setInputFolder(const QString& value) override { folder = value; }
    bool attachOriginalName() const override { return attach; }
    void setAttachOriginalName(bool value) override { attach = value; }
    bool watchInput() const override { return watch; }
    void setWatchInput(bool value) override { watch = value; }
    bool showPreview() const override { return preview; }
    void setShowPreview(bool value) override { preview = value; }
    bool autostart() const override { return startsWithSession; }
    void setAutostart(bool value) override { startsWithSession = value; }
    QString columnsText() const override { return columns; }
    void setColumnsText(const QString& value) override { columns = value; }
    std::vector<desk::TargetButton> targetButtons() const override { return buttons; }
    void setTargetButtons(const std::vector<desk::TargetButton>& value) override {
        buttons = value;
    }
    std::vector<std::string> names() const override { return nameList; }
    void setNames(const std::vector<std::string>& value) override { nameList = value; }
    std::string sequenceText() const override { return sequence; }
    void setSequenceText(const std::string& value) override { sequence = value; }

    void Run() override { calls.emplace_back("Run"); }
    void AbortRun() override { calls.emplace_back("AbortRun"); }
    void resumeRunner() override { calls.emplace_back("resumeRunner"); }
    void refreshWindowList() override { calls.emplace_back("refreshWindowList"); }
    void showModal() override {
        calls.emplace_back("showModal");
        if (whileShown) {
            whileShown();
        }
    }
    void notify(const QString& title, const QString& text) override {
        notes.emplace_back(title, text);
    }
};

}  // namespace sortwell::test
