#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "components/message_box.h"
#include "components/qdreg.h"
#include "components/qstatus.h"
#include "config/sequence_runner.h"
#include "config/tform2.h"
#include "config/tform3.h"
#include "desk/tform1.h"
#include "fakes/fake_configuration.h"
#include "fakes/fake_desk.h"
#include "fakes/fake_document_files.h"
#include "fakes/fake_host.h"
#include "fakes/fake_keyboard.h"
#include "fakes/fake_window_system.h"

using sortwell::desk::TargetButton;
using sortwell::test::FakeConfiguration;
using sortwell::test::FakeDesk;

namespace {

// The services over fakes, for one window built alone.
struct Machine {
    Machine() {
        store.Programmname = "Sortwell";
        store.Firmenname = "tessaryn";
        store.IniFileName = "QSortwell.ini";
        services.store = &store;
        services.files = &files;
        services.windowSystem = &windowSystem;
        services.processControl = &windowSystem;
        services.keyboard = &keyboard;
    }

    sortwell::test::FakeHost host;
    TQDReg store{host.host()};
    sortwell::test::FakeDocumentFiles files;
    sortwell::test::FakeWindowSystem windowSystem;
    sortwell::test::FakeKeyboard keyboard;
    DeskServices services;
};

// The desk alone, asking a fake Configuration dialog.
struct DeskOnFake {
    DeskOnFake() { desk.connectConfiguration(&configuration); }

    Machine machine;
    FakeConfiguration configuration;
    TForm1 desk{machine.services};
};

// The Configuration dialog and its runner alone, asking a fake desk.
struct DialogOnFake {
    DialogOnFake() { runner.readSequenceFrom(&dialog); }

    Machine machine;
    FakeDesk desk;
    SequenceRunner runner{machine.services, &desk};
    TForm3 dialog{machine.services, &desk, &runner};
};

QStringList ListItems(const QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) {
        items.append(list->item(row)->text());
    }
    return items;
}

constexpr int kQueuedAnswers = 8;

bool HasTargetFor(const TForm1& desk, const QString& pattern) {
    const auto buttons = desk.Panel1->findChildren<QToolButton*>();
    return std::any_of(buttons.begin(), buttons.end(), [&pattern](const QToolButton* button) {
        return button->property("folder").toString() == pattern;
    });
}

}  // namespace

// The desk and the Configuration dialog each against a fake of the other: what one asks
// through its face is what the other is told.
class DeskFacesTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearShown();
        MessageBox::clearAnswers();
        // A message would be answered without a dialog; the cases check that none came.
        for (int i = 0; i < kQueuedAnswers; ++i) {
            MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        }
    }

    // The desk over a fake Configuration dialog.

    void activeSwitchStartsAndEndsTheRun() {
        DeskOnFake fixture;
        fixture.desk.CheckBox1->click();
        QCOMPARE(fixture.configuration.calls, (std::vector<std::string>{"Run"}));
        QVERIFY(fixture.machine.store.PopBool("active"));

        fixture.desk.DocumentDetectionTimer.setEnabled(true);
        fixture.desk.CheckBox1->click();
        QCOMPARE(fixture.configuration.calls, (std::vector<std::string>{"Run", "AbortRun"}));
        QVERIFY(!fixture.desk.DocumentDetectionTimer.isEnabled());
        QVERIFY(!fixture.machine.store.PopBool("active"));
    }

    void saveStoresTheDialogsFieldsAndRepairsTheColumns() {
        DeskOnFake fixture;
        FakeConfiguration& configuration = fixture.configuration;
        configuration.folder = QStringLiteral("/scans");
        configuration.attach = false;
        configuration.columns = QStringLiteral("two");
        configuration.buttons = {{"", "Bills", "/archive/%TAG", ""}};
        configuration.nameList = {"Anna", "Ben"};
        configuration.sequence = "ENTER\r\nTAB";

        fixture.desk.Save();

        const TQDReg& store = fixture.machine.store;
        QCOMPARE(store.Pop("inputdir"), std::string("/scans"));
        QVERIFY(!store.PopBool("attach"));
        QCOMPARE(store.Pop("columns"), std::string("3"));
        QCOMPARE(configuration.columns, QStringLiteral("3"));
        QCOMPARE(store.Pop("caption0"), std::string("Bills"));
        QCOMPARE(store.Pop("folder0"), std::string("/archive/%TAG"));
        QCOMPARE(store.Pop("name1"), std::string("Ben"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void loadFillsTheDialogsFieldsAndTheNameSelector() {
        DeskOnFake fixture;
        TQDReg& store = fixture.machine.store;
        store.Push("inputdir", "/incoming");
        store.Push("columns", "5");
        store.PushBool("attach", false);
        store.PushBool("autostart", false);
        store.Push("caption0", "Tax");
        store.Push("folder0", "/archive/tax");
        store.Push("icon0", "<none>");
        store.Push("name0", "Cleo");
        store.SaveToRegistry();

        fixture.desk.Load();

        const FakeConfiguration& configuration = fixture.configuration;
        QCOMPARE(configuration.folder, QStringLiteral("/incoming"));
        QCOMPARE(configuration.columns, QStringLiteral("5"));
        QVERIFY(!configuration.attach);
        QVERIFY(!configuration.startsWithSession);
        QCOMPARE(configuration.buttons.size(), std::size_t{1});
        QCOMPARE(configuration.buttons.front().caption, std::string("Tax"));
        QCOMPARE(configuration.nameList, (std::vector<std::string>{"Cleo"}));
        QCOMPARE(fixture.desk.ComboBox1->count(), 1);
        QCOMPARE(fixture.desk.ComboBox1->itemText(0), QStringLiteral("Cleo"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void gridShowsTheDialogsTargetsAndMissingFolder() {
        DeskOnFake fixture;
        fixture.configuration.buttons = {{"", "Bills", "/archive/%TAG", ""}};
        fixture.desk.show();
        fixture.desk.RefreshButtons();
        QVERIFY(HasTargetFor(fixture.desk, QStringLiteral("/archive/%TAG")));
        QVERIFY(fixture.desk.GridHint->isVisibleTo(&fixture.desk));
        QVERIFY(fixture.desk.GridHint->text().contains(QStringLiteral("input folder")));

        // An unsaved edit in the dialog counts at once.
        fixture.configuration.folder = QStringLiteral("/scans");
        fixture.desk.RefreshButtons();
        QVERIFY(!fixture.desk.GridHint->isVisibleTo(&fixture.desk));
    }

    void showingTheDialogHoldsTheWindowListAndTheSwitch() {
        DeskOnFake fixture;
        bool timerOnWhileShown = true;
        bool switchEnabledWhileShown = true;
        fixture.configuration.whileShown = [&] {
            timerOnWhileShown = fixture.desk.Timer1.isEnabled();
            switchEnabledWhileShown = fixture.desk.CheckBox1->isEnabled();
        };
        fixture.desk.Button1->click();
        QCOMPARE(fixture.configuration.calls, (std::vector<std::string>{"showModal"}));
        QVERIFY(!timerOnWhileShown);
        QVERIFY(!switchEnabledWhileShown);
        QVERIFY(fixture.desk.Timer1.isEnabled());
        QVERIFY(fixture.desk.CheckBox1->isEnabled());
    }

    void theRunnerTakesTheDesktopsNewsAsItComesUntilNoMoreComes() {
        std::array<int, 2> news{-1, -1};
        QCOMPARE(pipe(news.data()), 0);
        Machine machine;
        machine.windowSystem.newsFd = news[0];
        FakeDesk desk;
        SequenceRunner runner{machine.services, &desk};
        QCOMPARE(write(news[1], "n", 1), 1);
        QTRY_COMPARE(machine.windowSystem.newsTaken, 1);
        machine.windowSystem.moreNewsComes = false;
        QCOMPARE(write(news[1], "n", 1), 1);
        QTRY_COMPARE(machine.windowSystem.newsTaken, 2);
        QCOMPARE(write(news[1], "n", 1), 1);
        QTest::qWait(100);
        QCOMPARE(machine.windowSystem.newsTaken, 2);
        close(news[0]);
        close(news[1]);
    }

    void windowListTimerRefreshesTheDialogsList() {
        DeskOnFake fixture;
        emit fixture.desk.Timer1.timeout();
        QCOMPARE(fixture.configuration.calls, (std::vector<std::string>{"refreshWindowList"}));
    }

    void notesGoThroughTheDialog() {
        DeskOnFake fixture;
        fixture.desk.notify(QStringLiteral("Moved to the trash."));
        QCOMPARE(fixture.configuration.notes.size(), std::size_t{1});
        QCOMPARE(fixture.configuration.notes.front().first, QStringLiteral("Tessaryn Sortwell"));
        QCOMPARE(fixture.configuration.notes.front().second, QStringLiteral("Moved to the trash."));
    }

    void desksFaceSwitchesItsOwnControls() {
        DeskOnFake fixture;
        DeskFace& face = fixture.desk;
        face.setActive(true);
        QVERIFY(fixture.desk.CheckBox1->isChecked());
        QVERIFY(face.isActive());
        QCOMPARE(fixture.configuration.calls, (std::vector<std::string>{"Run"}));
        face.setDetectionTimers(true);
        QVERIFY(fixture.desk.DocumentDetectionTimer.isEnabled());
        QVERIFY(fixture.desk.DocumentDetectionTimerTimeout.isEnabled());
        face.setDetectionTimers(false);
        QVERIFY(!fixture.desk.DocumentDetectionTimer.isEnabled());
        QVERIFY(!fixture.desk.DocumentDetectionTimerTimeout.isEnabled());
        face.setWindowListTimer(false);
        QVERIFY(!fixture.desk.Timer1.isEnabled());
        face.setRunnerStatus(QStringLiteral("3: ENTER"));
        QCOMPARE(fixture.desk.QStatus1->panelText(1), QStringLiteral("3: ENTER"));
    }

    // The Configuration dialog over a fake desk.

    void runSwitchesOnTheWindowListAndTheTray() {
        DialogOnFake fixture;
        fixture.dialog.Run();
        QVERIFY(fixture.desk.windowListTimer);
        QCOMPARE(fixture.desk.trayImage, 1);
        QVERIFY(fixture.runner.NextTimer.isEnabled());
    }

    void abortOnAnIdleDeskStopsDetectionAndTheRunner() {
        DialogOnFake fixture;
        fixture.dialog.Run();
        fixture.desk.detectionTimers = true;
        fixture.dialog.AbortRun();
        QVERIFY(!fixture.desk.detectionTimers);
        QCOMPARE(fixture.desk.trayImage, 0);
        QCOMPARE(fixture.desk.runnerStatus, QStringLiteral("n/a"));
        QVERIFY(!fixture.runner.NextTimer.isEnabled());
    }

    void abortOnAnActiveDeskStartsOver() {
        DialogOnFake fixture;
        fixture.desk.active = true;
        fixture.runner.currentLine = 4;
        fixture.dialog.AbortRun();
        QCOMPARE(fixture.runner.currentLine, 0);
        QVERIFY(fixture.runner.NextTimer.isEnabled());
        QCOMPARE(fixture.desk.trayImage, 1);
    }

    void abortButtonSwitchesTheDeskOff() {
        DialogOnFake fixture;
        fixture.desk.active = true;
        fixture.desk.windowListTimer = true;
        fixture.dialog.Run();
        fixture.dialog.Button13->click();
        QCOMPARE(fixture.desk.calls, (std::vector<std::string>{"setActive(false)"}));
        QVERIFY(!fixture.desk.windowListTimer);
        QVERIFY(!fixture.runner.NextTimer.isEnabled());
    }

    void handOverStartsTheDesksDetection() {
        DialogOnFake fixture;
        fixture.dialog.setSequenceText("HANDLEDOCUMENT");
        fixture.dialog.Run();
        fixture.runner.NextTimerTimer();
        QVERIFY(fixture.desk.detectionTimers);
        QVERIFY(!fixture.runner.NextTimer.isEnabled());
        QCOMPARE(fixture.desk.runnerStatus, QStringLiteral("0: HANDLEDOCUMENT"));

        fixture.dialog.resumeRunner();
        QVERIFY(fixture.runner.NextTimer.isEnabled());
    }

    void closingButtonsAskTheDeskToSaveAndLoad() {
        DialogOnFake fixture;
        fixture.dialog.show();
        fixture.dialog.Button20->click();
        QCOMPARE(fixture.desk.calls, (std::vector<std::string>{"Save"}));
        fixture.dialog.Button1->click();
        QCOMPARE(fixture.desk.calls, (std::vector<std::string>{"Save", "Save", "Load"}));
        QVERIFY(fixture.desk.windowListTimer);

        fixture.dialog.show();
        fixture.dialog.Button19->click();
        QCOMPARE(fixture.desk.calls, (std::vector<std::string>{"Save", "Save", "Load", "Load"}));
    }

    void loadDefaultsAsksTheDesk() {
        DialogOnFake fixture;
        fixture.dialog.Button21->click();
        QCOMPARE(fixture.desk.calls, (std::vector<std::string>{"LoadDefaults"}));
    }

    void dialogsFaceReadsTheLiveFields() {
        DialogOnFake fixture;
        const ConfigurationFace& face = fixture.dialog;
        QTest::keyClicks(fixture.dialog.Edit4, QStringLiteral("/typed"));
        QCOMPARE(face.inputFolder(), QStringLiteral("/typed"));
        fixture.dialog.CheckBox1->setChecked(false);
        QVERIFY(!face.attachOriginalName());
        fixture.dialog.Edit1->setText(QStringLiteral("7"));
        QCOMPARE(face.columnsText(), QStringLiteral("7"));
    }

    void namesReachTheNamesTabAndTheEditButtonDialog() {
        DialogOnFake fixture;
        ConfigurationFace& face = fixture.dialog;
        face.setNames({"Anna", "Ben"});
        QCOMPARE(ListItems(fixture.dialog.ListBox4), (QStringList{"Anna", "Ben"}));
        QCOMPARE(ListItems(fixture.dialog.editButtonDialog()->CheckListBox1),
                 (QStringList{"Anna", "Ben"}));
        QCOMPARE(face.names(), (std::vector<std::string>{"Anna", "Ben"}));
    }
};

QTEST_MAIN(DeskFacesTest)
#include "desk_faces_test.moc"
