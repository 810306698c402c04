#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "components/mask_edit.h"
#include "components/message_box.h"
#include "components/qstatus.h"
#include "config/tform3.h"
#include "desk/tform1.h"
#include "windows/desk_fixture.h"
#include "windows/desk_scenario.h"

using sortwell::test::DeskFixture;

using namespace sortwell::test::scenario;  // NOLINT(google-build-using-namespace)

class DeskFilingTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearShown();
        MessageBox::clearAnswers();
    }

    // Detection.

    void documentsPresentAtStartAreNeverPresented() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk, {"a.pdf", "b.pdf"});
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(CountCalls(desk, "list /scans"), 1);
        QCOMPARE(StatusText(desk), QString());
    }

    void newDocumentIsPresentedByADetectionTick() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form1->tagConfirmed = true;
        desk.form1->DocumentDetectionTimer.setEnabled(true);
        desk.form1->DocumentDetectionTimerTimeout.setEnabled(true);
        Arrive(desk, "new.pdf");

        QTRY_COMPARE_WITH_TIMEOUT(desk.form1->currentDocument, std::string("new.pdf"), 5000);
        QCOMPARE(StatusText(desk), QStringLiteral("new.pdf"));
        QCOMPARE(desk.form1->Edit1->text(), QStringLiteral("Invoice"));
        QCOMPARE(desk.form1->Edit1->selectedText(), QStringLiteral("Invoice"));
        QVERIFY(!desk.form1->tagConfirmed);
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimerTimeout.isEnabled());
    }

    void detectionCallPresentsANewDocument() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QCOMPARE(StatusText(desk), QStringLiteral("new.pdf"));
        QCOMPARE(desk.form1->Edit1->selectedText(), QStringLiteral("Invoice"));
    }

    void firstNewDocumentInListingOrderGoesFirstThenTheNext() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "b.pdf");
        Arrive(desk, "a.pdf");
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string("b.pdf"));

        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/09 Anna_b.pdf"));
        ForgetGoneFromListing(desk);
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string("a.pdf"));
        QCOMPARE(StatusText(desk), QStringLiteral("a.pdf"));
    }

    void nameDifferingOnlyInLetterCaseCountsAsNew() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk, {"Scan.pdf"});
        Arrive(desk, "scan.pdf");
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string("scan.pdf"));
    }

    void detectionTimeOutAbsorbsArrivalsIntoTheBaseline() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form1->DocumentDetectionTimer.setEnabled(true);
        desk.form1->DocumentDetectionTimerTimeout.setEnabled(true);
        Arrive(desk, "late.pdf");
        desk.form1->DocumentDetectionTimerTimeoutTimer();
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimerTimeout.isEnabled());

        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(StatusText(desk), QString());
    }

    void detectionWithoutAUsableInputFolderPresentsNothing_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("status");
        QTest::newRow("empty setting") << QString() << QString();
        QTest::newRow("missing folder")
            << QStringLiteral("/nowhere")
            << QStringLiteral("Input folder /nowhere cannot be read: there is no such folder");
    }

    void detectionWithoutAUsableInputFolderPresentsNothing() {
        QFETCH(QString, folder);
        QFETCH(QString, status);
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form3->Edit4->setText(folder);
        desk.files.calls.clear();
        desk.form1->Detection(false);
        QCOMPARE(CountCalls(desk, "list "), 0);
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(StatusText(desk), status);
        // A new baseline at the end of a run says nothing more.
        desk.form1->QStatus1->setPanelText(0, QString());
        desk.form1->Detection(true);
        QCOMPARE(StatusText(desk), QString());
    }

    // Filing.

    void targetWithoutTagFilesAtOnce_data() {
        QTest::addColumn<bool>("attach");
        QTest::addColumn<QString>("target");
        QTest::newRow("attach name") << true << QStringLiteral("/archive/2014/09 Anna_new.pdf");
        QTest::newRow("plain") << false << QStringLiteral("/archive/2014/09 Anna.pdf");
    }

    void targetWithoutTagFilesAtOnce() {
        QFETCH(bool, attach);
        QFETCH(QString, target);
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form3->CheckBox1->setChecked(attach);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        desk.files.calls.clear();

        QVERIFY(ClickTarget(desk, kDatedPattern));
        const std::vector<std::string> expected{"createFolder /archive/2014",
                                                "move /scans/new.pdf -> " + target.toStdString()};
        QCOMPARE(desk.files.changes(), expected);
        QVERIFY(desk.files.files.contains(target.toStdString()));
        QVERIFY(!desk.files.files.contains("/scans/new.pdf"));
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
        QCOMPARE(desk.form1->currentDocument, std::string());
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.form1->inTray);
    }

    void taggedTargetAsksForTheTagBeforeFiling() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        desk.files.calls.clear();

        QVERIFY(ClickTarget(desk, kTaggedPattern));
        QVERIFY(desk.files.changes().empty());
        QVERIFY(!desk.form1->Label4->isHidden());
        QVERIFY(desk.form1->tagConfirmed);
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(desk.form1->Label4->isHidden(), 5000);

        QVERIFY(ClickTarget(desk, kTaggedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/Invoice_new.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
    }

    void keyPressInTheTagFieldConfirmsTheTag() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        QVERIFY(!desk.form1->tagConfirmed);
        QTest::keyClick(desk.form1->Edit1, Qt::Key_Shift);
        QVERIFY(desk.form1->tagConfirmed);

        QVERIFY(ClickTarget(desk, kTaggedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/Invoice_new.pdf"));
        QVERIFY(desk.form1->Label4->isHidden());
    }

    void tagIsCleanedForThePath() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        QTest::keyClicks(desk.form1->Edit1, QStringLiteral("a/b c:d"));
        QCOMPARE(desk.form1->Edit1->text(), QStringLiteral("a/b c:d"));

        QVERIFY(ClickTarget(desk, kTaggedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/ab_cd_new.pdf"));
    }

    void failedMoveLeavesTheDocumentAndSaysWhy_data() {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("reason");
        QTest::newRow("move refused") << QStringLiteral("disk full") << QStringLiteral("disk full");
        QTest::newRow("target exists") << QString() << QStringLiteral("already there");
    }

    void failedMoveLeavesTheDocumentAndSaysWhy() {
        QFETCH(QString, refusal);
        QFETCH(QString, reason);
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.files.refuseMovesWith = refusal.toStdString();
        desk.files.folders.insert("/archive");
        desk.files.folders.insert("/archive/2014");
        desk.files.files["/archive/2014/09 Anna_new.pdf"] = {5, desk.wallNow};
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);

        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(CountCalls(desk, "move /scans/new.pdf"), 1);
        QVERIFY(desk.files.files.contains("/scans/new.pdf"));
        QCOMPARE(desk.files.files.at("/archive/2014/09 Anna_new.pdf").size, 5U);
        // The document stays on the desk, in view, with the reason; the runner stays paused.
        QVERIFY(ProblemText(desk).contains(QStringLiteral("new.pdf was not filed")));
        QVERIFY(ProblemText(desk).contains(reason));
        QCOMPARE(StatusText(desk), QStringLiteral("new.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(!desk.form1->inTray);

        // Another target files it, and the reason goes with the document.
        desk.files.refuseMovesWith.clear();
        QVERIFY(ClickTarget(desk, kTaggedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/Invoice_new.pdf"));
        QCOMPARE(ProblemText(desk), QString());
        QCOMPARE(desk.form1->currentDocument, std::string());
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.form1->inTray);
    }

    void documentStillBeingWrittenWaitsForQuiet() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf", desk.wallNow);
        desk.form1->Detection(false);

        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(CountCalls(desk, "move "), 0);
        QVERIFY(ProblemText(desk).contains(QStringLiteral("still writing new.pdf")));
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QVERIFY(!desk.runner().NextTimer.isEnabled());

        desk.steadyNow += std::chrono::seconds(3);
        desk.wallNow += std::chrono::seconds(3);
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/09 Anna_new.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
        QCOMPARE(ProblemText(desk), QString());
    }

    // Dismiss and closing.

    void dismissTrashesExactlyTheCurrentDocument() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        desk.files.calls.clear();

        desk.form1->SpeedButton1->click();
        const std::vector<std::string> expected{"trash /scans/new.pdf"};
        QCOMPARE(desk.files.changes(), expected);
        QVERIFY(!desk.files.files.contains("/scans/new.pdf"));
        QVERIFY(desk.files.files.contains("/scans/old.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.form1->inTray);
    }

    void dismissWithAnEmptyDeskDeletesNothing() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        desk.form1->SpeedButton1Click();
        QCOMPARE(CountCalls(desk, "trash "), 0);
        QVERIFY(desk.files.files.contains("/scans/old.pdf"));
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
        QVERIFY(desk.runner().NextTimer.isEnabled());
    }

    void closingTheWindowDismissesTheDocumentAndKeepsRunning() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        desk.files.calls.clear();

        QVERIFY(!desk.form1->close());
        const std::vector<std::string> expected{"trash /scans/new.pdf"};
        QCOMPARE(desk.files.changes(), expected);
        QCOMPARE(desk.form1->currentDocument, std::string());
        QVERIFY(desk.runner().NextTimer.isEnabled());
    }

    void closingAfterAnExitRequestIsAccepted() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        desk.files.calls.clear();
        desk.form1->exitRequested = true;

        QVERIFY(desk.form1->close());
        QVERIFY(!desk.form1->isVisible());
        QCOMPARE(CountCalls(desk, "trash "), 0);
    }

    // Date, tag and name.

    void startShowsTodaysMonthAndYear() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        QCOMPARE(desk.form1->MaskEdit1->text(), QStringLiteral("09"));
        QCOMPARE(desk.form1->MaskEdit2->text(), QStringLiteral("2014"));
    }

    void resetDateTimerBringsBackToday() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form1->MaskEdit1->setText(QStringLiteral("03"));
        desk.form1->MaskEdit2->setText(QStringLiteral("2011"));
        desk.form1->ResetDateTimerTimer();
        QCOMPARE(desk.form1->MaskEdit1->text(), QStringLiteral("09"));
        QCOMPARE(desk.form1->MaskEdit2->text(), QStringLiteral("2014"));

        desk.today = std::chrono::year{2015} / std::chrono::January / 2;
        desk.form1->ResetDateTimerTimer();
        QCOMPARE(desk.form1->MaskEdit1->text(), QStringLiteral("01"));
        QCOMPARE(desk.form1->MaskEdit2->text(), QStringLiteral("2015"));
    }

    void postponedResetDateStartsTheMinuteAnew() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        EventTimer& timer = desk.form1->ResetDateTimer;
        QVERIFY(timer.isEnabled());
        QCOMPARE(timer.interval(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(timer.remainingTime() < 58500, 10000);
        desk.form1->PostponedResetDate();
        QVERIFY(timer.isEnabled());
        QVERIFY(timer.remainingTime() > 58500);
    }

    void everyChangeOfTheTagIsStored() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form1->Edit1->clear();
        QTest::keyClicks(desk.form1->Edit1, QStringLiteral("Rec"));
        QCOMPARE(desk.persisted("lasttag"), std::string("Rec"));
        QTest::keyClicks(desk.form1->Edit1, QStringLiteral("eipts"));
        QCOMPARE(desk.persisted("lasttag"), std::string("Receipts"));
    }

    void incompleteYearIsRefusedUntilEscape() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        TMaskEdit* year = desk.form1->MaskEdit2;
        desk.form1->show();
        QApplication::setActiveWindow(desk.form1);
        QVERIFY(QTest::qWaitForWindowActive(desk.form1));
        year->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(year->hasFocus());

        QTest::keyClick(year, Qt::Key_End);
        QTest::keyClick(year, Qt::Key_Backspace);
        QCOMPARE(year->typedText(), QStringLiteral("201"));
        QVERIFY(MessageBox::shown().isEmpty());
        const int answersBefore = MessageBox::answersLeft();
        desk.form1->Edit1->setFocus(Qt::TabFocusReason);

        QTRY_COMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
                 QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
        QTRY_VERIFY(year->hasFocus());
        QTest::qWait(200);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::answersLeft(), answersBefore - 1);
        QVERIFY(year->hasFocus());

        QTest::keyClick(year, Qt::Key_Escape);
        QCOMPARE(year->text(), QStringLiteral("2014"));
        desk.form1->Edit1->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(desk.form1->Edit1->hasFocus());
        QTest::qWait(200);
        QCOMPARE(MessageBox::shown().size(), 1);
    }

    void pickingANameStoresItsIndex() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        QVERIFY(!desk.form1->ComboBox1->isHidden());
        QCOMPARE(desk.form1->ComboBox1->currentIndex(), 0);
        QCOMPARE(desk.persisted("selectedname"), std::string());

        desk.form1->ComboBox1->setCurrentIndex(1);
        emit desk.form1->ComboBox1->activated(1);
        QCOMPARE(desk.persisted("selectedname"), std::string("1"));
    }
};

QTEST_MAIN(DeskFilingTest)
#include "desk_filing_test.moc"
