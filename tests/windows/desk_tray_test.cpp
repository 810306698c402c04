#include <map>
#include <string>

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include "config/tform3.h"
#include "windows/desk_fixture.h"

using sortwell::test::DeskFixture;
using Stored = std::map<std::string, std::string>;

namespace {

// Without a notification area the window goes to the task bar instead of hiding.
bool LooksPutAway(const TForm1* form) {
    return form->trayAvailable() ? !form->isVisible() : form->isMinimized();
}

bool EditShowsAlert(const TForm1* form) {
    return form->Edit1->styleSheet().contains(QStringLiteral("background-color: rgb(255, 0, 0)"));
}

// What the desk looked like the moment the double click timer ran out.
struct AfterSingleClick {
    bool ticked = false;
    bool inTray = true;
    bool rebuildScheduled = false;
};

void WatchSingleClick(TForm1* form, AfterSingleClick& seen) {
    // Connected after the window's own handler, so this sees the state it left.
    QObject::connect(&form->DoubleClickTimer, &EventTimer::timeout, form, [form, &seen] {
        seen.ticked = true;
        seen.inTray = form->inTray;
        seen.rebuildScheduled = form->ButtonRefreshTimer.isEnabled();
    });
}

}  // namespace

class DeskTrayTest : public QObject {
    Q_OBJECT

private slots:
    void aClickOnTheTrayIconPutsTheShownWindowAway() {
        DeskFixture desk;
        desk.start();
        QVERIFY(!desk.form1->inTray);
        desk.form1->TrayIcon1Click();
        QVERIFY(desk.form1->inTray);
        QVERIFY(LooksPutAway(desk.form1));
        QVERIFY(!desk.form1->DoubleClickTimer.isEnabled());
    }

    void onlyTriggersOfTheTrayIconCountAsClicks() {
        DeskFixture desk;
        desk.start();
        emit desk.form1->TrayIcon1->activated(QSystemTrayIcon::Context);
        QVERIFY(!desk.form1->inTray);
        emit desk.form1->TrayIcon1->activated(QSystemTrayIcon::Trigger);
        QVERIFY(desk.form1->inTray);
    }

    void oneClickInTheTrayRestoresTheWindowAfterTheDoubleClickTime() {
        DeskFixture desk;
        desk.start();
        desk.form1->MinimizeToTray();
        QVERIFY(desk.form1->inTray);
        QTRY_VERIFY_WITH_TIMEOUT(!desk.form1->ButtonRefreshTimer.isEnabled(), 5000);
        AfterSingleClick seen;
        WatchSingleClick(desk.form1, seen);

        desk.form1->TrayIcon1Click();
        // It may still turn out to be a double click.
        QVERIFY(desk.form1->inTray);
        QVERIFY(desk.form1->DoubleClickTimer.isEnabled());

        QTRY_VERIFY_WITH_TIMEOUT(seen.ticked, 5000);
        QVERIFY(!seen.inTray);
        QVERIFY(seen.rebuildScheduled);
        QVERIFY(!desk.form1->DoubleClickTimer.isEnabled());
        QVERIFY(!desk.form1->isMinimized());
        QVERIFY(desk.form1->isVisible());
        QVERIFY(desk.openedFolders.isEmpty());
    }

    void aRestoreBeforeTheStartIsDoneSchedulesNoRebuild() {
        DeskFixture desk;
        desk.form1->StartTimer.setEnabled(false);
        desk.form1->show();
        desk.form1->MinimizeToTray();
        QVERIFY(!desk.form1->startupDone);
        AfterSingleClick seen;
        WatchSingleClick(desk.form1, seen);

        desk.form1->TrayIcon1Click();
        QTRY_VERIFY_WITH_TIMEOUT(seen.ticked, 5000);
        QVERIFY(!seen.inTray);
        QVERIFY(!seen.rebuildScheduled);
    }

    void twoQuickClicksOpenTheInputFolderAsTyped() {
        DeskFixture desk(Stored{{"inputdir", "/scans/saved"}});
        desk.start();
        desk.form1->MinimizeToTray();
        desk.form3->Edit4->setText(QStringLiteral("/scans/typed"));
        AfterSingleClick seen;
        WatchSingleClick(desk.form1, seen);

        desk.form1->TrayIcon1Click();
        desk.form1->TrayIcon1Click();
        QCOMPARE(desk.openedFolders, QStringList({QStringLiteral("/scans/typed")}));
        QVERIFY(!desk.form1->DoubleClickTimer.isEnabled());
        QCOMPARE(desk.persisted("inputdir"), std::string("/scans/saved"));

        QTest::qWait(600);
        QVERIFY(!seen.ticked);
        QVERIFY(desk.form1->inTray);
        QVERIFY(LooksPutAway(desk.form1));
        QCOMPARE(desk.openedFolders.size(), 1);
    }

    void twoQuickClicksWithNoInputFolderSayWhyNothingOpens() {
        DeskFixture desk;
        desk.start();
        desk.form1->MinimizeToTray();
        QVERIFY(desk.form3->Edit4->text().isEmpty());

        desk.form1->TrayIcon1Click();
        desk.form1->TrayIcon1Click();
        QVERIFY(desk.openedFolders.isEmpty());
        QVERIFY(desk.runner().notice().text().contains(
            QStringLiteral("No document input folder is set")));
        QVERIFY(desk.runner().notice().isVisible());
        QVERIFY(desk.form1->inTray);
    }

    void aRelativeInputFolderIsNotOpenedAndSaysWhy() {
        DeskFixture desk;
        desk.start();
        desk.form3->Edit4->setText(QStringLiteral("Scans"));
        desk.form1->OpenDocumentFolder1Click();
        QVERIFY(desk.openedFolders.isEmpty());
        QVERIFY(desk.runner().notice().text().contains(QStringLiteral("\"Scans\"")));
    }

    void theMenuOpensTheInputFolderAsTyped() {
        DeskFixture desk;
        desk.start();
        desk.form3->Edit4->setText(QStringLiteral("/scans/menu"));
        desk.form1->OpenDocumentFolder1->trigger();
        QCOMPARE(desk.openedFolders, QStringList({QStringLiteral("/scans/menu")}));
    }

    void enableAndDisableFollowTheActiveSwitch() {
        DeskFixture desk;
        desk.start();
        QVERIFY(desk.form1->Enable1->isEnabled());
        QVERIFY(!desk.form1->Disable1->isEnabled());

        desk.form1->Enable1->trigger();
        QVERIFY(desk.form1->CheckBox1->isChecked());
        QVERIFY(!desk.form1->Enable1->isEnabled());
        QVERIFY(desk.form1->Disable1->isEnabled());

        desk.form1->Disable1->trigger();
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QVERIFY(desk.form1->Enable1->isEnabled());
        QVERIFY(!desk.form1->Disable1->isEnabled());
    }

    void enablingWhileActiveSavesNothingMore() {
        DeskFixture desk;
        desk.start();
        desk.form1->CheckBox1->setChecked(true);
        const int updates = desk.host.settings.updates;
        desk.form1->Enable1Click();
        QVERIFY(desk.form1->CheckBox1->isChecked());
        QCOMPARE(desk.host.settings.updates, updates);
        QVERIFY(!desk.form1->Enable1->isEnabled());
    }

    void exitLetsTheWindowClose() {
        DeskFixture desk;
        desk.start();
        QVERIFY(!desk.form1->FormCloseQuery());
        desk.form1->ShowMainWindow1Click();

        desk.form1->Terminate1->trigger();
        QVERIFY(desk.form1->exitRequested);
        QVERIFY(desk.form1->FormCloseQuery());
        QVERIFY(desk.form1->close());
        QVERIFY(!desk.form1->isVisible());
    }

    void showMainWindowRestoresFromTheTray() {
        DeskFixture desk;
        desk.start();
        desk.form1->MinimizeToTray();
        QVERIFY(desk.form1->inTray);

        desk.form1->ShowMainWindow1Click();
        QVERIFY(!desk.form1->inTray);
        QVERIFY(desk.form1->isVisible());
        QVERIFY(!desk.form1->isMinimized());
    }

    void theAlertShowsThenFadesAfterItsTime() {
        DeskFixture desk;
        desk.start();
        QVERIFY(desk.form1->Label4->isHidden());
        QVERIFY(!EditShowsAlert(desk.form1));

        desk.form1->Alert();
        QVERIFY(!desk.form1->Label4->isHidden());
        QVERIFY(EditShowsAlert(desk.form1));
        QVERIFY(desk.form1->Label1->styleSheet().contains(QStringLiteral("rgb(255, 0, 0)")));
        QVERIFY(desk.form1->AlertTimer.isEnabled());

        QTRY_VERIFY_WITH_TIMEOUT(desk.form1->Label4->isHidden(), 5000);
        QVERIFY(!EditShowsAlert(desk.form1));
        QVERIFY(!desk.form1->Label1->styleSheet().contains(QStringLiteral("rgb(255, 0, 0)")));
        QVERIFY(!desk.form1->AlertTimer.isEnabled());
    }

    void aSecondAlertDoesNotProlongTheFirst() {
        DeskFixture desk;
        desk.start();
        desk.form1->Alert();
        QTest::qWait(400);
        QVERIFY(EditShowsAlert(desk.form1));
        desk.form1->Alert();
        // A restarted period would have the full 750 ms left.
        const int remaining = desk.form1->AlertTimer.remainingTime();
        QVERIFY2(remaining >= 0 && remaining <= 400, qPrintable(QString::number(remaining)));
        QTRY_VERIFY_WITH_TIMEOUT(desk.form1->Label4->isHidden(), 5000);
        QVERIFY(!EditShowsAlert(desk.form1));
    }

    void checkingActiveStartsTheRunnerAndSaves() {
        DeskFixture desk;
        desk.start();
        QCOMPARE(desk.form1->trayImage(), 0);
        QVERIFY(!desk.runner().NextTimer.isEnabled());

        desk.form1->CheckBox1->setChecked(true);
        QVERIFY(!desk.form3->Button11->isEnabled());
        QVERIFY(desk.form3->Button13->isEnabled());
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QCOMPARE(desk.runner().currentLine, 0);
        QCOMPARE(desk.form1->trayImage(), 1);
        QCOMPARE(desk.persisted("active"), std::string("1"));
    }

    void uncheckingActiveStopsTheRunnerAndSaves() {
        DeskFixture desk;
        desk.start();
        desk.form1->CheckBox1->setChecked(true);
        desk.form1->DocumentDetectionTimer.setEnabled(true);
        desk.form1->DocumentDetectionTimerTimeout.setEnabled(true);
        desk.form3->Label12->setText(QStringLiteral("0: WAITWINDOW:Scan"));

        desk.form1->CheckBox1->setChecked(false);
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimerTimeout.isEnabled());
        QCOMPARE(desk.form3->Label12->text(), QStringLiteral("n/a"));
        QCOMPARE(desk.form1->trayImage(), 0);
        QVERIFY(desk.form3->Button11->isEnabled());
        QVERIFY(!desk.form3->Button13->isEnabled());
        QCOMPARE(desk.persisted("active"), std::string("0"));
    }

    void aStoredActiveSwitchStartsInTheTrayAndRunning() {
        DeskFixture desk(Stored{{"active", "1"}});
        desk.start();
        QVERIFY(desk.form1->CheckBox1->isChecked());
        QVERIFY(desk.form1->inTray);
        QVERIFY(LooksPutAway(desk.form1));
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QCOMPARE(desk.form1->trayImage(), 1);
    }

    void closingWithNoDocumentGoesToTheTrayAndResumes() {
        DeskFixture desk;
        desk.start();
        QVERIFY(desk.form1->currentDocument.empty());
        QVERIFY(!desk.runner().NextTimer.isEnabled());

        QVERIFY(!desk.form1->FormCloseQuery());
        QVERIFY(desk.form1->inTray);
        QVERIFY(LooksPutAway(desk.form1));
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.files.changes().empty());
    }

    void aCloseRequestIsRefusedUntilExit() {
        DeskFixture desk;
        desk.start();
        QVERIFY(!desk.form1->close());
        QVERIFY(desk.form1->inTray);
        QVERIFY(!desk.form1->exitRequested);
    }
};

QTEST_MAIN(DeskTrayTest)
#include "desk_tray_test.moc"
