#pragma once

#include <optional>
#include <string>

#include <QWidget>

#include "components/event_timer.h"
#include "desk/desk_face.h"
#include "desk/desk_services.h"
#include "desk/detection.h"
#include "desk/document_stability.h"
#include "desk/filing.h"
#include "desk/inbox.h"
#include "desk/undo_filing.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSocketNotifier;
class QSystemTrayIcon;
class QToolButton;
class ConfigurationFace;
class TMaskEdit;
class TQStatus;
class Notice;
class DesktopNotification;
class DocumentPreview;

// The main window, the document desk: the header with date, tag and name, the grid of target
// buttons, the Active switch, the status bar, the tray icon and the timers that drive
// detection. It holds the desk's runtime state; the settings live in its own controls, in the
// fields of the Configuration dialog and in the store.
class TForm1 : public QWidget, public DeskFace {
    Q_OBJECT
public:
    explicit TForm1(DeskServices services);
    ~TForm1() override;

    // The Configuration dialog is created after the main window; the program hands it over at
    // once.
    void connectConfiguration(ConfigurationFace* configuration);

    // Controls, named as the rest of the program knows them.
    QFrame* Panel2 = nullptr;
    QLabel* Label7 = nullptr;
    TMaskEdit* MaskEdit1 = nullptr;
    TMaskEdit* MaskEdit2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label4 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label10 = nullptr;
    QFrame* Panel1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Button1 = nullptr;
    TQStatus* QStatus1 = nullptr;
    // Why the last filing or Dismiss did not happen; shown until the next action.
    QLabel* ProblemLine = nullptr;
    // What to set up first, while the grid cannot show a target to file into.
    QLabel* GridHint = nullptr;
    // How many documents wait behind the one on the desk.
    QLabel* WaitingLabel = nullptr;
    // "&Undo": takes the last filing back.
    QPushButton* UndoButton = nullptr;
    // The first page of the document, beside the grid, while "preview" is on.
    DocumentPreview* Preview = nullptr;

    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* ShowMainWindow1 = nullptr;
    QAction* OpenDocumentFolder1 = nullptr;
    QAction* UndoFiling1 = nullptr;
    QAction* Enable1 = nullptr;
    QAction* Disable1 = nullptr;
    QAction* Terminate1 = nullptr;

    EventTimer Timer1;
    EventTimer StartTimer;
    EventTimer ButtonRefreshTimer;
    EventTimer DocumentDetectionTimer;
    EventTimer DocumentDetectionTimerTimeout;
    EventTimer ResetDateTimer;
    EventTimer AlertTimer;
    EventTimer DoubleClickTimer;
    // The input folder as an inbox: one listing 25 ms after the first event of a burst, or
    // every 2 s where no events can be had.
    EventTimer InboxSettleTimer;
    EventTimer InboxPollTimer;

    // Lifecycle.
    void StartTimerTimer();
    void FormShow();
    void FormResize();
    // True when the window may close; otherwise the request dismisses the document and hides.
    bool FormCloseQuery();
    void CheckBox1Click();
    void Button1Click();
    void Timer1Timer();

    // Settings model.
    void Load() override;
    void Save() override;
    void LoadDefaults() override;

    // What the dialogs may ask of the desk besides the settings.
    bool isActive() const override;
    void setActive(bool active) override;
    void stopActive() override;
    void setDetectionTimers(bool on) override;
    void setWindowListTimer(bool on) override;
    void setRunnerStatus(const QString& text) override;

    // Grid.
    void RefreshButtons();
    void PostponedRefreshButtons();
    void ButtonRefreshTimerTimer();

    // Tray, menu and alert.
    void TrayIcon1Click();
    void TrayIcon1Minimize();
    void TrayIcon1Restore();
    void DoubleClickTimerTimer();
    void ShowMainWindow1Click();
    void OpenDocumentFolder1Click();
    void Enable1Click();
    void Disable1Click();
    void Terminate1Click();
    // The session is ending: the window may close without dismissing anything. A session that
    // goes on after all (a cancelled log-off) arms the close box again at the next restore.
    void SessionEnding();
    void Alert();
    void AlertTimerTimer();
    void Label10Click();
    // Says something without taking the focus or waiting for an answer.
    void notify(const QString& text);
    void MinimizeToTray();
    void RestoreFromTray();
    // Where the desktop may refuse the desk the focus (Wayland), a desktop notification says
    // that a document waits, and a click on it opens the desk.
    void callWhereFocusIsNotGiven();
    // Asks the window host to activate the desk's own window; false when it cannot.
    bool activateOwnWindow();
    // Whether the notification area holds the icon; without it "to the tray" minimises.
    bool trayAvailable() const;
    // The tray image: 0 idle, 1 running.
    void SetTrayImage(int index) override;
    int trayImage() const { return trayImage_; }

    // Detection.
    void Detection(bool baseline);
    void DocumentDetectionTimerTimer();
    void DocumentDetectionTimerTimeoutTimer();

    // Inbox.
    void FolderWatchActivated();
    void InboxSettleTimerTimer();
    void InboxPollTimerTimer();
    bool inboxOn() const { return inboxOn_; }
    // A later start moved this file into the input folder for the desk: it joins the queue
    // after the documents that wait already, whether or not the folder is watched.
    void PresentHandedOver(const std::string& path);
    const sortwell::desk::Inbox& inbox() const { return inbox_; }
    // True while the input folder is followed by events rather than polled.
    bool watchingInputFolder() const { return watchNotifier_ != nullptr; }
    bool previewOn() const;

    // Filing.
    void MainButtonClick(QAbstractButton* button);
    void SpeedButton1Click();

    // Undo: the desk's button and Ctrl+Z, the tray item and a later start's --undo.
    void UndoButtonClick();
    void UndoFiling1Click();
    void UndoLastFiling();
    // The same once the start sequence has loaded the settings.
    void UndoWhenStarted();
    // The note that the last filing left, and the tray's word of it.
    Notice* filingNotice() const { return filingNotice_; }

    // Date, tag and name.
    void ResetDate();
    void ResetDateTimerTimer();
    void PostponedResetDate();
    void Edit1Change();
    void Edit1KeyDown();
    void ComboBox1Change();

    // Desk state.
    std::string currentDocument;
    sortwell::desk::KnownFiles knownFiles;
    bool tagConfirmed = false;
    bool startupDone = false;
    bool exitRequested = false;
    bool inTray = false;
    int mainButtonSerial = 0;

    TQDReg& store() const { return *services_.store; }
    const DeskServices& services() const { return services_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createHeader();
    void createBody();
    void createTimers();
    void createTray();
    void layOutControls();
    void applyMinimumSize();
    void centreOnScreen();
    void applyStoredSize();
    void lookForNotificationArea();
    void showTrayIcon();
    void setAlertColours(bool alert);
    void presentDocument();
    void rememberPresentedDocument();
    // False, with the reason on the desk, when the file under the presented name is gone or
    // is another file now.
    bool isPresentedDocumentAtHand();
    void refuseIncompleteYear();
    // What a click on a target with `pattern` would file, from the entries as they stand.
    sortwell::desk::FilingRequest filingRequest(const std::string& pattern) const;
    bool fixedFolderExists(const std::string& pattern) const;
    // Looks again at which targets' fixed folders exist, then updates every tooltip.
    void checkTargetFolders();
    // Each target's tooltip says where a click would file now.
    void updateTargetHints();
    // False when the target's fixed folder is missing and the user did not want it created.
    bool mayFileInto(const std::string& pattern);
    void forgetDocument();
    void showProblem(const QString& text);
    void clearProblem();
    void updateGridHint(bool hasTargets);
    void reportUnreadableInputFolder(bool baseline, const std::string& reason);
    void clearFolderProblem();
    // Starts or stops the inbox as the live setting says, and follows a changed folder.
    void followInboxSetting();
    std::string inboxFolder() const;
    void startInbox(bool holdUntilOpened);
    void stopInbox();
    void watchInputFolder();
    void stopWatching();
    void sayPollingOnce(const std::string& reason);
    // One listing of the input folder into the queue; returns the names that joined.
    std::vector<std::string> refreshInbox();
    // The documents in `folder` with their times; nothing, said on the desk, when it cannot be
    // listed.
    std::optional<std::vector<sortwell::desk::InboxEntry>> listInbox(const std::string& folder);
    void scanInbox();
    void presentWhenFree();
    bool presentNextWaiting();
    void showWaitingCount();
    // Remembers how the document looks now, so that a later click can tell whether it changed;
    // nothing when it cannot be seen.
    std::optional<sortwell::platform::FileStat> lookAtDocument(
        std::chrono::steady_clock::time_point seenAt);
    // False while the scanner may still be writing the document.
    bool isDocumentStable();
    void clearDesk(const QString& statusText);
    // The body of MainButtonClick, which keeps an undo from changing the desk under it.
    void fileByTarget(QAbstractButton* button);
    // Notes a filing in the journal, so that it can be taken back; the reason when it cannot.
    std::string recordFiling(const sortwell::desk::FilingRequest& request,
                             const sortwell::desk::FilingPlan& plan,
                             const std::vector<std::string>& createdFolders);
    std::string noteFiling(const sortwell::desk::FilingRequest& request,
                           const sortwell::desk::FilingPlan& plan,
                           const std::vector<std::string>& createdFolders,
                           const sortwell::platform::FileStat& filedStat);
    void sayFiled(const std::string& name, const std::string& target, bool undoable);
    // The button and the tray item follow what can be taken back.
    void offerUndo();
    void presentReturned(const sortwell::desk::UndoOutcome& outcome);
    void useFiledEntries(const sortwell::desk::FilingEntries& entries);
    // The tag field proposes the tags of earlier filings.
    void updateTagSuggestions();
    void updateTrayToolTip();
    // Shows or hides the preview as the live setting says; the window grows or shrinks by it.
    void followPreviewSetting();
    // The width the preview takes beside a grid panel of this size; 0 while it is off.
    int previewWidth(int bodyWidth, int bodyHeight) const;
    static constexpr int kPreviewGap = 6;
    void previewPresentedDocument();
    void resumeRunner();
    QString inputFolder() const;
    void writeStore(sortwell::platform::FlushTiming timing);
    void scheduleFlush();
    void reportOnce(const std::string& problem);
    void removeLeftoverTemporaries();

    DeskServices services_;
    ConfigurationFace* configuration_ = nullptr;
    int trayImage_ = 0;
    int trayRetriesLeft_ = 0;
    EventTimer trayRetryTimer_;
    EventTimer flushTimer_;
    std::optional<sortwell::desk::DocumentLook> documentLook_;
    std::string presentedFolder_;
    sortwell::platform::FileStat presentedStat_;
    bool folderProblemShown_ = false;
    sortwell::desk::Inbox inbox_;
    // Files handed over before the start sequence had loaded the settings.
    std::vector<std::string> handedOverEarly_;
    bool inboxOn_ = false;
    // Start-up documents wait until the user opens the desk.
    bool holdUntilOpened_ = false;
    bool pollingSaid_ = false;
    std::string watchedFolder_;
    QSocketNotifier* watchNotifier_ = nullptr;
    bool exitForSessionEnd_ = false;
    bool centredOnce_ = false;
    std::string lastReported_;
    bool minimizingToTaskbar_ = false;
    Notice* filingNotice_ = nullptr;
    DesktopNotification* readyNote_ = nullptr;
    bool undoWhenStarted_ = false;
    // A question during a filing runs the event loop: an undo asked for meanwhile waits.
    bool filingInProgress_ = false;
    bool undoAfterFiling_ = false;
    // The last filing that could not be noted: Undo would take back an earlier one instead.
    std::string unrecordedFiling_;
    QString lastFiling_;
};
