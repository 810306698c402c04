#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "components/message_box.h"
#include "components/qstatus.h"
#include "config/sequence_step.h"
#include "config/tform3.h"
#include "desk/tform1.h"

namespace {
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

void TForm3::Button11Click() {
    Run();
}

void TForm3::Run() {
    Button11->setEnabled(false);
    Button13->setEnabled(true);
    form1_->Timer1.setEnabled(true);
    form1_->SetTrayImage(1);
    currentLine = 0;
    NextTimer.setEnabled(true);
}

void TForm3::AbortRun() {
    setActivity(FromUtf8(sortwell::config::kNoActivity));
    form1_->DocumentDetectionTimer.setEnabled(false);
    form1_->DocumentDetectionTimerTimeout.setEnabled(false);
    form1_->SetTrayImage(0);
    currentLine = 0;
    NextTimer.setEnabled(false);
    Button13->setEnabled(false);
    Button11->setEnabled(true);
    if (form1_->CheckBox1->isChecked()) {
        Run();
    }
}

void TForm3::Button13Click() {
    form1_->Timer1.setEnabled(false);
    form1_->CheckBox1->setChecked(false);
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
        form1_->DocumentDetectionTimerTimeout.setEnabled(true);
        form1_->DocumentDetectionTimer.setEnabled(true);
        NextTimer.setEnabled(false);
    } else {
        hostProblem = sortwell::config::PerformStep(decision, *services_.windowSystem,
                                                    *services_.processControl, *services_.keyboard);
    }
    if (decision.advance) {
        ++currentLine;
    }
    // Shown once the step is complete: the message's own event loop lets the next step run.
    reportStepProblem(hostProblem);
    reportStepProblem(decision.error);
}

void TForm3::reportStepProblem(const std::string& problem) {
    // A run that loops meets the same faulty line again and again; one message is enough.
    if (problem.empty() || !reportedProblems_.insert(problem).second) {
        return;
    }
    MessageBox::warning(this, QStringLiteral("Automation"), QString::fromStdString(problem));
}

void TForm3::setActivity(const QString& text) {
    Label12->setText(text);
    form1_->QStatus1->setPanelText(1, text);
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
