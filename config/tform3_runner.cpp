#include <algorithm>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "config/sequence_step.h"
#include "config/tform3.h"
#include "desk/desk_face.h"

namespace {
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

void TForm3::Button11Click() {
    Run();
}

void TForm3::Run() {
    // A new run says its faults anew; starting over after the last line is the same run.
    reportedProblems_.clear();
    startAtFirstLine();
}

void TForm3::startAtFirstLine() {
    Button11->setEnabled(false);
    Button13->setEnabled(true);
    desk_->setWindowListTimer(true);
    desk_->SetTrayImage(1);
    currentLine = 0;
    NextTimer.setEnabled(true);
}

void TForm3::AbortRun() {
    setActivity(FromUtf8(sortwell::config::kNoActivity));
    desk_->setDetectionTimers(false);
    desk_->SetTrayImage(0);
    currentLine = 0;
    NextTimer.setEnabled(false);
    Button13->setEnabled(false);
    Button11->setEnabled(true);
    if (desk_->isActive()) {
        startAtFirstLine();
    }
}

void TForm3::resumeRunner() {
    NextTimer.setEnabled(true);
}

void TForm3::notify(const QString& title, const QString& text) {
    notice_.say(title, text);
}

void TForm3::Button13Click() {
    desk_->setWindowListTimer(false);
    desk_->setActive(false);
    AbortRun();
}

void TForm3::NextTimerTimer() {
    using sortwell::config::StepAction;
    const sortwell::config::StepDecision decision =
        sortwell::config::DecideStep(currentLine, sequenceText(), windowList_);
    if (decision.action == StepAction::AbortRun) {
        AbortRun();
        return;
    }
    setActivity(QString::fromStdString(decision.activity));
    if (decision.intervalMs) {
        NextTimer.setInterval(*decision.intervalMs);
    }
    std::string hostProblem;
    if (decision.action == StepAction::HandOver) {
        desk_->setDetectionTimers(true);
        NextTimer.setEnabled(false);
    } else {
        hostProblem = sortwell::config::PerformStep(decision, *services_.windowSystem,
                                                    *services_.processControl, *services_.keyboard);
    }
    if (decision.advance) {
        ++currentLine;
    }
    reportStepProblem(decision.activity, hostProblem);
    reportStepProblem(decision.activity, decision.error);
}

// Never a message box: the next step's keys would go into it instead of the scanner program.
void TForm3::reportStepProblem(const std::string& activity, const std::string& problem) {
    if (problem.empty()) {
        return;
    }
    const QString report = FromUtf8(activity) + QStringLiteral(" \u2014 ") + FromUtf8(problem);
    setActivity(report);
    // A run that loops meets the same faulty line again and again; one note per run is enough.
    if (reportedProblems_.insert(problem).second) {
        notice_.say(QStringLiteral("Sortwell automation"), report);
    }
}

void TForm3::setActivity(const QString& text) {
    Label12->setText(text);
    desk_->setRunnerStatus(text);
}

void TForm3::Button10Click() {
    sortwell::platform::WindowSystem& windows = *services_.windowSystem;
    const std::vector<sortwell::platform::WindowInfo> open =
        windows.isAvailable() ? windows.listTopLevelWindows()
                              : std::vector<sortwell::platform::WindowInfo>{};
    const std::vector<sortwell::platform::WindowInfo> before = windowList_.Entries();
    windowList_.Refresh(open);
    // Rebuilding the same list twice a second would only throw away the user's selection.
    const auto sameWindow = [](const auto& a, const auto& b) {
        return a.handle == b.handle && a.pid == b.pid && a.title == b.title;
    };
    const auto& after = windowList_.Entries();
    if (!std::equal(before.begin(), before.end(), after.begin(), after.end(), sameWindow)) {
        fillWindowListBoxes();
    }
}

void TForm3::refreshWindowList() {
    Button10Click();
}

void TForm3::fillWindowListBoxes() {
    ListBox1->clear();
    ListBox2->clear();
    ListBox3->clear();
    for (const sortwell::platform::WindowInfo& window : windowList_.Entries()) {
        ListBox1->addItem(QString::fromStdString(window.title));
        ListBox2->addItem(QString::number(window.pid));
        ListBox3->addItem(QString::number(window.handle));
    }
}
