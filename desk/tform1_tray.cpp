#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "components/desktop_notification.h"
#include "desk/desk_icons.h"
#include "desk/detection.h"
#include "desk/tform1.h"

namespace {
// A panel started with the session may come up after the program: look for it this long.
constexpr int kTrayRetries = 30;
// How long the desktop has to give the desk the focus before a notification asks for it.
constexpr int kFocusGraceMs = 500;

// The program's own documentation: the installed copy, or the one beside the sources.
QUrl DocumentationAddress() {
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/doc/sortwell/README.md"));
    if (QFileInfo(installed).isFile()) {
        return QUrl::fromLocalFile(QFileInfo(installed).canonicalFilePath());
    }
    return QUrl::fromLocalFile(QStringLiteral(SORTWELL_SOURCE_DIR "/README.md"));
}
}  // namespace

void TForm1::callWhereFocusIsNotGiven() {
    if (QGuiApplication::platformName() != QStringLiteral("wayland")) {
        return;
    }
    const std::string presented = currentDocument;
    QTimer::singleShot(kFocusGraceMs, this, [this, presented] {
        if (isActiveWindow() || presented.empty() || currentDocument != presented) {
            return;
        }
        // A compositor that lets programs activate windows lets the desk activate its own.
        if (activateOwnWindow()) {
            return;
        }
        if (readyNote_ == nullptr) {
            readyNote_ = new DesktopNotification(this);
            connect(readyNote_, &DesktopNotification::activated, this,
                    &TForm1::ShowMainWindow1Click);
        }
        readyNote_->show(QStringLiteral("%1 is ready to be filed")
                             .arg(QString::fromStdString(sortwell::desk::ShownName(presented))),
                         QStringLiteral("Click to open the desk."));
    });
}

bool TForm1::activateOwnWindow() {
    sortwell::platform::WindowSystem& windows = *services_.windowSystem;
    if (!windows.isAvailable()) {
        return false;
    }
    const std::string title = windowTitle().toStdString();
    for (const sortwell::platform::WindowInfo& window : windows.listTopLevelWindows()) {
        if (window.title == title) {
            return windows.activate(window.handle);
        }
    }
    return false;
}

void TForm1::createTray() {
    TrayIcon1 = new QSystemTrayIcon(DeskIcons::tray(0), this);
    TrayIcon1->setToolTip(QStringLiteral("Tessaryn Sortwell Desk"));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    ShowMainWindow1 = PopupMenu1->addAction(QStringLiteral("&Show Main Window"));
    OpenDocumentFolder1 = PopupMenu1->addAction(QStringLiteral("Open Document &Folder"));
    UndoFiling1 = PopupMenu1->addAction(QStringLiteral("&Undo Filing"));
    UndoFiling1->setObjectName(QStringLiteral("UndoFiling1"));
    UndoFiling1->setEnabled(false);
    PopupMenu1->addSeparator();
    Enable1 = PopupMenu1->addAction(QStringLiteral("&Enable"));
    Disable1 = PopupMenu1->addAction(QStringLiteral("&Disable"));
    Disable1->setEnabled(false);
    PopupMenu1->addSeparator();
    Terminate1 = PopupMenu1->addAction(QStringLiteral("&Exit"));
    // Looking the pictures up in the icon themes is a fifth of the start-up; the menu needs
    // them only when it first opens.
    connect(
        PopupMenu1, &QMenu::aboutToShow, this,
        [this] {
            QStyle* style = QApplication::style();
            ShowMainWindow1->setIcon(style->standardIcon(QStyle::SP_TitleBarNormalButton));
            OpenDocumentFolder1->setIcon(style->standardIcon(QStyle::SP_DirOpenIcon));
            Terminate1->setIcon(style->standardIcon(QStyle::SP_DialogCloseButton));
        },
        Qt::SingleShotConnection);
    TrayIcon1->setContextMenu(PopupMenu1);

    connect(ShowMainWindow1, &QAction::triggered, this, &TForm1::ShowMainWindow1Click);
    connect(OpenDocumentFolder1, &QAction::triggered, this, &TForm1::OpenDocumentFolder1Click);
    connect(UndoFiling1, &QAction::triggered, this, &TForm1::UndoFiling1Click);
    connect(Enable1, &QAction::triggered, this, &TForm1::Enable1Click);
    connect(Disable1, &QAction::triggered, this, &TForm1::Disable1Click);
    connect(Terminate1, &QAction::triggered, this, &TForm1::Terminate1Click);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Each release of the left button counts, so a double click is two clicks.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    TrayIcon1Click();
                }
            });

    Label10->setText(QStringLiteral("<a href=\"%1\">Documentation</a>")
                         .arg(DocumentationAddress().toString().toHtmlEscaped()));
    Label10->setTextFormat(Qt::RichText);
    Label10->setCursor(Qt::PointingHandCursor);
    Label10->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(Label10, &QLabel::linkActivated, this, &TForm1::Label10Click);

    connect(&trayRetryTimer_, &EventTimer::timeout, this, &TForm1::lookForNotificationArea);
    trayRetriesLeft_ = kTrayRetries;
    showTrayIcon();
}

void TForm1::showTrayIcon() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayRetryTimer_.setEnabled(false);
        TrayIcon1->show();
    } else {
        trayRetryTimer_.setEnabled(true);
    }
}

void TForm1::lookForNotificationArea() {
    if (--trayRetriesLeft_ <= 0) {
        trayRetryTimer_.setEnabled(false);
        return;
    }
    showTrayIcon();
    // Found late while in the tray as a minimised window: hide it there properly now.
    if (trayAvailable() && inTray && isMinimized()) {
        hide();
    }
}

bool TForm1::trayAvailable() const {
    return TrayIcon1->isVisible();
}

void TForm1::SetTrayImage(int index) {
    trayImage_ = index;
    TrayIcon1->setIcon(DeskIcons::tray(index));
}

void TForm1::MinimizeToTray() {
    if (trayAvailable()) {
        hide();
    } else {
        // Without a notification area the task bar is the only way back.
        minimizingToTaskbar_ = true;
        showMinimized();
        minimizingToTaskbar_ = false;
    }
    TrayIcon1Minimize();
}

void TForm1::RestoreFromTray() {
    if (exitForSessionEnd_) {
        // Still here after the session asked to end: the log-off was cancelled.
        exitForSessionEnd_ = false;
        exitRequested = false;
    }
    showNormal();
    raise();
    activateWindow();
    TrayIcon1Restore();
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || minimizingToTaskbar_) {
        return;
    }
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const bool wasMinimized = change->oldState().testFlag(Qt::WindowMinimized);
    if (isMinimized() && !wasMinimized) {
        // The title bar's minimise button goes to the tray like every other way.
        if (trayAvailable()) {
            // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): the queued call is Qt's
            QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
        }
        TrayIcon1Minimize();
    } else if (!isMinimized() && wasMinimized && inTray) {
        TrayIcon1Restore();
    }
}

void TForm1::TrayIcon1Minimize() {
    inTray = true;
}

void TForm1::TrayIcon1Restore() {
    inTray = false;
    if (startupDone) {
        PostponedRefreshButtons();
    }
    if (holdUntilOpened_) {
        holdUntilOpened_ = false;
        presentWhenFree();
    }
}

void TForm1::TrayIcon1Click() {
    if (!inTray) {
        MinimizeToTray();
        return;
    }
    if (DoubleClickTimer.isEnabled()) {
        DoubleClickTimer.setEnabled(false);
        OpenDocumentFolder1Click();
        return;
    }
    DoubleClickTimer.setEnabled(true);
}

void TForm1::DoubleClickTimerTimer() {
    DoubleClickTimer.setEnabled(false);
    RestoreFromTray();
}

void TForm1::ShowMainWindow1Click() {
    RestoreFromTray();
    show();
}

void TForm1::OpenDocumentFolder1Click() {
    const QString folder = inputFolder();
    if (folder.isEmpty()) {
        notify(
            QStringLiteral("No document input folder is set. Choose one on the General tab of "
                           "\"Show Configuration ...\"."));
        return;
    }
    if (!folder.startsWith(QLatin1Char('/'))) {
        notify(QStringLiteral("The document input folder \"%1\" is not a full path starting with "
                              "\"/\". Choose it again on the General tab of \"Show Configuration "
                              "...\".")
                   .arg(folder));
        return;
    }
    services_.openFolder(folder);
}

void TForm1::Enable1Click() {
    CheckBox1->setChecked(true);
}

void TForm1::Disable1Click() {
    CheckBox1->setChecked(false);
}

void TForm1::SessionEnding() {
    exitRequested = true;
    exitForSessionEnd_ = true;
}

void TForm1::Terminate1Click() {
    exitRequested = true;
    TrayIcon1->hide();
    QApplication::quit();
}

void TForm1::Alert() {
    AlertTimer.setEnabled(true);
    setAlertColours(true);
    Label4->setVisible(true);
}

void TForm1::AlertTimerTimer() {
    setAlertColours(false);
    AlertTimer.setEnabled(false);
    Label4->setVisible(false);
}

void TForm1::setAlertColours(bool alert) {
    // Red text on red: the field shows as a solid red block for the moment of the alert.
    // Afterwards the theme's own colours come back, which a fixed black would not be on a dark
    // theme.
    Label1->setStyleSheet(alert ? QStringLiteral("color: rgb(255, 0, 0);") : QString());
    Edit1->setStyleSheet(alert ? QStringLiteral("background-color: rgb(255, 0, 0);"
                                                " color: rgb(255, 0, 0);")
                               : QString());
}

void TForm1::Label10Click() {
    services_.openUrl(DocumentationAddress());
}
