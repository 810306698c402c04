#include "windows/runner_scenario.h"

using sortwell::test::DeskFixture;
using namespace sortwell::test::runner;  // NOLINT(google-build-using-namespace)

class RunnerRunTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearShown();
        MessageBox::clearAnswers();
    }

    void runWaitsForTheProgramThenGoesOn() {
        DeskFixture desk;
        StartWithAppliedSequence(
            desk,
            "RUN:scanimage -d test --format=pdf -o %INPUTDIR/scan-%DATETIME.pdf\r\n"
            "ENTER");
        desk.programRunner.neverEnds = true;
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.programRunner.started.size(), std::size_t{1});
        const std::string stamp =
            sortwell::config::DateTimeStamp(sortwell::config::LocalTimeOf(desk.wallNow));
        QCOMPARE(desk.programRunner.started[0].program, std::string("scanimage"));
        QCOMPARE(desk.programRunner.started[0].arguments,
                 (std::vector<std::string>{"-d", "test", "--format=pdf", "-o",
                                           "/scans/scan-" + stamp + ".pdf"}));
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 0);
        QVERIFY(desk.keyboard.sent.empty());

        desk.programRunner.neverEnds = false;
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 1);
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.keyboard.sent, EnterPressed(1));
        QCOMPARE(desk.programRunner.started.size(), std::size_t{1});
    }

    void aFailingProgramStopsTheRunWithItsLastErrorLine() {
        DeskFixture desk;
        StartWithAppliedSequence(desk, "RUN:scanimage\r\nENTER");
        desk.programRunner.exitCode = 1;
        desk.programRunner.errorOutput = "scanning\nscanimage: no SANE devices found\n";
        desk.form1->CheckBox1->setChecked(true);
        desk.runner().NextTimerTimer();
        desk.runner().NextTimerTimer();
        VerifyRunStopped(desk,
                         "The program \"scanimage\" ended with exit code 1: scanimage: no "
                         "SANE devices found");
        QVERIFY(desk.keyboard.sent.empty());
    }

    void aRunThatStopsOnItsOwnStoresOnlyTheSwitch() {
        DeskFixture desk;
        StartWithAppliedSequence(desk, "RUN:scanimage\r\nENTER");
        desk.programRunner.exitCode = 1;
        desk.form1->CheckBox1->setChecked(true);
        // Half-typed in the open dialog, not applied.
        desk.form3->setInputFolder(QStringLiteral("/half/typ"));
        desk.form3->setSequenceText("RUN:scanim");
        desk.runner().NextTimerTimer();
        desk.runner().NextTimerTimer();
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QCOMPARE(desk.persisted("active"), std::string("0"));
        QCOMPARE(desk.persisted("inputdir"), std::string("/scans"));
        QCOMPARE(desk.persisted("sequence"), TQDReg::EncodeText("RUN:scanimage\r\nENTER", "`"));
        QCOMPARE(desk.form3->inputFolder(), QStringLiteral("/half/typ"));
    }

    void aProgramThatCannotStartStopsTheRun() {
        DeskFixture desk;
        StartWithAppliedSequence(desk, "RUN:scanimage");
        desk.programRunner.refuseWith = "No such file or directory";
        desk.form1->CheckBox1->setChecked(true);
        desk.runner().NextTimerTimer();
        VerifyRunStopped(desk,
                         sortwell::config::StartProblem("scanimage", "No such file or directory"));
    }

    void aProgramThatHangsIsEndedAfterTheTimeLimit() {
        DeskFixture desk;
        StartWithAppliedSequence(desk, "RUN:scanimage");
        desk.programRunner.neverEnds = true;
        desk.form1->CheckBox1->setChecked(true);
        desk.runner().NextTimerTimer();
        desk.steadyNow += sortwell::config::kProgramTimeLimit - std::chrono::seconds(1);
        desk.runner().NextTimerTimer();
        QVERIFY(desk.runner().isProgramRunning());
        QCOMPARE(desk.programRunner.ended, 0);
        desk.steadyNow += std::chrono::seconds(1);
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.programRunner.ended, 1);
        QCOMPARE(desk.programRunner.dropped, 1);
        VerifyRunStopped(desk, sortwell::config::TimeLimitProblem("scanimage"));
    }

    void abortEndsTheRunningProgram() {
        DeskFixture desk;
        StartWithAppliedSequence(desk, "RUN:scanimage");
        desk.programRunner.neverEnds = true;
        desk.form3->Run();
        desk.runner().NextTimerTimer();
        desk.form3->Button13Click();
        QCOMPARE(desk.programRunner.ended, 1);
        QVERIFY(!desk.runner().isProgramRunning());
    }

    void aStoredRunLineAsksFirstAndNoLeavesActiveOff() {
        DeskFixture desk({{"sequence", "RUN:scanimage -o x.pdf"}, {"active", "1"}});
        desk.start();
        AnswerConfirmation(MessageBox::Answer::No);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].kind, MessageBox::Kind::Question);
        QVERIFY(MessageBox::shown()[0].text.contains(QStringLiteral("\n    scanimage -o x.pdf\n")));
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QVERIFY(!desk.runner().isRunning());
        QCOMPARE(desk.persisted("active"), std::string("0"));
        QVERIFY(desk.programRunner.started.empty());
    }

    void anUnreadSequenceAppliedInTheDialogStillAsks() {
        DeskFixture desk({{"sequence", "RUN:scanimage"}, {"inputdir", "/scans"}});
        desk.start();
        desk.form3->Button20Click();
        QVERIFY(desk.persisted("confirmedruns").empty());
        desk.form1->CheckBox1->setChecked(true);
        AnswerConfirmation(MessageBox::Answer::No);
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QVERIFY(desk.programRunner.started.empty());
    }

    void aStoredRunLineConfirmedOnceRunsWithoutAskingAgain() {
        DeskFixture desk({{"sequence", "RUN:scanimage"}, {"active", "1"}});
        desk.start();
        AnswerConfirmation(MessageBox::Answer::Yes);
        QVERIFY(desk.runner().isRunning());
        QVERIFY(!desk.persisted("confirmedruns").empty());
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.programRunner.started.size(), std::size_t{1});

        desk.form1->CheckBox1->setChecked(false);
        desk.form1->CheckBox1->setChecked(true);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(desk.runner().isRunning());
    }

    void aRunLineThatChangedUnderTheRunIsNotStarted() {
        DeskFixture desk;
        StartWithAppliedSequence(desk, "ENTER");
        desk.form3->Run();
        desk.form3->setSequenceText("ENTER\r\nRUN:scanimage");
        desk.runner().NextTimerTimer();
        desk.runner().NextTimerTimer();
        QVERIFY(desk.programRunner.started.empty());
        QVERIFY(!desk.runner().isRunning());
        QCOMPARE(Activity(desk),
                 Report(QStringLiteral("1: RUN:scanimage"),
                        QString::fromStdString(sortwell::config::UnconfirmedProblem())));
    }

    void anImportedRunLineAsksEvenWhenTheFileCarriesAConfirmation() {
        QTemporaryDir exchange;
        DeskFixture desk;
        desk.host.program.path = "/usr/bin/sortwell";
        desk.host.program.folderWritable = false;
        desk.host.shellFolders.folders["AppData"] = exchange.path().toStdString();
        StartWithAppliedSequence(desk, "RUN:scanimage");
        // The exported file holds this machine's confirmation; this machine then forgets it.
        desk.form3->Button29Click();
        desk.store.Push("confirmedruns", "");
        desk.form3->setSequenceText("ENTER");
        desk.form3->Button20Click();

        desk.form3->Button30Click();
        QCOMPARE(desk.form3->sequenceText(), std::string("RUN:scanimage"));
        QCOMPARE(desk.persisted("confirmedruns"), std::string());
        MessageBox::clearShown();
        desk.form3->Run();
        AnswerConfirmation(MessageBox::Answer::No);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].kind, MessageBox::Kind::Question);
        QVERIFY(!desk.runner().isRunning());
    }

    void runProgramButtonAppendsTheTypeField() {
        DeskFixture desk;
        desk.form3->setSequenceText("ENTER");
        desk.form3->Edit3->setText(QStringLiteral("scanimage -o \"a b.pdf\""));
        desk.form3->Button31->click();
        QCOMPARE(desk.form3->sequenceText(), std::string("ENTER\r\nRUN:scanimage -o \"a b.pdf\""));
    }
};

QTEST_MAIN(RunnerRunTest)
#include "runner_run_test.moc"
