#include <functional>
#include <map>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "components/notice.h"
#include "components/qstatus.h"
#include "config/configuration.h"
#include "config/sequence_language.h"
#include "config/sequence_runner.h"
#include "windows/desk_scenario.h"

using sortwell::test::DeskFixture;
using namespace sortwell::test::scenario;

namespace {

// The stored desk, switched on, with a sequence that waits for the scanner's window.
std::map<std::string, std::string> ActiveDesk() {
    std::map<std::string, std::string> stored = StoredDesk();
    stored["active"] = "1";
    stored["columns"] = "2";
    stored["attach"] = "0";
    stored["sequence"] = "WAITWINDOW:Scan";
    return stored;
}

int CountOf(const char* className) {
    int count = 0;
    for (const QWidget* widget : QApplication::allWidgets()) {
        count += widget->inherits(className) ? 1 : 0;
    }
    return count;
}

bool ConfigurationDialogExists() {
    return CountOf("TForm3") > 0;
}

bool EditButtonDialogExists() {
    return CountOf("TForm2") > 0;
}

// Clicks "Show Configuration ..." and runs `whileOpen` on the dialog it shows; the callback
// closes it. False when no Configuration dialog came up.
bool WithConfigurationOpen(DeskFixture& desk, const std::function<void(TForm3*)>& whileOpen) {
    bool seen = false;
    QTimer::singleShot(0, desk.form1, [&] {
        auto* dialog = qobject_cast<TForm3*>(QApplication::activeModalWidget());
        seen = dialog != nullptr && dialog->isVisible();
        if (dialog != nullptr) {
            whileOpen(dialog);
        }
    });
    desk.form1->Button1->click();
    return seen;
}

// Answers the Edit Button dialog that the next click opens with `caption`, and notes the names
// it offered.
void AnswerNextEditDialog(QWidget* context, const QString& caption, QStringList& offered) {
    QTimer::singleShot(0, context, [caption, &offered] {
        auto* dialog = qobject_cast<TForm2*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        for (int row = 0; row < dialog->CheckListBox1->count(); ++row) {
            offered.append(dialog->CheckListBox1->item(row)->text());
        }
        dialog->Edit3->clear();
        dialog->Edit1->setText(caption);
        dialog->Edit2->setText(QStringLiteral("/archive/") + caption);
        dialog->Button1->click();
    });
}

}  // namespace

// The Configuration and Edit Button dialogs are made only when first needed; until then, and
// after, the desk, the runner, the grid and the tray behave as with the dialogs present.
class LazyDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(!ConfigurationDialogExists()); }

    void theStartMakesNoDialog() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        QVERIFY(!desk.configuration().dialogMade());
        QVERIFY(desk.form1->findChildren<QDialog*>().isEmpty());
        QVERIFY(!ConfigurationDialogExists());
        QVERIFY(!EditButtonDialogExists());
        QCOMPARE(CountOf("Notice"), 0);
    }

    void theRunnerRunsWithoutTheDialog() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        QVERIFY(desk.runner().isRunning());
        QVERIFY(desk.runner().NextTimer.isEnabled());
        QCOMPARE(desk.form1->trayImage(), 1);

        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().activity(), QStringLiteral("0: WAITWINDOW:Scan"));
        QCOMPARE(desk.form1->QStatus1->panelText(1), QStringLiteral("0: WAITWINDOW:Scan"));
        QCOMPARE(desk.runner().currentLine, 0);
        desk.windowSystem.open(0x70, 700, "Scan");
        emit desk.form1->Timer1.timeout();
        desk.runner().NextTimerTimer();
        QCOMPARE(desk.runner().currentLine, 1);
        QCOMPARE(desk.runner().windowList().Entries().size(), std::size_t{1});
        QVERIFY(!ConfigurationDialogExists());
    }

    void aStepProblemIsNotedWithoutTheDialog() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        desk.configuration().setSequenceText("WAITSECONDS:x");
        desk.runner().NextTimerTimer();
        QVERIFY(desk.runner().notice().isVisible());
        QVERIFY(desk.runner().notice().text().startsWith(QStringLiteral("0: WAITSECONDS:x")));
        QVERIFY(!ConfigurationDialogExists());
    }

    void theGridShowsTheStoredTargets() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        QVERIFY(TargetButton(desk, kDatedPattern) != nullptr);
        QVERIFY(TargetButton(desk, kTaggedPattern) != nullptr);
        QVERIFY(!desk.form1->GridHint->isVisibleTo(desk.form1));
        QVERIFY(!ConfigurationDialogExists());
    }

    void saveAndLoadRoundTripTheStoredValues() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        desk.form1->Save();
        QCOMPARE(desk.persisted("inputdir"), kScans);
        QCOMPARE(desk.persisted("columns"), std::string("2"));
        QCOMPARE(desk.persisted("attach"), std::string("0"));
        QCOMPARE(desk.persisted("caption1"), std::string("Tagged"));
        QCOMPARE(desk.persisted("folder0"), kDatedPattern.toStdString());
        QCOMPARE(desk.persisted("name1"), std::string("Ben"));
        QCOMPARE(desk.persisted("sequence"), std::string("WAITWINDOW:Scan"));

        desk.store.Push("caption1", "Receipts");
        desk.store.Push("name2", "Cleo");
        desk.store.SaveToRegistry();
        desk.form1->Load();
        QCOMPARE(desk.configuration().targetButtons().at(1).caption, std::string("Receipts"));
        QCOMPARE(desk.configuration().names(), (std::vector<std::string>{"Anna", "Ben", "Cleo"}));
        QVERIFY(!desk.configuration().attachOriginalName());
        QVERIFY(!ConfigurationDialogExists());
    }

    void heldSequenceReadsAsTheEditorGivesItBack() {
        const std::string typed = "TAB\rENTER\u2029TYPE:a\u00a0b\r\n";
        DeskFixture withDialog;
        withDialog.form3->setSequenceText(typed);
        DeskFixture withoutDialog;
        withoutDialog.configuration().setSequenceText(typed);
        QVERIFY(!withoutDialog.configuration().dialogMade());
        QCOMPARE(withoutDialog.configuration().sequenceText(), withDialog.form3->sequenceText());
    }

    void theTrayMenuWorksWithoutTheDialog() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        desk.form1->Disable1->trigger();
        QVERIFY(!desk.form1->CheckBox1->isChecked());
        QVERIFY(!desk.runner().isRunning());
        QVERIFY(!desk.runner().NextTimer.isEnabled());
        QCOMPARE(desk.form1->trayImage(), 0);
        QCOMPARE(desk.persisted("active"), std::string("0"));

        desk.form1->Enable1->trigger();
        QVERIFY(desk.runner().isRunning());
        QCOMPARE(desk.form1->trayImage(), 1);
        desk.form1->OpenDocumentFolder1->trigger();
        QCOMPARE(desk.openedFolders, QStringList({QString::fromStdString(kScans)}));
        QVERIFY(!ConfigurationDialogExists());
    }

    void theConfigureButtonMakesTheDialogFromTheStoredValues() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        QString folderShown;
        QString columnsShown;
        bool attachShown = true;
        int rowsShown = 0;
        const bool opened = WithConfigurationOpen(desk, [&](TForm3* dialog) {
            folderShown = dialog->Edit4->text();
            columnsShown = dialog->Edit1->text();
            attachShown = dialog->CheckBox1->isChecked();
            rowsShown = dialog->ListView1->topLevelItemCount();
            dialog->Button19->click();
        });
        QVERIFY(opened);
        QCOMPARE(folderShown, QString::fromStdString(kScans));
        QCOMPARE(columnsShown, QStringLiteral("2"));
        QVERIFY(!attachShown);
        QCOMPARE(rowsShown, 2);
        QVERIFY(desk.configuration().dialogMade());
        QCOMPARE(desk.form1->findChildren<TForm3*>().size(), 1);
        QVERIFY(!EditButtonDialogExists());
    }

    void aDialogMadeDuringARunShowsTheRunner() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        desk.windowSystem.open(0x71, 710, "Scanner Utility");
        desk.runner().refreshWindowList();
        desk.runner().NextTimerTimer();

        TForm3* dialog = desk.form3;
        QVERIFY(!dialog->Button11->isEnabled());
        QVERIFY(dialog->Button13->isEnabled());
        QCOMPARE(dialog->Label12->text(), QStringLiteral("0: WAITWINDOW:Scan"));
        QCOMPARE(dialog->ListBox1->count(), 1);
        QCOMPARE(dialog->ListBox1->item(0)->text(), QStringLiteral("Scanner Utility"));

        desk.form1->Disable1->trigger();
        QVERIFY(dialog->Button11->isEnabled());
        QVERIFY(!dialog->Button13->isEnabled());
        QCOMPARE(dialog->Label12->text(), QStringLiteral("n/a"));
        dialog->Button11->click();
        QVERIFY(desk.runner().isRunning());
        dialog->Button13->click();
        QVERIFY(!desk.runner().isRunning());
        QVERIFY(!desk.form1->CheckBox1->isChecked());
    }

    void cancellingLeavesTheStoredValues() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        const bool opened = WithConfigurationOpen(desk, [](TForm3* dialog) {
            dialog->Edit4->setText(QStringLiteral("/elsewhere"));
            dialog->Edit1->setText(QStringLiteral("4"));
            delete dialog->ListView1->topLevelItem(0);
            dialog->Button19->click();
        });
        QVERIFY(opened);
        QCOMPARE(desk.configuration().inputFolder(), QString::fromStdString(kScans));
        QCOMPARE(desk.configuration().columnsText(), QStringLiteral("2"));
        QCOMPARE(desk.configuration().targetButtons().size(), std::size_t{2});
        QCOMPARE(desk.persisted("inputdir"), kScans);
        QVERIFY(desk.runner().isRunning());
        QVERIFY(TargetButton(desk, kDatedPattern) != nullptr);
    }

    void applyingStoresTheEditsAndTheDeskKeepsThem() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        const bool opened = WithConfigurationOpen(desk, [](TForm3* dialog) {
            dialog->Edit1->setText(QStringLiteral("1"));
            dialog->CheckBox1->setChecked(true);
            dialog->Memo1->setPlainText(QStringLiteral("ENTER\nHANDLEDOCUMENT"));
            dialog->Button1->click();
        });
        QVERIFY(opened);
        QCOMPARE(desk.persisted("columns"), std::string("1"));
        QCOMPARE(desk.persisted("attach"), std::string("1"));
        QCOMPARE(desk.configuration().sequenceText(), std::string("ENTER\r\nHANDLEDOCUMENT"));

        desk.form1->Load();
        QCOMPARE(desk.configuration().columnsText(), QStringLiteral("1"));
        QVERIFY(desk.configuration().attachOriginalName());
        QCOMPARE(desk.configuration().sequenceText(), std::string("ENTER\r\nHANDLEDOCUMENT"));
        QVERIFY(desk.keyboard.sent.empty());
        desk.runner().Run();
        desk.runner().NextTimerTimer();
        QVERIFY(!desk.keyboard.sent.empty());
    }

    void anUnsavedEditIsWhatTheDeskReads() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        QString folderRead;
        bool attachRead = false;
        bool gridHintShown = false;
        bool keysSent = false;
        const bool opened = WithConfigurationOpen(desk, [&](TForm3* dialog) {
            dialog->Edit4->setText(QString());
            dialog->CheckBox1->setChecked(true);
            dialog->Memo1->setPlainText(QStringLiteral("TAB"));
            folderRead = desk.configuration().inputFolder();
            attachRead = desk.configuration().attachOriginalName();
            desk.form1->RefreshButtons();
            gridHintShown = desk.form1->GridHint->isVisibleTo(desk.form1);
            desk.runner().currentLine = 0;
            desk.runner().NextTimerTimer();
            keysSent = !desk.keyboard.sent.empty();
            dialog->Button19->click();
        });
        QVERIFY(opened);
        QVERIFY(folderRead.isEmpty());
        QVERIFY(attachRead);
        QVERIFY(gridHintShown);
        QVERIFY(keysSent);
        // Closing without Ok brought the stored values back.
        QCOMPARE(desk.configuration().inputFolder(), QString::fromStdString(kScans));
        QVERIFY(!desk.configuration().attachOriginalName());
    }

    void theEditButtonDialogIsMadeAtTheFirstEdit() {
        DeskFixture desk(ActiveDesk());
        StartDesk(desk);
        TForm3* dialog = desk.form3;
        QVERIFY(!EditButtonDialogExists());
        // A name typed but not applied is not offered, as the list is the one last loaded.
        dialog->ListBox4->addItem(QStringLiteral("Unsaved"));
        QStringList offered;
        AnswerNextEditDialog(desk.form1, QStringLiteral("Letters"), offered);
        dialog->Button8->click();
        QVERIFY(EditButtonDialogExists());
        QCOMPARE(offered, QStringList({"Anna", "Ben"}));
        QCOMPARE(dialog->ListView1->topLevelItemCount(), 3);
        QCOMPARE(dialog->ListView1->topLevelItem(2)->text(1), QStringLiteral("Letters"));
        QCOMPARE(desk.form2->parentWidget(), desk.form1);
    }
};

QTEST_MAIN(LazyDialogsTest)
#include "lazy_dialogs_test.moc"
