#include "windows/runner_scenario.h"

using sortwell::test::DeskFixture;
using namespace sortwell::test::runner;  // NOLINT(google-build-using-namespace)

class RunnerTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearShown();
        MessageBox::clearAnswers();
    }

    // The default sequence, step by step.

    void runStartsAtTheFirstLine() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        desk.runner().currentLine = 7;
        desk.form3->Run();
        QCOMPARE(desk.runner().currentLine, 0);
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(!desk.form3->Button11->isEnabled());
        QVERIFY(desk.form3->Button13->isEnabled());
        QCOMPARE(desk.form1->trayImage(), 1);
    }

    void waitWindowHoldsUntilTheWindowIsListed() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        desk.form3->Run();
        for (int tick = 0; tick < 3; ++tick) {
            desk.runner().NextTimerTimer();
            QCOMPARE(desk.runner().currentLine, 0);
            QCOMPARE(desk.runner().NextTimer.interval(), 1000);
        }
        QCOMPARE(Activity(desk), QStringLiteral("0: WAITWINDOW:ScanSnap QuickMenu"));
        QCOMPARE(desk.form1->QStatus1->panelText(1),
                 QStringLiteral("0: WAITWINDOW:ScanSnap QuickMenu"));

        ShowQuickMenu(desk);
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 1);
        QCOMPARE(desk.runner().NextTimer.interval(), 200);
    }

    void aWindowStepWhereNoWindowsCanBeListedStopsTheRunAtOnce() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        desk.windowSystem.available = false;
        desk.form1->setActive(true);
        QVERIFY(desk.runner().NextTimer.isEnabled());
        desk.runner().NextTimerTimer();
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(!desk.form1->isActive());
        const QString said =
            QStringLiteral("0: WAITWINDOW:ScanSnap QuickMenu \u2014 no window list in this test");
        QCOMPARE(Activity(desk), said);
        QCOMPARE(desk.form1->QStatus1->panelText(1), said);
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void theAutomationTabSaysWhyNoWindowsAreListed() {
        DeskFixture listable;
        QVERIFY(listable.form3->WindowListNote->isHidden());
        DeskFixture unlisted;
        unlisted.windowSystem.available = false;
        QVERIFY(!unlisted.form3->WindowListNote->isHidden());
        QCOMPARE(unlisted.form3->WindowListNote->text(),
                 QStringLiteral("no window list in this test"));
    }

    void aKeyStepWhereNoKeysCanBeSentStopsTheRunAtOnce() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        desk.form3->setSequenceText("ENTER\r\nHANDLEDOCUMENT");
        desk.keyboard.available = false;
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(Activity(desk).endsWith(QString::fromUtf8(sortwell::config::kNoKeysMessage)));
        QVERIFY(desk.keyboard.sent.empty());
    }

    void switchActivatesTheListedWindow() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        desk.windowSystem.open(0x40, 17, "Editor");
        ShowQuickMenu(desk);
        desk.form3->Run();
        QVERIFY(StepTo(desk, 1));
        QVERIFY(desk.windowSystem.activated.empty());

        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 2);
        QCOMPARE(desk.windowSystem.activated, std::vector<std::uint64_t>{kQuickMenuHandle});
        QCOMPARE(Activity(desk), QStringLiteral("1: SWITCH:ScanSnap QuickMenu"));
        QCOMPARE(desk.form1->QStatus1->panelText(1),
                 QStringLiteral("1: SWITCH:ScanSnap QuickMenu"));
    }

    void waitSecondsSetsTheInterval() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        ShowQuickMenu(desk);
        desk.form3->Run();
        QVERIFY(StepTo(desk, 2));
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 3);
        QCOMPARE(desk.runner().NextTimer.interval(), 1000);
        QCOMPARE(Activity(desk), QStringLiteral("2: WAITSECONDS:1"));

        QVERIFY(StepTo(desk, 5));
        QCOMPARE(desk.runner().NextTimer.interval(), 200);
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 6);
        QCOMPARE(desk.runner().NextTimer.interval(), 2000);
        QCOMPARE(Activity(desk), QStringLiteral("5: WAITSECONDS:2"));
    }

    void enterSendsTheEnterKey() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        ShowQuickMenu(desk);
        desk.form3->Run();
        QVERIFY(StepTo(desk, 3));
        QVERIFY(desk.keyboard.sent.empty());
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 4);
        QVERIFY(desk.keyboard.sent == EnterPressed(1));
        QCOMPARE(desk.runner().NextTimer.interval(), 200);
        QCOMPARE(Activity(desk), QStringLiteral("3: ENTER"));
    }

    void unwaitWindowHoldsWhileTheWindowIsListed() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        ShowQuickMenu(desk);
        desk.windowSystem.open(kLoadingHandle, 4243, "Loading");
        desk.form3->Button10Click();
        desk.form3->Run();
        QVERIFY(StepTo(desk, 4));
        for (int tick = 0; tick < 3; ++tick) {
            desk.runner().NextTimerTimer();
            QCOMPARE(desk.runner().currentLine, 4);
            QCOMPARE(desk.runner().NextTimer.interval(), 1000);
        }
        QCOMPARE(Activity(desk), QStringLiteral("4: UNWAITWINDOW:Loading"));

        desk.windowSystem.close("Loading");
        desk.form3->Button10Click();
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 5);
        QCOMPARE(desk.runner().NextTimer.interval(), 200);
    }

    void handleDocumentHandsOverToDetection() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        ShowQuickMenu(desk);
        desk.form3->Run();
        QVERIFY(StepTo(desk, 10));
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(desk.runner().NextTimer.isEnabled());

        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 11);
        QVERIFY(desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(desk.form1->DocumentDetectionTimerTimeout.isEnabled());
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QCOMPARE(Activity(desk), QStringLiteral("10: HANDLEDOCUMENT"));
        QCOMPARE(desk.form1->QStatus1->panelText(1), QStringLiteral("10: HANDLEDOCUMENT"));
        QVERIFY(desk.keyboard.sent == EnterPressed(3));
        QCOMPARE(desk.windowSystem.activated, std::vector<std::uint64_t>{kQuickMenuHandle});
    }

    // After the hand-over.

    void dismissResumesTheRunWhichThenStops() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        ShowQuickMenu(desk);
        desk.form3->Run();
        QVERIFY(StepTo(desk, 11));
        QVERIFY(!desk.runner().NextTimer.isEnabled());

        desk.form1->SpeedButton1Click();
        QVERIFY(desk.runner().NextTimer.isEnabled());
        desk.runner().NextTimerTimer();
        QCOMPARE(Activity(desk), QStringLiteral("n/a"));
        QCOMPARE(desk.form1->QStatus1->panelText(1), QStringLiteral("n/a"));
        QCOMPARE(desk.runner().currentLine, 0);
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.form3->Button11->isEnabled());
        QVERIFY(!desk.form3->Button13->isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimerTimeout.isEnabled());
        QCOMPARE(desk.form1->trayImage(), 0);
    }

    void activeRunStartsAgainAfterTheLastLine() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        ShowQuickMenu(desk);
        desk.form1->CheckBox1->setChecked(true);
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(StepTo(desk, 11));

        desk.form1->SpeedButton1Click();
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 0);
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.form3->Button13->isEnabled());
        QVERIFY(!desk.form3->Button11->isEnabled());
        QCOMPARE(desk.form1->trayImage(), 1);

        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 1);
        QCOMPARE(Activity(desk), QStringLiteral("0: WAITWINDOW:ScanSnap QuickMenu"));
    }

    void abortWhileHandedOverStopsEverything() {
        DeskFixture desk;
        StartWithDefaultSequence(desk);
        ShowQuickMenu(desk);
        desk.form1->CheckBox1->setChecked(true);
        QCOMPARE(desk.persisted("active"), std::string("1"));
        QVERIFY(StepTo(desk, 11));
        QVERIFY(desk.form1->DocumentDetectionTimer.isEnabled());

        desk.form3->Button13->click();
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimerTimeout.isEnabled());
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QVERIFY(!desk.form1->Timer1.isEnabled());
        QCOMPARE(desk.persisted("active"), std::string("0"));
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QCOMPARE(desk.runner().currentLine, 0);
        QVERIFY(desk.form3->Button11->isEnabled());
        QVERIFY(!desk.form3->Button13->isEnabled());
        QCOMPARE(Activity(desk), QStringLiteral("n/a"));
    }

    // Odd sequences.

    void emptySequenceRunsOneEmptyLineThenStops() {
        DeskFixture desk;
        desk.start();
        desk.form3->setSequenceText("");
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 1);
        QCOMPARE(Activity(desk), QStringLiteral("0: "));
        QVERIFY(desk.runner().NextTimer.isEnabled());

        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 0);
        QCOMPARE(Activity(desk), QStringLiteral("n/a"));
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.keyboard.sent.empty());
        QVERIFY(desk.windowSystem.activated.empty());
    }

    void aKeyboardThatRefusesIsReportedOnceAndTheRunGoesOn() {
        DeskFixture desk;
        desk.start();
        desk.keyboard.refuseWith = "no keyboard on this display";
        desk.form3->setSequenceText("ENTER\r\nTYPE:abc\r\nHANDLEDOCUMENT");
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        VerifySaidWithoutAMessageBox(desk, Report(QStringLiteral("0: ENTER"),
                                                  QStringLiteral("no keyboard on this display")));
        LetTheNoticeExpire(desk);

        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 2);
        QCOMPARE(Activity(desk), Report(QStringLiteral("1: TYPE:abc"),
                                        QStringLiteral("no keyboard on this display")));
        QVERIFY(!desk.runner().notice().isVisible());
        desk.runner().NextTimerTimer();
        QVERIFY(desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void waitSecondsWithoutANumberIsReportedOnceAndSkipped() {
        DeskFixture desk;
        desk.start();
        desk.form3->setSequenceText("WAITSECONDS:x\r\nENTER");
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        VerifySaidWithoutAMessageBox(desk, QStringLiteral("0: WAITSECONDS:x \u2014 "
                                                          "'x' is not a valid integer value"));
        QCOMPARE(desk.runner().currentLine, 1);
        QCOMPARE(desk.runner().NextTimer.interval(), 200);
        QVERIFY(desk.runner().NextTimer.isEnabled());

        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 2);
        QVERIFY(desk.keyboard.sent == EnterPressed(1));
        QCOMPARE(Activity(desk), QStringLiteral("1: ENTER"));
    }

    // Problems during a run: said without a message box, once per run.

    void aVanishedSwitchTargetIsSaidWithoutAMessageBox() {
        DeskFixture desk;
        desk.start();
        desk.form3->setSequenceText("SWITCH:Scanner\r\nENTER");
        ListThenCloseScanner(desk);
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        QVERIFY(desk.windowSystem.activated.empty());
        VerifySaidWithoutAMessageBox(
            desk, Report(QStringLiteral("0: SWITCH:Scanner"),
                         QStringLiteral("The window \"Scanner\" no longer exists.")));

        // The run goes on, and its keys have nowhere to go but where they went before.
        desk.runner().NextTimerTimer();
        QVERIFY(desk.keyboard.sent == EnterPressed(1));
        QCOMPARE(Activity(desk), QStringLiteral("1: ENTER"));
    }

    void aRefusedCloseIsSaidWithoutAMessageBox() {
        DeskFixture desk;
        desk.start();
        desk.windowSystem.refuseEndWith = "not permitted";
        desk.windowSystem.open(0x60, 600, "Scanner");
        desk.form3->Button10Click();
        desk.form3->setSequenceText("CLOSE:Scanner");
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        QVERIFY(desk.windowSystem.ended.empty());
        QVERIFY(MessageBox::shown().isEmpty());
        const QString report = Activity(desk);
        QVERIFY2(report.startsWith(QStringLiteral("0: CLOSE:Scanner \u2014 ")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("not permitted")), qPrintable(report));
        VerifySaidWithoutAMessageBox(desk, report);
    }

    void theNoticeNeverTakesTheKeyboardFocus() {
        DeskFixture desk;
        desk.start();
        desk.form3->setSequenceText("SWITCH:Scanner");
        ListThenCloseScanner(desk);
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        QCoreApplication::processEvents();
        Notice& notice = desk.runner().notice();
        QVERIFY(notice.isVisible());
        QVERIFY(notice.isWindow());
        QVERIFY(notice.testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(notice.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused != &notice && !notice.isAncestorOf(focused));
    }

    void aLaterRunSaysTheSameFaultAgain() {
        DeskFixture desk;
        desk.start();
        desk.form3->setSequenceText("SWITCH:Scanner");
        ListThenCloseScanner(desk);
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        QVERIFY(desk.runner().notice().isVisible());
        LetTheNoticeExpire(desk);
        desk.form3->Button13->click();

        desk.form3->Run();
        desk.runner().NextTimerTimer();
        VerifySaidWithoutAMessageBox(
            desk, Report(QStringLiteral("0: SWITCH:Scanner"),
                         QStringLiteral("The window \"Scanner\" no longer exists.")));
    }

    void aLoopingRunSaysTheFaultOnce() {
        DeskFixture desk;
        desk.start();
        desk.form3->setSequenceText("SWITCH:Scanner");
        ListThenCloseScanner(desk);
        desk.form1->CheckBox1->setChecked(true);
        desk.runner().NextTimerTimer();
        const QString report = Report(QStringLiteral("0: SWITCH:Scanner"),
                                      QStringLiteral("The window \"Scanner\" no longer exists."));
        VerifySaidWithoutAMessageBox(desk, report);
        LetTheNoticeExpire(desk);

        // Past the last line the Active box starts the sequence over: the same run goes on.
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 0);
        QVERIFY(desk.runner().NextTimer.isEnabled());
        desk.runner().NextTimerTimer();
        QCOMPARE(Activity(desk), report);
        QVERIFY(!desk.runner().notice().isVisible());
        QVERIFY(MessageBox::shown().isEmpty());

        // Unchecking and checking the box again is a new run.
        desk.form1->CheckBox1->setChecked(false);
        desk.form1->CheckBox1->setChecked(true);
        desk.runner().NextTimerTimer();
        VerifySaidWithoutAMessageBox(desk, report);
    }

    // The window list.

    void windowListShowsTitlesPidsAndHandlesWithoutOurOwn() {
        DeskFixture desk;
        desk.windowSystem.windows = {
            {0x30, 300, "Editor"}, {0x31, 301, "Tessaryn Sortwell Store"}, {0x32, 302, "Viewer"}};
        desk.form3->Button10Click();
        QCOMPARE(Items(desk.form3->ListBox1), (QStringList{"Editor", "Viewer"}));
        QCOMPARE(Items(desk.form3->ListBox2), (QStringList{"300", "302"}));
        QCOMPARE(Items(desk.form3->ListBox3), (QStringList{"48", "50"}));

        desk.windowSystem.open(0x33, 303, "Mail");
        desk.windowSystem.close("Editor");
        desk.form3->Button10Click();
        QCOMPARE(Items(desk.form3->ListBox1), (QStringList{"Mail", "Viewer"}));
        QCOMPARE(Items(desk.form3->ListBox2), (QStringList{"303", "302"}));
        QCOMPARE(Items(desk.form3->ListBox3), (QStringList{"51", "50"}));
    }
};

QTEST_MAIN(RunnerTest)
#include "runner_test.moc"
