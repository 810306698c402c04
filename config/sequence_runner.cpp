#include "config/sequence_runner.h"

#include <algorithm>
#include <utility>

#include "components/notice.h"
#include "config/configuration_face.h"
#include "config/sequence_step.h"
#include "desk/desk_face.h"

namespace {
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

SequenceRunner::SequenceRunner(DeskServices services, DeskFace* desk)
    : NextTimer(this, sortwell::config::kStepIntervalMs),
      services_(std::move(services)),
      desk_(desk),
      activity_(FromUtf8(sortwell::config::kNoActivity)) {
    connect(&NextTimer, &EventTimer::timeout, this, &SequenceRunner::NextTimerTimer);
}

SequenceRunner::~SequenceRunner() = default;

void SequenceRunner::readSequenceFrom(const ConfigurationFace* configuration) {
    configuration_ = configuration;
}

void SequenceRunner::Run() {
    // A new run says its faults anew; starting over after the last line is the same run.
    reportedProblems_.clear();
    startAtFirstLine();
}

void SequenceRunner::startAtFirstLine() {
    setRunning(true);
    desk_->setWindowListTimer(true);
    desk_->SetTrayImage(1);
    currentLine = 0;
    NextTimer.setEnabled(true);
}

void SequenceRunner::AbortRun() {
    setActivity(FromUtf8(sortwell::config::kNoActivity));
    desk_->setDetectionTimers(false);
    desk_->SetTrayImage(0);
    currentLine = 0;
    NextTimer.setEnabled(false);
    setRunning(false);
    if (desk_->isActive()) {
        startAtFirstLine();
    }
}

void SequenceRunner::resumeRunner() {
    NextTimer.setEnabled(true);
}

void SequenceRunner::abortByUser() {
    desk_->setWindowListTimer(false);
    desk_->setActive(false);
    AbortRun();
}

void SequenceRunner::NextTimerTimer() {
    using sortwell::config::StepAction;
    const std::string sequence = configuration_ ? configuration_->sequenceText() : std::string();
    const sortwell::config::StepDecision decision =
        sortwell::config::DecideStep(currentLine, sequence, windowList_);
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
void SequenceRunner::reportStepProblem(const std::string& activity, const std::string& problem) {
    if (problem.empty()) {
        return;
    }
    const QString report = FromUtf8(activity) + QStringLiteral(" \u2014 ") + FromUtf8(problem);
    setActivity(report);
    // A run that loops meets the same faulty line again and again; one note per run is enough.
    if (reportedProblems_.insert(problem).second) {
        notify(QStringLiteral("Sortwell automation"), report);
    }
}

void SequenceRunner::setRunning(bool running) {
    running_ = running;
    emit runningChanged(running);
}

void SequenceRunner::setActivity(const QString& text) {
    activity_ = text;
    emit activityChanged(text);
    desk_->setRunnerStatus(text);
}

void SequenceRunner::refreshWindowList() {
    sortwell::platform::WindowSystem& windows = *services_.windowSystem;
    const std::vector<sortwell::platform::WindowInfo> open =
        windows.isAvailable() ? windows.listTopLevelWindows()
                              : std::vector<sortwell::platform::WindowInfo>{};
    const std::vector<sortwell::platform::WindowInfo> before = windowList_.Entries();
    windowList_.Refresh(open);
    // Telling of the same list twice a second would only throw away the user's selection.
    const auto sameWindow = [](const auto& a, const auto& b) {
        return a.handle == b.handle && a.pid == b.pid && a.title == b.title;
    };
    const auto& after = windowList_.Entries();
    if (!std::equal(before.begin(), before.end(), after.begin(), after.end(), sameWindow)) {
        emit windowListChanged();
    }
}

Notice& SequenceRunner::notice() {
    if (!notice_) {
        notice_ = std::make_unique<Notice>();
    }
    return *notice_;
}

void SequenceRunner::notify(const QString& title, const QString& text) {
    notice().say(title, text);
}
