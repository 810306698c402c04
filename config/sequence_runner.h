#pragma once

#include <chrono>
#include <memory>
#include <set>
#include <string>

#include <QObject>
#include <QString>

#include "components/event_timer.h"
#include "config/sequence_step.h"
#include "config/window_list.h"
#include "desk/desk_services.h"
#include "platform/program_runner.h"

class ConfigurationFace;
class DeskFace;
class Notice;

class QSocketNotifier;

namespace sortwell::config {
struct StepDecision;
}

// The automation runner: steps through the sequence, one line a tick, and hands over to the
// desk at "HANDLEDOCUMENT"; at "RUN:" it waits, without blocking, for the program to end. It also
// keeps the list of open windows the steps look windows up in. It lives from the start on, whether
// the Configuration dialog has been built or not; the dialog shows its state through the signals.
class SequenceRunner : public QObject {
    Q_OBJECT
public:
    SequenceRunner(DeskServices services, DeskFace* desk);
    ~SequenceRunner() override;

    // Where each step reads the sequence, lines ended by CR LF.
    void readSequenceFrom(const ConfigurationFace* configuration);

    EventTimer NextTimer;
    int currentLine = 0;

    // A run from the first line; its end, starting over while the desk is active; the next
    // step after the desk has dealt with the document the run handed over.
    void Run();
    void AbortRun();
    void resumeRunner();
    // The Abort button: the desk is switched off as well.
    void abortByUser();
    void NextTimerTimer();
    bool isRunning() const { return running_; }
    // What the runner is doing: "<line>: <command>", or "n/a".
    const QString& activity() const { return activity_; }

    // The user wrote `sequence` here: its programs run without being asked about. Written to
    // the store only; the caller saves it.
    void confirmSequence(const std::string& sequence);
    bool isProgramRunning() const { return program_ != nullptr; }

    // Reads the open windows anew.
    void refreshWindowList();
    const sortwell::config::WindowList& windowList() const { return windowList_; }

    // Where the runner says what went wrong without taking the keyboard from the scanner; made
    // when first needed.
    Notice& notice();
    void notify(const QString& title, const QString& text);

signals:
    void runningChanged(bool running);
    void activityChanged(const QString& activity);
    // The open windows differ from the ones listed before.
    void windowListChanged();

private:
    void startAtFirstLine();
    void listenForWindowNews();
    void takeWindowNews();
    void setRunning(bool running);
    void setActivity(const QString& text);
    void reportStepProblem(const std::string& activity, const std::string& problem);
    // Stops for good, Active switched off, and says why.
    void stopRun(const std::string& activity, const std::string& problem);
    // Why the desktop cannot carry out the current line, or empty text.
    std::string desktopCannot(sortwell::config::DesktopNeed need) const;

    std::string currentSequence() const;
    bool needsConfirmation(const std::string& sequence) const;
    // Asked once the caller is done, never from inside the Active switch's handler.
    void askToConfirmLater();
    void askToConfirm();

    void startProgram(const sortwell::config::StepDecision& decision);
    void watchProgram();
    void endProgram();
    std::chrono::steady_clock::time_point now() const;

    DeskServices services_;
    DeskFace* desk_;
    const ConfigurationFace* configuration_ = nullptr;
    bool running_ = false;
    QString activity_;
    sortwell::config::WindowList windowList_;
    std::set<std::string> reportedProblems_;
    std::unique_ptr<Notice> notice_;
    QSocketNotifier* windowNews_ = nullptr;
    bool confirmationAsked_ = false;
    // The program of the RUN line at currentLine, while it runs.
    std::unique_ptr<sortwell::platform::RunningProgram> program_;
    std::string programName_;
    std::string programActivity_;
    std::chrono::steady_clock::time_point programStarted_;
};
