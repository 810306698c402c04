#include <chrono>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "components/mask_edit.h"
#include "components/message_box.h"
#include "components/qstatus.h"
#include "config/tform3.h"
#include "desk/date_entry.h"
#include "desk/tform1.h"
#include "windows/desk_fixture.h"
#include "windows/desk_scenario.h"

using sortwell::test::DeskFixture;

using namespace sortwell::test::scenario;  // NOLINT(google-build-using-namespace)

namespace {

// A desk with new.pdf presented on it, arrived a minute ago, so it may be moved at once.
void PresentNewScan(DeskFixture& desk) {
    StartDesk(desk);
    Arrive(desk, "new.pdf");
    desk.form1->Detection(false);
    desk.files.calls.clear();
}

const QString kInvalidYear = QString::fromUtf8(sortwell::desk::kInvalidInputMessage.data(),
                                               sortwell::desk::kInvalidInputMessage.size());

}  // namespace

class DeskFailuresTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBox::clearShown(); }

    // The document that is presented is the one that is acted on.

    void theFolderItWasPresentedFromCountsNotTheEditedSetting() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.setInputFolder("/other", {"new.pdf"});
        desk.form3->Edit4->setText(QStringLiteral("/other"));

        desk.form1->SpeedButton1Click();
        const std::vector<std::string> expected{"trash /scans/new.pdf"};
        QCOMPARE(desk.files.changes(), expected);
        QVERIFY(desk.files.files.contains("/other/new.pdf"));
    }

    void aDocumentGoneSinceItWasShownIsSaidAndNothingIsDone() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.files.files.erase("/scans/new.pdf");

        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(CountCalls(desk, "move "), 0);
        QVERIFY(ProblemText(desk).contains(QStringLiteral("new.pdf is no longer in /scans")));
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
        QVERIFY(!desk.form1->inTray);
        QVERIFY(desk.runner().NextTimer.isEnabled());
    }

    void aDocumentReplacedUnderItsNameWaitsForAnotherLook() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.files.files["/scans/new.pdf"].inode = 77;

        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.files.changes().empty());
        QVERIFY(ProblemText(desk).contains(QStringLiteral("new.pdf was replaced")));
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));

        // Looked at again, it is the document on the desk now.
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/09 Anna_new.pdf"));
    }

    // Dismiss.

    void aRefusedDismissKeepsTheDocumentInView() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.files.refuseTrashWith = "Permission denied";

        QVERIFY(!desk.form1->close());
        QVERIFY(desk.files.files.contains("/scans/new.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QVERIFY(ProblemText(desk).contains(QStringLiteral("new.pdf was not dismissed")));
        QVERIFY(ProblemText(desk).contains(QStringLiteral("Permission denied")));
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(!desk.form1->inTray);
    }

    void aDismissWithoutTrashSaysTheScanIsGoneForGood() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.files.noTrashBecause = "No trash could be used; it was deleted for good.";

        desk.form1->SpeedButton1Click();
        QVERIFY(!desk.files.files.contains("/scans/new.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(desk.runner().notice().text(),
                 QStringLiteral("No trash could be used; it was deleted for good."));
        QVERIFY(desk.runner().notice().isVisible());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void theReasonStaysUntilTheNextActionOnly() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.files.refuseMovesWith = "disk full";
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(ProblemText(desk).contains(QStringLiteral("disk full")));
        QVERIFY(desk.form1->Panel1->geometry().bottom() <
                desk.form1->ProblemLine->geometry().top());

        desk.form1->SpeedButton1Click();
        QCOMPARE(ProblemText(desk), QString());
        QVERIFY(desk.form1->inTray);
    }

    // Month and year.

    void anIncompleteYearRefusesTheClickAndFilesNothing() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.form1->MaskEdit2->setText(QStringLiteral("201"));
        QCOMPARE(desk.form1->MaskEdit2->typedText(), QStringLiteral("201"));

        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(CountCalls(desk, "move "), 0);
        QCOMPARE(ProblemText(desk), kInvalidYear);
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
    }

    void leavingTheWindowWithAnIncompleteYearSaysNothing() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        TMaskEdit* year = desk.form1->MaskEdit2;
        QApplication::setActiveWindow(desk.form1);
        QVERIFY(QTest::qWaitForWindowActive(desk.form1));
        year->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(year->hasFocus());
        QTest::keyClick(year, Qt::Key_End);
        QTest::keyClick(year, Qt::Key_Backspace);

        QWidget scanner;
        scanner.show();
        QApplication::setActiveWindow(&scanner);
        QVERIFY(QTest::qWaitForWindowActive(&scanner));
        desk.form1->MinimizeToTray();
        QTest::qWait(100);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void theDateResetWaitsWhileADocumentIsOnTheDesk() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.form1->MaskEdit1->setText(QStringLiteral("03"));
        desk.form1->ResetDateTimerTimer();
        QCOMPARE(desk.form1->MaskEdit1->text(), QStringLiteral("03"));

        desk.form1->SpeedButton1Click();
        desk.form1->ResetDateTimerTimer();
        QCOMPARE(desk.form1->MaskEdit1->text(), QStringLiteral("09"));
    }

    // What the desk says.

    void anEmptyFirstStartSaysWhatToSetUp() {
        DeskFixture desk;
        desk.start();
        QVERIFY(desk.form1->GridHint->isVisibleTo(desk.form1));
        QVERIFY(desk.form1->GridHint->text().contains(QStringLiteral("No document input folder")));
        QVERIFY(desk.form1->GridHint->text().contains(QStringLiteral("No target buttons")));

        DeskFixture configured(StoredDesk());
        StartDesk(configured);
        QVERIFY(!configured.form1->GridHint->isVisibleTo(configured.form1));
    }

    void theFolderComplaintGoesOnceTheFolderIsBack() {
        DeskFixture desk(StoredDesk());
        desk.start();
        desk.form1->Detection(false);
        QVERIFY(StatusText(desk).contains(QStringLiteral("cannot be read")));

        desk.setInputFolder(kScans, {});
        desk.form1->Detection(false);
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
    }

    void theStatusPanelsGiveTheirTextsRoom() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        const auto* document = desk.form1->QStatus1->findChild<QLabel*>(QStringLiteral("Panel0"));
        const auto* step = desk.form1->QStatus1->findChild<QLabel*>(QStringLiteral("Panel1"));
        desk.form1->QStatus1->setPanelText(1, QStringLiteral("0: HANDLEDOCUMENT"));
        QApplication::processEvents();
        QVERIFY(step->width() > 50);
        QCOMPARE(step->text(), QStringLiteral("0: HANDLEDOCUMENT"));
        QVERIFY(document->width() >= 200);
        desk.form1->QStatus1->setPanelText(1, QStringLiteral("n/a"));
        QApplication::processEvents();
        QCOMPARE(step->width(), 50);
    }

    void theTagAlertGivesBackTheThemesColours() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form1->Alert();
        QVERIFY(!desk.form1->Edit1->styleSheet().isEmpty());
        desk.form1->AlertTimerTimer();
        QCOMPARE(desk.form1->Edit1->styleSheet(), QString());
        QCOMPARE(desk.form1->Label1->styleSheet(), QString());
    }

    void theWindowIsCentredAtItsFirstShow() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        const QPoint centre = desk.form1->screen()->availableGeometry().center();
        QVERIFY((desk.form1->frameGeometry().center() - centre).manhattanLength() <= 2);
    }

    // The end of the session.

    void theSessionEndingClosesWithoutDismissing() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.form1->SessionEnding();
        QVERIFY(desk.form1->close());
        QCOMPARE(CountCalls(desk, "trash "), 0);
    }

    void aCancelledLogOffArmsTheCloseBoxAgain() {
        DeskFixture desk(StoredDesk());
        PresentNewScan(desk);
        desk.form1->SessionEnding();
        desk.form1->MinimizeToTray();
        desk.form1->RestoreFromTray();

        QVERIFY(!desk.form1->close());
        QCOMPARE(CountCalls(desk, "trash "), 1);
    }
};

QTEST_MAIN(DeskFailuresTest)
#include "desk_failures_test.moc"
