#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTest>

#include "components/message_box.h"
#include "components/qstatus.h"
#include "config/tform3.h"
#include "desk/tform1.h"
#include "windows/desk_fixture.h"
#include "windows/desk_scenario.h"

using sortwell::platform::WatchNews;
using sortwell::test::DeskFixture;

using namespace sortwell::test::scenario;  // NOLINT(google-build-using-namespace)

namespace {

// The two targets of the scenario with the inbox on, as a store without the key has it.
std::map<std::string, std::string> InboxDesk(bool active = false) {
    std::map<std::string, std::string> stored = StoredDesk();
    if (active) {
        stored["active"] = "1";
    }
    return stored;
}

// A desk whose store holds exactly the scenario, so the inbox is on by its default.
struct InboxFixture : DeskFixture {
    explicit InboxFixture(bool active = false) : DeskFixture(InboxDesk(active), true) {
        files.listingsFollowFiles = true;
    }
};

// A scan `minutesAgo` old arriving in the folder, with the event the system would raise.
void ArriveAndAnnounce(DeskFixture& desk, const std::string& name, int minutesAgo) {
    Arrive(desk, name, desk.wallNow - std::chrono::minutes(minutesAgo));
    desk.folderWatch.announce(WatchNews::Changed);
}

// The event reaches the desk, and the burst is over.
void Deliver(DeskFixture& desk) {
    desk.form1->FolderWatchActivated();
    desk.form1->InboxSettleTimerTimer();
}

QString WaitingText(const DeskFixture& desk) {
    return desk.form1->WaitingLabel->isVisibleTo(desk.form1) ? desk.form1->WaitingLabel->text()
                                                             : QString();
}

}  // namespace

class DeskInboxTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearShown();
        MessageBox::clearAnswers();
    }

    void anArrivalIsPresentedWithoutAScanRun() {
        InboxFixture desk;
        StartDesk(desk, {});
        QVERIFY(desk.form1->watchingInputFolder());
        QCOMPARE(desk.folderWatch.watched, std::vector<std::string>{kScans});
        ArriveAndAnnounce(desk, "scan.pdf", 1);
        Deliver(desk);
        QCOMPARE(desk.form1->currentDocument, std::string("scan.pdf"));
        QCOMPARE(StatusText(desk), QStringLiteral("scan.pdf"));
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QCOMPARE(WaitingText(desk), QString());
    }

    void theWatchHandleReachesTheDeskThroughTheEventLoop() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "scan.pdf", 1);
        QTRY_COMPARE(desk.form1->currentDocument, std::string("scan.pdf"));
    }

    void aBurstOfEventsIsOneListing() {
        InboxFixture desk;
        StartDesk(desk, {});
        for (const std::string name : {"a.pdf", "b.pdf", "c.pdf"}) {
            ArriveAndAnnounce(desk, name, 1);
            desk.form1->FolderWatchActivated();
        }
        QCOMPARE(CountCalls(desk, "list "), 0);
        QVERIFY(desk.form1->InboxSettleTimer.isEnabled());
        desk.form1->InboxSettleTimerTimer();
        QCOMPARE(CountCalls(desk, "list "), 1);
        QCOMPARE(desk.form1->currentDocument, std::string("a.pdf"));
        QCOMPARE(WaitingText(desk), QStringLiteral("2 more waiting"));
    }

    void waitingDocumentsAreCountedAndComeOldestFirst() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "a.pdf", 1);
        ArriveAndAnnounce(desk, "b.pdf", 9);
        ArriveAndAnnounce(desk, "c.pdf", 5);
        Deliver(desk);
        QCOMPARE(desk.form1->currentDocument, std::string("b.pdf"));
        QCOMPARE(desk.form1->inbox().Names(), (std::vector<std::string>{"c.pdf", "a.pdf"}));
        QCOMPARE(WaitingText(desk), QStringLiteral("2 more waiting"));
        QCOMPARE(desk.form1->TrayIcon1->toolTip(),
                 QStringLiteral("Tessaryn Sortwell Desk: 2 documents waiting"));
    }

    void theNextIsPresentedAtOnceAfterFiling() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "first.pdf", 9);
        ArriveAndAnnounce(desk, "second.pdf", 5);
        Deliver(desk);
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(CountCalls(desk, "move /scans/first.pdf -> /archive/2014/"), 1);
        QVERIFY(!desk.files.files.contains("/scans/first.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string("second.pdf"));
        QCOMPARE(StatusText(desk), QStringLiteral("second.pdf"));
        QVERIFY(!desk.form1->inTray);
        QCOMPARE(WaitingText(desk), QString());
        QVERIFY(desk.form1->TrayIcon1->toolTip().startsWith(
            QStringLiteral("Tessaryn Sortwell Desk\nLast: first.pdf filed to /archive/2014/")));
    }

    void theNextIsPresentedAtOnceAfterDismiss() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "first.pdf", 9);
        ArriveAndAnnounce(desk, "second.pdf", 5);
        Deliver(desk);
        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.files.trashed, std::vector<std::string>{"/scans/first.pdf"});
        QCOMPARE(desk.form1->currentDocument, std::string("second.pdf"));
        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
        QVERIFY(desk.form1->inTray);
    }

    void aWaitingFileThatVanishesLeavesTheQueueQuietly() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "a.pdf", 9);
        ArriveAndAnnounce(desk, "b.pdf", 7);
        ArriveAndAnnounce(desk, "c.pdf", 5);
        Deliver(desk);
        desk.files.files.erase(kScans + "/b.pdf");
        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.form1->currentDocument, std::string("c.pdf"));
        QCOMPARE(ProblemText(desk), QString());
        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(WaitingText(desk), QString());
    }

    void documentsAtStartUpAreCountedAndWaitForTheDeskToOpen() {
        InboxFixture desk(true);
        StartDesk(desk, {"a.pdf", "b.pdf", "c.pdf"});
        QVERIFY(desk.form1->inTray);
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(desk.form1->TrayIcon1->toolTip(),
                 QStringLiteral("Tessaryn Sortwell Desk: 3 documents waiting"));
        desk.form1->InboxPollTimerTimer();
        // Not by itself: only the desk's opening presents it.
        QCOMPARE(desk.form1->currentDocument, std::string());
        desk.form1->ShowMainWindow1Click();
        QCOMPARE(desk.form1->currentDocument, std::string("a.pdf"));
        QCOMPARE(WaitingText(desk), QStringLiteral("2 more waiting"));
    }

    void aNewScanBringsTheStartUpDocumentsInTheirTurn() {
        InboxFixture desk(true);
        StartDesk(desk, {"old.pdf"});
        ArriveAndAnnounce(desk, "new.pdf", 1);
        Deliver(desk);
        QCOMPARE(desk.form1->currentDocument, std::string("old.pdf"));
        QCOMPARE(desk.form1->inbox().Names(), std::vector<std::string>{"new.pdf"});
    }

    void aScanTheRunnerWaitsForGoesAheadOfTheWaitingOnes() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "a.pdf", 9);
        ArriveAndAnnounce(desk, "b.pdf", 7);
        Deliver(desk);
        desk.form1->setDetectionTimers(true);  // HANDLEDOCUMENT
        Arrive(desk, "scan.pdf", desk.wallNow);
        desk.form1->DocumentDetectionTimerTimer();
        QVERIFY(!desk.form1->DocumentDetectionTimer.isEnabled());
        QVERIFY(!desk.form1->DocumentDetectionTimerTimeout.isEnabled());
        QCOMPARE(desk.form1->inbox().Names(), (std::vector<std::string>{"scan.pdf", "b.pdf"}));
        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.form1->currentDocument, std::string("scan.pdf"));
    }

    void aScanAfterAFilingIsPresentedWhileTheRunnerWaitsNoMore() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "first.pdf", 3);
        Deliver(desk);
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.form1->inTray);
        ArriveAndAnnounce(desk, "late.pdf", 0);
        Deliver(desk);
        QCOMPARE(desk.form1->currentDocument, std::string("late.pdf"));
        QVERIFY(!desk.form1->inTray);
    }

    void handedOverFilesArePresentedInTurnAlsoWithTheBoxOff() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk, {});
        Arrive(desk, "first.pdf");
        Arrive(desk, "second.pdf");
        desk.form1->PresentHandedOver(kScans + "/second.pdf");
        desk.form1->PresentHandedOver(kScans + "/first.pdf");
        desk.form1->PresentHandedOver(kScans + "/first.pdf");
        QCOMPARE(desk.form1->currentDocument, std::string("second.pdf"));
        QCOMPARE(WaitingText(desk), QStringLiteral("1 more waiting"));
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(CountCalls(desk, "move /scans/second.pdf -> /archive/2014/"), 1);
        QCOMPARE(desk.form1->currentDocument, std::string("first.pdf"));
        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.form1->currentDocument, std::string());
        QVERIFY(desk.form1->inTray);
    }

    void aFileHandedOverBeforeTheStartWaitsForTheSettings() {
        DeskFixture desk(StoredDesk());
        desk.form1->PresentHandedOver(kScans + "/early.pdf");
        QCOMPARE(desk.form1->currentDocument, std::string());
        StartDesk(desk, {"early.pdf"});
        QCOMPARE(desk.form1->currentDocument, std::string("early.pdf"));
        QCOMPARE(desk.runner().notice().text(), QString());
    }

    void aFileOutsideTheInputFolderIsNotTaken() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk, {});
        desk.form1->PresentHandedOver("/elsewhere/scan.pdf");
        QCOMPARE(desk.form1->currentDocument, std::string());
        QVERIFY(desk.runner().notice().text().contains(QStringLiteral("not in the input folder")));
    }

    void closingTheDeskDismissesOneAndPutsTheRestAway() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "first.pdf", 9);
        ArriveAndAnnounce(desk, "second.pdf", 5);
        Deliver(desk);
        QVERIFY(!desk.form1->close());
        QCOMPARE(desk.files.trashed, std::vector<std::string>{"/scans/first.pdf"});
        QCOMPARE(desk.form1->currentDocument, std::string());
        QVERIFY(desk.form1->inTray);
        desk.form1->ShowMainWindow1Click();
        QCOMPARE(desk.form1->currentDocument, std::string("second.pdf"));
    }

    void theInboxFollowsTheSavedFolderNotAHalfTypedOne() {
        InboxFixture desk;
        StartDesk(desk, {});
        desk.setInputFolder("/half", {"stranger.pdf"});
        desk.form3->setInputFolder(QStringLiteral("/half"));
        ArriveAndAnnounce(desk, "scan.pdf", 1);
        Deliver(desk);
        QCOMPARE(desk.form1->currentDocument, std::string("scan.pdf"));
        QCOMPARE(CountCalls(desk, "list /half"), 0);
    }

    void withTheBoxOffDetectionIsTheScanRun() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        QVERIFY(!desk.form1->inboxOn());
        QVERIFY(desk.folderWatch.watched.empty());
        QVERIFY(!desk.form1->InboxPollTimer.isEnabled());
        Arrive(desk, "scan.pdf");
        desk.form1->InboxSettleTimerTimer();
        desk.form1->InboxPollTimerTimer();
        QCOMPARE(desk.form1->currentDocument, std::string());
        QCOMPARE(CountCalls(desk, "list "), 0);
        desk.form1->DocumentDetectionTimerTimer();
        QCOMPARE(desk.form1->currentDocument, std::string("scan.pdf"));
    }

    void switchingTheBoxOffKeepsTheHandedOverFiles() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "a.pdf", 9);
        ArriveAndAnnounce(desk, "found.pdf", 7);
        Deliver(desk);
        Arrive(desk, "given.pdf");
        desk.form1->PresentHandedOver(kScans + "/given.pdf");
        desk.configuration().setWatchInput(false);
        desk.form1->Save();
        QCOMPARE(desk.form1->inbox().Names(), std::vector<std::string>{"given.pdf"});
    }

    void aDocumentGoneBeforeTheClickBringsTheNextWithANote() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "first.pdf", 9);
        ArriveAndAnnounce(desk, "second.pdf", 5);
        Deliver(desk);
        desk.files.files.erase(kScans + "/first.pdf");
        ForgetGoneFromListing(desk);
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(desk.form1->currentDocument, std::string("second.pdf"));
        QVERIFY(
            desk.runner().notice().text().contains(QStringLiteral("first.pdf is no longer in")));
        QCOMPARE(CountCalls(desk, "move "), 0);
    }

    void switchingTheBoxOffStopsTheInbox() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "a.pdf", 9);
        ArriveAndAnnounce(desk, "b.pdf", 7);
        Deliver(desk);
        desk.configuration().setWatchInput(false);
        desk.form1->Save();
        QVERIFY(!desk.form1->inboxOn());
        QVERIFY(!desk.form1->watchingInputFolder());
        QCOMPARE(desk.folderWatch.stops, 1);
        QCOMPARE(WaitingText(desk), QString());
        QCOMPARE(desk.persisted("watchinput"), std::string("0"));
        // The document at hand stays on the desk.
        QCOMPARE(desk.form1->currentDocument, std::string("a.pdf"));
    }

    void theGeneralTabHoldsTheSettingAndLoadDefaultsSwitchesItOn() {
        std::map<std::string, std::string> stored = StoredDesk();
        stored["watchinput"] = "0";
        DeskFixture desk(stored);
        StartDesk(desk, {});
        QCOMPARE(desk.form3->CheckBox3->text(),
                 QStringLiteral("Present every new PDF in the input folder, also without a scan "
                                "run"));
        QVERIFY(!desk.form3->CheckBox3->isChecked());
        desk.form1->LoadDefaults();
        QVERIFY(desk.form3->CheckBox3->isChecked());
        QCOMPARE(desk.persisted("watchinput"), std::string("1"));
        QVERIFY(desk.form1->inboxOn());
        QVERIFY(desk.form1->watchingInputFolder());
    }

    void aFolderThatMustBePolledIsSaidOnce() {
        InboxFixture desk;
        desk.folderWatch.pollReason = "the folder is on a NFS file system";
        StartDesk(desk, {});
        QVERIFY(!desk.form1->watchingInputFolder());
        QVERIFY(desk.form1->InboxPollTimer.isEnabled());
        QCOMPARE(desk.form1->InboxPollTimer.interval(), 2000);
        QCOMPARE(StatusText(desk),
                 QStringLiteral("Checking the input folder every 2 s: the folder is on a NFS file "
                                "system."));
        Arrive(desk, "scan.pdf");
        desk.form1->InboxPollTimerTimer();
        QCOMPARE(desk.form1->currentDocument, std::string("scan.pdf"));
        desk.form1->SpeedButton1Click();
        desk.form1->InboxPollTimerTimer();
        QCOMPARE(StatusText(desk), QStringLiteral("no document"));
    }

    void aDeletedFolderIsSaidAndWatchedAgainOnceBack() {
        InboxFixture desk;
        StartDesk(desk, {});
        desk.files.folders.erase(kScans);
        desk.files.listings.erase(kScans);
        desk.folderWatch.announce(WatchNews::FolderGone);
        desk.form1->FolderWatchActivated();
        QVERIFY(!desk.form1->watchingInputFolder());
        QVERIFY(desk.form1->InboxPollTimer.isEnabled());
        QCOMPARE(StatusText(desk),
                 QStringLiteral("Input folder /scans cannot be read: there is no such folder"));
        desk.setInputFolder(kScans, {"back.pdf"});
        desk.form1->InboxPollTimerTimer();
        QVERIFY(desk.form1->watchingInputFolder());
        QVERIFY(!desk.form1->InboxPollTimer.isEnabled());
        QCOMPARE(desk.folderWatch.watched.size(), std::size_t{2});
        QCOMPARE(desk.form1->currentDocument, std::string("back.pdf"));
    }

    void aFolderReplacedByAFileIsSaid() {
        InboxFixture desk;
        StartDesk(desk, {});
        desk.files.folders.erase(kScans);
        desk.files.files[kScans] = {10, desk.wallNow};
        desk.folderWatch.announce(WatchNews::FolderGone);
        desk.form1->FolderWatchActivated();
        QCOMPARE(StatusText(desk),
                 QStringLiteral("Input folder /scans cannot be read: it is a file, not a folder"));
    }

    void anUnreadableFolderIsSaidAndLosesNoWaitingDocument() {
        InboxFixture desk;
        StartDesk(desk, {});
        ArriveAndAnnounce(desk, "a.pdf", 9);
        ArriveAndAnnounce(desk, "b.pdf", 7);
        Deliver(desk);
        desk.files.listings.erase(kScans);  // the fake's way of refusing the listing
        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.form1->currentDocument, std::string("b.pdf"));
        desk.form1->SpeedButton1Click();
        QCOMPARE(StatusText(desk),
                 QStringLiteral("Input folder /scans cannot be read: no folder /scans"));
    }

    void namesWithALineBreakOrInvalidUtf8AreShownOnOneLineAndFiledAsTheyAre() {
        InboxFixture desk;
        StartDesk(desk, {});
        const std::string broken = "two\nlines.pdf";
        const std::string latin1 = "caf\xE9.pdf";
        ArriveAndAnnounce(desk, broken, 9);
        ArriveAndAnnounce(desk, latin1, 7);
        Deliver(desk);
        QCOMPARE(desk.form1->currentDocument, broken);
        QCOMPARE(StatusText(desk), QStringLiteral("two\uFFFDlines.pdf"));
        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.files.trashed.back(), kScans + "/" + broken);
        QCOMPARE(desk.form1->currentDocument, latin1);
        QVERIFY(!StatusText(desk).contains(QLatin1Char('\n')));
    }
};

QTEST_MAIN(DeskInboxTest)
#include "desk_inbox_test.moc"
