#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "config/sequence_language.h"
#include "windows/desk_fixture.h"

using sortwell::test::DeskFixture;

namespace {

std::map<std::string, std::string> StoredButtons(int count) {
    std::map<std::string, std::string> stored;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        stored["icon" + n] = "/icons/" + n + ".ico";
        stored["caption" + n] = "Target " + n;
        stored["folder" + n] = "/archive/" + n + "/%TAG";
        stored["hide" + n] = "";
    }
    return stored;
}

std::map<std::string, std::string> StoredNames(std::string selected) {
    return {{"name0", "Anna"}, {"name1", "Ben"}, {"name2", "Carl"}, {"selectedname", selected}};
}

int MessagesSaying(const QString& text) {
    int count = 0;
    for (const MessageBox::Shown& shown : MessageBox::shown()) {
        count += shown.text.contains(text) ? 1 : 0;
    }
    return count;
}

}  // namespace

class DeskSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartWithAnEmptyStoreShowsAnEmptyDesk() {
        DeskFixture desk;
        desk.start();
        QCOMPARE(desk.form3->ListView1->topLevelItemCount(), 0);
        QCOMPARE(desk.form3->ListBox4->count(), 0);
        QVERIFY(desk.form1->ComboBox1->isHidden());
        QVERIFY(desk.form3->Memo1->toPlainText().isEmpty());
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QVERIFY(desk.form3->CheckBox1->isChecked());
        QVERIFY(desk.form3->CheckBox2->isChecked());
        QVERIFY(!desk.form1->inTray);
        QVERIFY(desk.form1->startupDone);
    }

    void savingFewerButtonsBlanksTheStaleOnes() {
        DeskFixture desk(StoredButtons(5));
        desk.start();
        QCOMPARE(desk.form3->ListView1->topLevelItemCount(), 5);
        delete desk.form3->ListView1->topLevelItem(4);
        delete desk.form3->ListView1->topLevelItem(3);
        desk.form1->Save();
        QCOMPARE(desk.persisted("icon3"), std::string());
        QCOMPARE(desk.persisted("caption4"), std::string());
        QCOMPARE(desk.persisted("caption2"), std::string("Target 2"));
        desk.form1->Load();
        QCOMPARE(desk.form3->ListView1->topLevelItemCount(), 3);
    }

    void aGapInTheStoredListEndsIt() {
        std::map<std::string, std::string> stored = StoredButtons(3);
        stored["icon1"] = "";
        DeskFixture desk(stored);
        desk.start();
        QCOMPARE(desk.form3->ListView1->topLevelItemCount(), 1);
        QCOMPARE(desk.form3->ListView1->topLevelItem(0)->text(1), QStringLiteral("Target 0"));
    }

    void storedSelectedNamePicksTheName_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::newRow("past the end") << "7" << 0;
        QTest::newRow("the third") << "2" << 2;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("no number") << "two" << 0;
    }

    void storedSelectedNamePicksTheName() {
        QFETCH(QString, stored);
        QFETCH(int, index);
        DeskFixture desk(StoredNames(stored.toStdString()));
        desk.start();
        QVERIFY(!desk.form1->ComboBox1->isHidden());
        QCOMPARE(desk.form1->ComboBox1->count(), 3);
        QCOMPARE(desk.form1->ComboBox1->currentIndex(), index);
        // Selecting from the stored value is not a pick: nothing is written back.
        QCOMPARE(desk.persisted("selectedname"), stored.toStdString());
    }

    void namesFillAllThreeListsAndShowTheSelector() {
        DeskFixture desk;
        desk.start();
        QVERIFY(desk.form1->ComboBox1->isHidden());
        desk.form3->ListBox4->addItem(QStringLiteral("Dora"));
        desk.form1->Save();
        desk.form1->Load();
        QVERIFY(!desk.form1->ComboBox1->isHidden());
        QCOMPARE(desk.form1->ComboBox1->itemText(0), QStringLiteral("Dora"));
        QCOMPARE(desk.form2->CheckListBox1->count(), 1);
        QCOMPARE(desk.form2->CheckListBox1->item(0)->text(), QStringLiteral("Dora"));
    }

    void sequenceLinesSurviveSaveAndLoad() {
        DeskFixture desk;
        desk.start();
        desk.form3->Memo1->setPlainText(QStringLiteral("WAITWINDOW:Scan\nENTER\nHANDLEDOCUMENT"));
        desk.form1->Save();
        QCOMPARE(desk.persisted("sequence"), std::string("WAITWINDOW:Scan`ENTER`HANDLEDOCUMENT"));
        desk.form3->Memo1->clear();
        desk.form1->Load();
        QCOMPARE(desk.form3->Memo1->toPlainText(),
                 QStringLiteral("WAITWINDOW:Scan\nENTER\nHANDLEDOCUMENT"));
    }

    void aColumnCountThatIsNoNumberIsRepairedOnSave() {
        DeskFixture desk;
        desk.start();
        desk.form3->Edit1->setText(QStringLiteral("many"));
        desk.form1->Save();
        QCOMPARE(desk.form3->Edit1->text(), QStringLiteral("3"));
        QCOMPARE(desk.persisted("columns"), std::string("3"));
    }

    void loadDefaultsWithActiveOnStopsTheRunnerAndKeepsTheLists() {
        std::map<std::string, std::string> stored = StoredButtons(2);
        stored.merge(StoredNames("1"));
        stored["active"] = "1";
        stored["attach"] = "0";
        stored["autostart"] = "0";
        stored["columns"] = "5";
        stored["inputdir"] = "/scans";
        DeskFixture desk(stored);
        desk.start();
        QVERIFY(desk.runner().NextTimer.isEnabled());

        desk.form1->LoadDefaults();
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QVERIFY(desk.form3->Button11->isEnabled());
        QCOMPARE(desk.form3->sequenceText(), sortwell::config::DefaultSequence());
        QCOMPARE(desk.form3->Edit1->text(), QStringLiteral("3"));
        QVERIFY(desk.form3->CheckBox1->isChecked());
        QVERIFY(desk.form3->CheckBox2->isChecked());
        QCOMPARE(desk.form3->ListView1->topLevelItemCount(), 2);
        QCOMPARE(desk.form3->ListBox4->count(), 3);
        QCOMPARE(desk.form3->Edit4->text(), QStringLiteral("/scans"));
        QCOMPARE(desk.persisted("active"), std::string("0"));
    }

    void storedActiveStartsTheRunnerSavesAndGoesToTheTray() {
        DeskFixture desk({{"active", "1"}, {"columns", "4"}});
        const int writesBefore = desk.host.settings.updates;
        desk.start();
        QVERIFY(desk.form1->CheckBox1->isChecked());
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QVERIFY(!desk.form3->Button11->isEnabled());
        QCOMPARE(desk.form1->trayImage(), 1);
        QVERIFY(desk.form1->inTray);
        QVERIFY(!desk.form1->Enable1->isEnabled());
        QVERIFY(desk.form1->Disable1->isEnabled());
        // Loading wrote everything back once, the start-up registration included.
        QVERIFY(desk.host.settings.updates > writesBefore);
        QCOMPARE(desk.persisted("attach"), std::string("1"));
        QVERIFY(desk.host.autostart.isEnabled("Tessaryn Sortwell"));
    }

    void storedSizeIsAppliedAndABadOneIgnored() {
        DeskFixture sized({{"width", "800"}, {"height", "600"}});
        sized.start();
        QCOMPARE(sized.form1->frameGeometry().size(), QSize(800, 600));

        DeskFixture broken({{"width", "wide"}, {"height", "600"}, {"inputdir", "/scans"}});
        broken.setInputFolder("/scans", {"old.pdf"});
        broken.start();
        QCOMPARE(broken.form1->frameGeometry().height(), 600);
        QVERIFY(broken.form1->startupDone);
        QVERIFY(broken.form1->knownFiles.Contains("old.pdf"));
    }

    void resizingAfterStartStoresTheSize() {
        DeskFixture desk;
        desk.form1->show();
        desk.form1->resize(700, 500);
        QCOMPARE(desk.persisted("width"), std::string());
        desk.form1->StartTimerTimer();
        desk.form1->resize(640, 480);
        QCOMPARE(desk.persisted("width"), std::to_string(desk.form1->frameGeometry().width()));
        QCOMPARE(desk.persisted("height"), std::to_string(desk.form1->frameGeometry().height()));
        QVERIFY(desk.form1->ButtonRefreshTimer.isEnabled());
    }

    void aRefusedStartupRegistrationIsReportedOnceAndTheSaveGoesOn() {
        DeskFixture desk;
        desk.host.autostart.refuseWith = "no autostart folder";
        desk.start();
        desk.form3->ListBox4->addItem(QStringLiteral("Anna"));
        desk.form1->Save();
        desk.form1->Save();
        QCOMPARE(MessagesSaying(QStringLiteral("no autostart folder")), 1);
        QCOMPARE(desk.persisted("name0"), std::string("Anna"));
        QVERIFY(desk.form1->ButtonRefreshTimer.isEnabled());
    }

    void aSettingsStoreThatRefusesWritesIsReported() {
        DeskFixture desk;
        desk.start();
        desk.host.settings.refuseWritesWith = "disk full";
        desk.form1->Edit1->setText(QStringLiteral("Tax"));
        desk.form1->Edit1->setText(QStringLiteral("Taxes"));
        QCOMPARE(MessagesSaying(QStringLiteral("disk full")), 1);
    }
};

QTEST_MAIN(DeskSettingsTest)
#include "desk_settings_test.moc"
