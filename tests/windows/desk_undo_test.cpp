#include <string>
#include <vector>

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QSystemTrayIcon>
#include <QTest>

#include "components/mask_edit.h"
#include "components/message_box.h"
#include "components/notice.h"
#include "desk/tform1.h"
#include "windows/desk_fixture.h"
#include "windows/desk_scenario.h"

using sortwell::test::DeskFixture;

using namespace sortwell::test::scenario;  // NOLINT(google-build-using-namespace)

namespace {
const std::string kFiledTarget = "/archive/2014/09 Anna_new.pdf";

// A desk that has just filed new.pdf through the dated target.
void FileNewDocument(DeskFixture& desk) {
    StartDesk(desk);
    Arrive(desk, "new.pdf");
    desk.form1->Detection(false);
    QVERIFY(ClickTarget(desk, kDatedPattern));
    QVERIFY(desk.files.files.contains(kFiledTarget));
    ForgetGoneFromListing(desk);
}
}  // namespace

class DeskUndoTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearShown();
        MessageBox::clearAnswers();
    }

    void aFilingIsSaidWithItsPathAndOffersUndo() {
        DeskFixture desk(StoredDesk());
        QVERIFY(!desk.form1->UndoButton->isEnabled());
        FileNewDocument(desk);

        const Notice* notice = desk.form1->filingNotice();
        QVERIFY(notice != nullptr);
        QCOMPARE(notice->text(), QStringLiteral("new.pdf filed to ") + kFiledTarget.c_str());
        QCOMPARE(notice->action(), QStringLiteral("Undo"));
        QVERIFY(notice->isVisible());
        QVERIFY(desk.form1->TrayIcon1->toolTip().endsWith(
            QStringLiteral("Last: new.pdf filed to ") + kFiledTarget.c_str()));
        QVERIFY(desk.form1->UndoButton->isEnabled());
        QCOMPARE(desk.form1->UndoFiling1->text(), QStringLiteral("&Undo Filing of new.pdf"));
        QVERIFY(desk.form1->UndoFiling1->isEnabled());
        QCOMPARE(desk.journal.filings().size(), std::size_t{1});
        QCOMPARE(desk.journal.filings().front().targetPath, kFiledTarget);
    }

    void undoBringsTheDocumentBackWithTheEntriesItWasFiledWith() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        desk.form1->Edit1->setText(QStringLiteral("Tax letter"));
        desk.form1->MaskEdit1->setText(QStringLiteral("03"));
        desk.form1->ComboBox1->setCurrentIndex(1);
        desk.form1->tagConfirmed = true;
        QVERIFY(ClickTarget(desk, kTaggedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/Tax_letter_new.pdf"));
        // The date goes back to today and the tag is typed anew before the undo.
        desk.form1->ResetDate();
        desk.form1->Edit1->setText(QStringLiteral("other"));

        desk.form1->UndoLastFiling();
        QVERIFY(desk.files.files.contains("/scans/new.pdf"));
        QVERIFY(!desk.files.files.contains("/archive/2014/Tax_letter_new.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QCOMPARE(StatusText(desk), QStringLiteral("new.pdf"));
        QCOMPARE(desk.form1->Edit1->text(), QStringLiteral("Tax letter"));
        QCOMPARE(desk.form1->MaskEdit1->text(), QStringLiteral("03"));
        QCOMPARE(desk.form1->ComboBox1->currentText(), QStringLiteral("Ben"));
        QVERIFY(!desk.form1->inTray);
        QVERIFY(!desk.form1->UndoButton->isEnabled());
        QVERIFY(!desk.form1->filingNotice()->isVisible());

        // Filed again at one click, to the right target this time.
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/03 Ben_new.pdf"));
    }

    void theFolderThatFilingMadeGoesWithTheUndo() {
        DeskFixture desk(StoredDesk());
        FileNewDocument(desk);
        QVERIFY(desk.files.folders.contains("/archive/2014"));
        desk.form1->UndoLastFiling();
        QVERIFY(!desk.files.folders.contains("/archive/2014"));
        QVERIFY(desk.files.folders.contains(kArchive));
    }

    void theDocumentOnTheDeskWaitsWhileTheTakenBackOneIsShown() {
        DeskFixture desk(StoredDesk());
        FileNewDocument(desk);
        Arrive(desk, "next.pdf");
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string("next.pdf"));

        desk.form1->UndoLastFiling();
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QVERIFY(desk.files.files.contains("/scans/next.pdf"));
        QCOMPARE(desk.form1->inbox().Names(), std::vector<std::string>{"next.pdf"});
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(desk.form1->currentDocument, std::string("next.pdf"));
    }

    void aChangedFiledFileIsNotTakenBack() {
        DeskFixture desk(StoredDesk());
        FileNewDocument(desk);
        desk.files.files[kFiledTarget].size += 1;

        desk.form1->UndoLastFiling();
        QVERIFY(desk.files.files.contains(kFiledTarget));
        QVERIFY(!desk.files.files.contains("/scans/new.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string());
        QVERIFY(ProblemText(desk).startsWith(QStringLiteral("new.pdf cannot be taken back: ")));
        QVERIFY(!desk.form1->inTray);
    }

    void ctrlZOnAnEmptyDeskSaysThereIsNothingToUndo() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form1->Edit1->setText(QStringLiteral("Invoice"));
        desk.form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(desk.form1));
        QTest::keyClick(desk.form1->Edit1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ProblemText(desk), QStringLiteral("Nothing to undo."));
        QCOMPARE(MessageBox::shown().size(), 0);
        // The tag field's own undo is not what the key does here.
        QCOMPARE(desk.form1->Edit1->text(), QStringLiteral("Invoice"));
    }

    void theNoticesUndoAndTheTrayItemTakeTheFilingBack() {
        DeskFixture desk(StoredDesk());
        FileNewDocument(desk);
        desk.form1->filingNotice()->chooseAction();
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));

        QVERIFY(ClickTarget(desk, kDatedPattern));
        desk.form1->UndoFiling1->trigger();
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));
        QVERIFY(desk.files.files.contains("/scans/new.pdf"));
    }

    void theTagFieldProposesTagsOfEarlierFilings() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        for (const char* tag : {"Insurance", "Tax", "Insurance"}) {
            const std::string name =
                std::string(tag) + std::to_string(desk.journal.filings().size());
            Arrive(desk, name + ".pdf");
            desk.form1->Detection(false);
            desk.form1->Edit1->setText(QString::fromUtf8(tag));
            desk.form1->tagConfirmed = true;
            QVERIFY(ClickTarget(desk, kTaggedPattern));
            ForgetGoneFromListing(desk);
        }
        const QCompleter* completer = desk.form1->Edit1->completer();
        QVERIFY(completer != nullptr);
        const auto* model = qobject_cast<const QStringListModel*>(completer->model());
        QCOMPARE(model->stringList(),
                 QStringList({QStringLiteral("Insurance"), QStringLiteral("Tax")}));
        QCOMPARE(completer->completionMode(), QCompleter::PopupCompletion);
    }

    void afterAFilingThatWasNotNotedUndoTakesBackNothing() {
        DeskFixture desk(StoredDesk());
        FileNewDocument(desk);
        desk.journalFile.refuseAppendsWith = "Input/output error";
        Arrive(desk, "later.pdf");
        desk.form1->Detection(false);
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/09 Anna_later.pdf"));
        QVERIFY(!desk.form1->UndoButton->isEnabled());

        desk.form1->UndoLastFiling();
        QVERIFY(desk.files.files.contains(kFiledTarget));
        QVERIFY(desk.files.files.contains("/archive/2014/09 Anna_later.pdf"));
        QVERIFY(ProblemText(desk).startsWith(
            QStringLiteral("later.pdf could not be noted in the filing journal")));
    }

    void aJournalThatCannotBeWrittenIsSaidAndTheFilingStands() {
        DeskFixture desk(StoredDesk());
        desk.journalFile.refuseAppendsWith = "No space left on device";
        FileNewDocument(desk);
        QVERIFY(!desk.form1->UndoButton->isEnabled());
        QCOMPARE(desk.form1->filingNotice()->action(), QString());
        QVERIFY(!MessageBox::shown().isEmpty());
        QVERIFY(
            MessageBox::shown().back().text.contains(QStringLiteral("No space left on device")));
    }
};

QTEST_MAIN(DeskUndoTest)
#include "desk_undo_test.moc"
