#include "config/sequence_runner.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include <QSocketNotifier>
#include <QSysInfo>

#include "components/message_box.h"
#include "components/notice.h"
#include "config/configuration_face.h"
#include "config/run_arguments.h"
#include "config/run_confirmation.h"
#include "config/run_report.h"
#include "config/sequence_step.h"
#include "desk/desk_face.h"

namespace {
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Confirmations hold for this machine only.
std::string MachineKey() {
    const QByteArray id = QSysInfo::machineUniqueId();
    return id.isEmpty() ? QSysInfo::machineHostName().toStdString() : id.toStdString();
}
}  // namespace

SequenceRunner::SequenceRunner(DeskServices services, DeskFace* desk)
    : NextTimer(this, sortwell::config::kStepIntervalMs),
      services_(std::move(services)),
      desk_(desk),
      activity_(FromUtf8(sortwell::config::kNoActivity)) {
    connect(&NextTimer, &EventTimer::timeout, this, &SequenceRunner::NextTimerTimer);
    listenForWindowNews();
}

void SequenceRunner::listenForWindowNews() {
    const int news =
        services_.windowSystem != nullptr ? services_.windowSystem->newsDescriptor() : -1;
    if (news < 0) {
        return;
    }
    windowNews_ = new QSocketNotifier(news, QSocketNotifier::Read, this);
    connect(windowNews_, &QSocketNotifier::activated, this, &SequenceRunner::takeWindowNews);
}

// A desktop that is gone stays readable for ever; the next window step says what happened.
void SequenceRunner::takeWindowNews() {
    if (!services_.windowSystem->takeNews()) {
        windowNews_->setEnabled(false);
    }
}

SequenceRunner::~SequenceRunner() = default;

void SequenceRunner::readSequenceFrom(const ConfigurationFace* configuration) {
    configuration_ = configuration;
}

void SequenceRunner::Run() {
    if (needsConfirmation(currentSequence())) {
        askToConfirmLater();
        return;
    }
    // A new run says its faults anew; starting over after the last line is the same run.
    reportedProblems_.clear();
    startAtFirstLine();
}

void SequenceRunner::startAtFirstLine() {
    endProgram();
    setRunning(true);
    desk_->setWindowListTimer(true);
    desk_->SetTrayImage(1);
    currentLine = 0;
    NextTimer.setEnabled(true);
}

void SequenceRunner::AbortRun() {
    endProgram();
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
    if (program_) {
        watchProgram();
        return;
    }
    const sortwell::config::StepDecision decision =
        sortwell::config::DecideStep(currentLine, currentSequence(), windowList_);
    if (decision.action == StepAction::AbortRun) {
        AbortRun();
        return;
    }
    // Waiting for a window that this desktop can never show would be a silent wait for ever.
    if (const std::string cannot = desktopCannot(decision.need); !cannot.empty()) {
        stopRun(decision.activity, cannot);
        return;
    }
    setActivity(QString::fromStdString(decision.activity));
    if (decision.intervalMs) {
        NextTimer.setInterval(*decision.intervalMs);
    }
    if (decision.action == StepAction::StopRun) {
        stopRun(decision.activity, decision.error);
        return;
    }
    if (decision.action == StepAction::RunProgram) {
        startProgram(decision);
        return;
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
        // The session's log keeps it too, for whoever looks into a failed run later.
        std::fprintf(stderr, "sortwell: %s\n", qPrintable(report));
        notify(QStringLiteral("Sortwell automation"), report);
    }
}

std::string SequenceRunner::desktopCannot(sortwell::config::DesktopNeed need) const {
    switch (need) {
        case sortwell::config::DesktopNeed::Windows:
            return services_.windowSystem->isAvailable()
                       ? std::string()
                       : services_.windowSystem->unavailableReason();
        case sortwell::config::DesktopNeed::Keys:
            return services_.keyboard->isAvailable() ? std::string()
                                                     : sortwell::config::kNoKeysMessage;
        case sortwell::config::DesktopNeed::None:
            return {};
    }
    return {};
}

void SequenceRunner::stopRun(const std::string& activity, const std::string& problem) {
    endProgram();
    // Starting over would only meet the same fault again.
    if (desk_->isActive()) {
        desk_->stopActive();
    }
    AbortRun();
    reportStepProblem(activity, problem);
}

std::string SequenceRunner::currentSequence() const {
    return configuration_ != nullptr ? configuration_->sequenceText() : std::string();
}

bool SequenceRunner::needsConfirmation(const std::string& sequence) const {
    return !sortwell::config::IsConfirmed(*services_.store, sequence, MachineKey());
}

void SequenceRunner::confirmSequence(const std::string& sequence) {
    sortwell::config::Confirm(*services_.store, sequence, MachineKey());
}

void SequenceRunner::askToConfirmLater() {
    if (confirmationAsked_) {
        return;
    }
    confirmationAsked_ = true;
    QMetaObject::invokeMethod(this, &SequenceRunner::askToConfirm, Qt::QueuedConnection);
}

void SequenceRunner::askToConfirm() {
    confirmationAsked_ = false;
    const std::string sequence = currentSequence();
    if (needsConfirmation(sequence)) {
        const QString question = QString::fromStdString(
            sortwell::config::ConfirmationQuestion(sortwell::config::RunPrograms(sequence)));
        if (MessageBox::question(nullptr, QStringLiteral("Sortwell automation"), question) !=
            MessageBox::Answer::Yes) {
            if (desk_->isActive()) {
                desk_->stopActive();
            }
            return;
        }
        confirmSequence(sequence);
        services_.store->SaveToRegistry();
    }
    reportedProblems_.clear();
    startAtFirstLine();
}

void SequenceRunner::startProgram(const sortwell::config::StepDecision& decision) {
    const std::string sequence = currentSequence();
    // The sequence may have changed under a run, by an import among others.
    if (needsConfirmation(sequence)) {
        stopRun(decision.activity, sortwell::config::UnconfirmedProblem());
        return;
    }
    const std::string inputDir =
        configuration_ != nullptr ? configuration_->inputFolder().toStdString() : std::string();
    const std::string stamp = sortwell::config::DateTimeStamp(sortwell::config::LocalTimeOf(
        services_.wallClock ? services_.wallClock() : std::chrono::system_clock::now()));
    const sortwell::config::RunCommand command =
        sortwell::config::ExpandRunCommand(decision.run, inputDir, stamp);
    if (services_.programRunner == nullptr) {
        stopRun(decision.activity,
                sortwell::config::StartProblem(command.program, "programs cannot be started here"));
        return;
    }
    sortwell::platform::ProgramStart started =
        services_.programRunner->start(command.program, command.arguments);
    if (!started.program) {
        stopRun(decision.activity,
                sortwell::config::StartProblem(command.program, started.problem));
        return;
    }
    program_ = std::move(started.program);
    programName_ = command.program;
    programActivity_ = decision.activity;
    programStarted_ = now();
}

// Once a tick: the line is done when its program has ended well.
void SequenceRunner::watchProgram() {
    const std::optional<sortwell::platform::ProgramExit> exit = program_->poll();
    if (!exit) {
        if (now() - programStarted_ >= sortwell::config::kProgramTimeLimit) {
            stopRun(programActivity_, sortwell::config::TimeLimitProblem(programName_));
        }
        return;
    }
    program_.reset();
    if (!exit->succeeded()) {
        stopRun(programActivity_, sortwell::config::ExitProblem(programName_, *exit));
        return;
    }
    ++currentLine;
}

void SequenceRunner::endProgram() {
    if (program_) {
        program_->end();
        program_.reset();
    }
}

std::chrono::steady_clock::time_point SequenceRunner::now() const {
    return services_.steadyClock ? services_.steadyClock() : std::chrono::steady_clock::now();
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
