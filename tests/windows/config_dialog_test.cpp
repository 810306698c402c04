#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "components/file_dialog.h"
#include "config/sequence_language.h"
#include "windows/desk_fixture.h"

using sortwell::test::DeskFixture;
using Stored = std::map<std::string, std::string>;

namespace {

constexpr int kGeneralTab = 3;
constexpr int kNamesTab = 2;
constexpr int kButtonsTab = 1;

Stored ThreeButtons() {
    Stored stored;
    const std::vector<std::string> captions{"Alpha", "Beta", "Gamma"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const std::string n = std::to_string(i);
        stored["icon" + n] = "/icons/" + n + ".ico";
        stored["caption" + n] = captions[i];
        stored["folder" + n] = "/archive/" + captions[i] + "/%YEAR";
        stored["hide" + n] = "";
    }
    return stored;
}

Stored ThreeNames() {
    return {{"name0", "Anna"}, {"name1", "Ben"}, {"name2", "Carl"}};
}

Stored Merged(Stored a, const Stored& b) {
    a.insert(b.begin(), b.end());
    return a;
}

QStringList Captions(const TForm3* form) {
    QStringList captions;
    for (const sortwell::desk::TargetButton& button : form->targetButtons()) {
        captions.append(QString::fromStdString(button.caption));
    }
    return captions;
}

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) {
        items.append(list->item(row)->text());
    }
    return items;
}

QStringList SequenceLines(const TForm3* form) {
    return form->Memo1->toPlainText().split(QLatin1Char('\n'));
}

// Fills the Edit Button dialog that the next click opens and closes it with Ok or Cancel.
void AnswerEditDialog(TForm2* dialog, const QString& caption, const QString& folder, bool confirm) {
    QTimer::singleShot(0, dialog, [=] {
        dialog->Edit3->clear();
        dialog->Edit1->setText(caption);
        dialog->Edit2->setText(folder);
        (confirm ? dialog->Button1 : dialog->Button2)->click();
    });
}

struct DialogSeen {
    bool checked = false;
    bool opened = false;
};

// Calls `open` and notes whether it showed the Edit Button dialog, closing it if it did.
template <typename Open>
DialogSeen WatchEditDialog(TForm2* dialog, Open open) {
    auto seen = std::make_shared<DialogSeen>();
    QTimer::singleShot(0, dialog, [dialog, seen] {
        seen->checked = true;
        seen->opened = dialog->isVisible();
        if (seen->opened) {
            dialog->Button2->click();
        }
    });
    open();
    const bool checked = QTest::qWaitFor([&seen] { return seen->checked; }, 5000);
    return {checked, seen->opened};
}

void ShowDialog(DeskFixture& desk, int tab) {
    desk.form3->show();
    desk.form3->PageControl1->setCurrentIndex(tab);
}

// A push button's text with the style's margin and frame around it; the style's preferred
// width, which has a floor of its own, may be more.
int TextWidthWithFrame(const QPushButton* button) {
    const QStyle* style = button->style();
    QString text = button->text();
    text.remove(QLatin1Char('&'));
    return button->fontMetrics().horizontalAdvance(text) +
           style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
}

// The shown buttons, check boxes and labels of `widget` that got less room than their text
// needs, each as "text: got W x H, needs W x H". A wrapping label needs the height of its lines
// at the width it got.
QStringList Squeezed(QWidget* widget) {
    QStringList squeezed;
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        if (!child->isVisible()) {
            continue;
        }
        QSize needed;
        QString text;
        if (const auto* label = qobject_cast<QLabel*>(child)) {
            text = label->text();
            needed = label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                                       : label->sizeHint();
        } else if (const auto* button = qobject_cast<QPushButton*>(child)) {
            text = button->text();
            needed = QSize(TextWidthWithFrame(button), button->sizeHint().height());
        } else if (const auto* box = qobject_cast<QCheckBox*>(child)) {
            text = box->text();
            needed = box->sizeHint();
        }
        if (text.isEmpty() || !child->window()->isVisible()) {
            continue;
        }
        if (child->width() < needed.width() || child->height() < needed.height()) {
            squeezed.append(QStringLiteral("%1: got %2 x %3, needs %4 x %5")
                                .arg(text)
                                .arg(child->width())
                                .arg(child->height())
                                .arg(needed.width())
                                .arg(needed.height()));
        }
    }
    return squeezed;
}

// An installed copy: the program's folder cannot be written, the user's configuration lies in
// `config`.
void InstallIntoSystemFolder(DeskFixture& desk, const QString& config) {
    desk.host.program.path = "/usr/bin/sortwell";
    desk.host.program.folderWritable = false;
    desk.host.shellFolders.folders["AppData"] = config.toStdString();
}

}  // namespace

class ConfigDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FileDialog::clear(); }

    // Closing.

    void cancelReloadsTheStoredInputFolderAndResumesTheTimer() {
        DeskFixture desk(Stored{{"inputdir", "/scans"}});
        desk.start();
        desk.form1->Timer1.setEnabled(false);
        desk.form3->show();
        desk.form3->Edit4->setText(QStringLiteral("/somewhere/else"));
        desk.form3->Button19Click();
        QVERIFY(!desk.form3->isVisible());
        QCOMPARE(desk.form3->Edit4->text(), QStringLiteral("/scans"));
        QVERIFY(desk.form1->Timer1.isEnabled());
        QCOMPARE(desk.persisted("inputdir"), std::string("/scans"));
    }

    void cancelAfterAnEarlierOkStillReloads() {
        DeskFixture desk(Stored{{"inputdir", "/scans"}});
        desk.start();
        desk.form3->show();
        desk.form3->Button1Click();
        QVERIFY(!desk.form3->reloadOnClose);
        desk.form1->Timer1.setEnabled(false);
        desk.form3->show();
        QVERIFY(desk.form3->reloadOnClose);
        desk.form3->Edit4->setText(QStringLiteral("/somewhere/else"));
        desk.form3->Button19Click();
        QCOMPARE(desk.form3->Edit4->text(), QStringLiteral("/scans"));
        QVERIFY(desk.form1->Timer1.isEnabled());
    }

    void escapeAndTheCloseBoxReloadLikeCancel() {
        for (const bool escape : {true, false}) {
            DeskFixture desk(Stored{{"inputdir", "/scans"}, {"columns", "4"}});
            desk.start();
            desk.form1->Timer1.setEnabled(false);
            desk.form3->show();
            desk.form3->Edit1->setText(QStringLiteral("7"));
            escape ? QTest::keyClick(desk.form3, Qt::Key_Escape) : void(desk.form3->close());
            QVERIFY(!desk.form3->isVisible());
            QCOMPARE(desk.form3->Edit1->text(), QStringLiteral("4"));
            QVERIFY(desk.form1->Timer1.isEnabled());
        }
    }

    void applyThenCancelKeepsTheAppliedValues() {
        DeskFixture desk(Stored{{"inputdir", "/scans"}});
        desk.start();
        desk.form3->show();
        desk.form3->Edit4->setText(QStringLiteral("/applied"));
        desk.form3->Edit1->setText(QStringLiteral("5"));
        desk.form3->Button20Click();
        QVERIFY(desk.form3->isVisible());
        desk.form3->Edit4->setText(QStringLiteral("/not/applied"));
        desk.form3->Button19Click();
        QCOMPARE(desk.form3->Edit4->text(), QStringLiteral("/applied"));
        QCOMPARE(desk.form3->Edit1->text(), QStringLiteral("5"));
        QCOMPARE(desk.persisted("inputdir"), std::string("/applied"));
        QCOMPARE(desk.persisted("columns"), std::string("5"));
    }

    void okSavesAndKeepsTheEdits() {
        DeskFixture desk(Stored{{"inputdir", "/scans"}});
        desk.start();
        desk.form3->show();
        QVERIFY(desk.form3->reloadOnClose);
        desk.form3->Edit4->setText(QStringLiteral("/kept"));
        desk.form3->Edit1->setText(QStringLiteral("4"));
        desk.form3->Button1Click();
        QVERIFY(!desk.form3->isVisible());
        QCOMPARE(desk.form3->Edit4->text(), QStringLiteral("/kept"));
        QCOMPARE(desk.form3->Edit1->text(), QStringLiteral("4"));
        QCOMPARE(desk.persisted("inputdir"), std::string("/kept"));
        QCOMPARE(desk.persisted("columns"), std::string("4"));
    }

    // Buttons tab.

    void newRowIsGoneAfterCancellingTheDialog() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        ShowDialog(desk, kButtonsTab);
        AnswerEditDialog(desk.form2, QStringLiteral("Delta"), QStringLiteral("/d"), true);
        desk.form3->Button8Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma", "Delta"}));
        QCOMPARE(desk.form3->ListView1->topLevelItem(3)->text(2), QStringLiteral("/d"));
        desk.form3->Button19Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
        QCOMPARE(desk.persisted("caption3"), std::string());
    }

    void newWithTheEditDialogCancelledAddsNothing() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        ShowDialog(desk, kButtonsTab);
        AnswerEditDialog(desk.form2, QStringLiteral("Delta"), QStringLiteral("/d"), false);
        desk.form3->Button8Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
    }

    void editReplacesTheSelectedRow() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        ShowDialog(desk, kButtonsTab);
        desk.form3->ListView1->setCurrentItem(desk.form3->ListView1->topLevelItem(1));
        AnswerEditDialog(desk.form2, QStringLiteral("Bravo"), QStringLiteral("/b"), true);
        desk.form3->Button16Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Bravo", "Gamma"}));
        QCOMPARE(desk.form3->ListView1->topLevelItem(1)->text(2), QStringLiteral("/b"));
    }

    void upAndDownAtTheEndsChangeNothing() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        QTreeWidget* list = desk.form3->ListView1;
        list->setCurrentItem(list->topLevelItem(0));
        desk.form3->Button17Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
        QCOMPARE(list->currentItem()->text(1), QStringLiteral("Alpha"));
        list->setCurrentItem(list->topLevelItem(2));
        desk.form3->Button18Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
        QCOMPARE(list->currentItem()->text(1), QStringLiteral("Gamma"));
    }

    void upAndDownInTheMiddleSwapAndKeepTheSelection() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        QTreeWidget* list = desk.form3->ListView1;
        list->setCurrentItem(list->topLevelItem(1));
        desk.form3->Button17Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Beta", "Alpha", "Gamma"}));
        QCOMPARE(list->currentItem()->text(1), QStringLiteral("Beta"));
        QVERIFY(list->currentItem()->isSelected());
        list->setCurrentItem(list->topLevelItem(1));
        desk.form3->Button18Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Beta", "Gamma", "Alpha"}));
        QCOMPARE(list->currentItem()->text(1), QStringLiteral("Alpha"));
        QVERIFY(list->currentItem()->isSelected());
        QCOMPARE(list->selectedItems().size(), 1);
    }

    void rowButtonsActOnlyOnASelectedRow() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        ShowDialog(desk, kButtonsTab);
        QTreeWidget* list = desk.form3->ListView1;
        // A current row that is not selected counts as no selection.
        list->setCurrentItem(list->topLevelItem(1));
        list->clearSelection();
        desk.form3->Button15Click();
        desk.form3->Button17Click();
        desk.form3->Button18Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
        for (const DialogSeen& seen :
             {WatchEditDialog(desk.form2, [&] { desk.form3->Button16Click(); }),
              WatchEditDialog(desk.form2, [&] { desk.form3->ListView1DblClick(); })}) {
            QVERIFY(seen.checked);
            QVERIFY(!seen.opened);
        }
        list->setCurrentItem(nullptr);
        desk.form3->Button15Click();
        const DialogSeen seen = WatchEditDialog(desk.form2, [&] { desk.form3->Button16Click(); });
        QVERIFY(seen.checked);
        QVERIFY(!seen.opened);
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
        list->setCurrentItem(list->topLevelItem(1));
        desk.form3->Button15Click();
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Gamma"}));
    }

    void deleteLeavesNoRowSelectedSoASecondDeleteRemovesNothing() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        ShowDialog(desk, kButtonsTab);
        QTreeWidget* list = desk.form3->ListView1;
        list->setCurrentItem(list->topLevelItem(0));
        desk.form3->Button15->click();
        QCOMPARE(Captions(desk.form3), QStringList({"Beta", "Gamma"}));
        QVERIFY(list->selectedItems().isEmpty());
        desk.form3->Button15->click();
        QCOMPARE(Captions(desk.form3), QStringList({"Beta", "Gamma"}));
    }

    void doubleClickOnASelectedRowOpensTheEditDialog() {
        DeskFixture desk(ThreeButtons());
        desk.start();
        desk.form3->ListView1->setCurrentItem(desk.form3->ListView1->topLevelItem(2));
        const DialogSeen seen =
            WatchEditDialog(desk.form2, [&] { desk.form3->ListView1DblClick(); });
        QVERIFY(seen.opened);
        QCOMPARE(desk.form2->Edit1->text(), QStringLiteral("Gamma"));
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
    }

    // Names tab.

    void addAppendsTheNameEvenTwiceAndClearsTheField() {
        DeskFixture desk(ThreeNames());
        desk.start();
        ShowDialog(desk, kNamesTab);
        desk.form3->ListBox4->setFocus();
        desk.form3->Edit5->setText(QStringLiteral("Dora"));
        desk.form3->Button23Click();
        QCOMPARE(Items(desk.form3->ListBox4), QStringList({"Anna", "Ben", "Carl", "Dora"}));
        QVERIFY(desk.form3->Edit5->text().isEmpty());
        QCOMPARE(desk.form3->focusWidget(), desk.form3->Edit5);
        desk.form3->Edit5->setText(QStringLiteral("Dora"));
        desk.form3->Button23Click();
        QCOMPARE(Items(desk.form3->ListBox4), QStringList({"Anna", "Ben", "Carl", "Dora", "Dora"}));
    }

    void anEmptyNameIsRefusedWithAMessage() {
        DeskFixture desk(ThreeNames());
        desk.start();
        desk.form3->Edit5->clear();
        MessageBox::clearShown();
        desk.form3->Button23Click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text, QStringLiteral("A name cannot be empty."));
        QCOMPARE(Items(desk.form3->ListBox4), QStringList({"Anna", "Ben", "Carl"}));
        desk.form3->ListBox4->setCurrentRow(1);
        desk.form3->Button24Click();
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(Items(desk.form3->ListBox4), QStringList({"Anna", "Ben", "Carl"}));
    }

    void modifyAndDeleteActOnlyOnTheSelectedName() {
        DeskFixture desk(ThreeNames());
        desk.start();
        QListWidget* list = desk.form3->ListBox4;
        list->setCurrentRow(1);
        desk.form3->Edit5->setText(QStringLiteral("Berta"));
        desk.form3->Button24Click();
        QCOMPARE(Items(list), QStringList({"Anna", "Berta", "Carl"}));
        list->clearSelection();
        desk.form3->Edit5->setText(QStringLiteral("Zoe"));
        desk.form3->Button24Click();
        desk.form3->Button25Click();
        QCOMPARE(Items(list), QStringList({"Anna", "Berta", "Carl"}));
        list->setCurrentRow(2);
        desk.form3->Button25Click();
        QCOMPARE(Items(list), QStringList({"Anna", "Berta"}));
    }

    void namesMoveUpAndDownButNotPastTheEnds() {
        DeskFixture desk(ThreeNames());
        desk.start();
        QListWidget* list = desk.form3->ListBox4;
        list->setCurrentRow(0);
        desk.form3->Button26Click();
        list->setCurrentRow(2);
        desk.form3->Button27Click();
        QCOMPARE(Items(list), QStringList({"Anna", "Ben", "Carl"}));
        list->setCurrentRow(1);
        desk.form3->Button27Click();
        QCOMPARE(Items(list), QStringList({"Anna", "Carl", "Ben"}));
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Ben"));
        QVERIFY(list->currentItem()->isSelected());
        desk.form3->Button26Click();
        desk.form3->Button26Click();
        QCOMPARE(Items(list), QStringList({"Ben", "Anna", "Carl"}));
        QCOMPARE(list->currentRow(), 0);
    }

    void deleteLeavesNoNameSelectedSoASecondDeleteRemovesNothing() {
        DeskFixture desk(ThreeNames());
        desk.start();
        ShowDialog(desk, kNamesTab);
        QListWidget* list = desk.form3->ListBox4;
        list->setCurrentRow(1);
        desk.form3->Button25->click();
        QCOMPARE(Items(list), QStringList({"Anna", "Carl"}));
        QVERIFY(list->selectedItems().isEmpty());
        desk.form3->Button25->click();
        QCOMPARE(Items(list), QStringList({"Anna", "Carl"}));
    }

    void enterInTheNameFieldAddsTheNameAndKeepsTheDialogOpen() {
        DeskFixture desk(ThreeNames());
        desk.start();
        ShowDialog(desk, kNamesTab);
        QVERIFY(QTest::qWaitForWindowActive(desk.form3));
        desk.form3->Edit5->setFocus();
        QTest::keyClicks(desk.form3->Edit5, QStringLiteral("Dora"));
        QTest::keyClick(desk.form3->Edit5, Qt::Key_Return);
        QTest::keyClicks(desk.form3->Edit5, QStringLiteral("Emil"));
        QTest::keyClick(desk.form3->Edit5, Qt::Key_Enter);
        QVERIFY(desk.form3->isVisible());
        QCOMPARE(Items(desk.form3->ListBox4), QStringList({"Anna", "Ben", "Carl", "Dora", "Emil"}));
        QVERIFY(desk.form3->Edit5->text().isEmpty());
        QCOMPARE(desk.form3->focusWidget(), desk.form3->Edit5);
        // Nothing was saved, as "&Ok" would have done.
        QCOMPARE(desk.persisted("name3"), std::string());
    }

    void aClickOnEmptySpaceInTheListFocusesTheNameField() {
        DeskFixture desk(ThreeNames());
        desk.start();
        ShowDialog(desk, kNamesTab);
        QVERIFY(QTest::qWaitForWindowActive(desk.form3));
        QListWidget* list = desk.form3->ListBox4;
        desk.form3->Edit5->setText(QStringLiteral("typed"));
        list->setFocus();
        const QRect last = list->visualItemRect(list->item(2));
        const QPoint belowTheNames(last.center().x(), last.bottom() + 3 * last.height());
        QVERIFY(list->viewport()->rect().contains(belowTheNames));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, belowTheNames);
        QCOMPARE(desk.form3->focusWidget(), desk.form3->Edit5);
        QCOMPARE(desk.form3->Edit5->text(), QStringLiteral("typed"));
    }

    void aClickInTheListCopiesTheNameIntoTheField() {
        DeskFixture desk(ThreeNames());
        desk.start();
        ShowDialog(desk, kNamesTab);
        QVERIFY(QTest::qWaitForWindowExposed(desk.form3));
        QListWidget* list = desk.form3->ListBox4;
        const QPoint onBen = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onBen);
        QCOMPARE(desk.form3->Edit5->text(), QStringLiteral("Ben"));
        QCOMPARE(desk.form3->Edit5->selectedText(), QStringLiteral("Ben"));
        QCOMPARE(desk.form3->focusWidget(), desk.form3->Edit5);
    }

    // General tab.

    void browseStartsAtTheStoredFolderAndACancelKeepsTheField() {
        QTemporaryDir stored;
        QTemporaryDir chosen;
        DeskFixture desk(Stored{{"inputdir", stored.path().toStdString()}});
        desk.start();
        desk.form3->show();
        desk.form3->Edit4->setText(QStringLiteral("/typed/by/hand"));
        FileDialog::setNextChoice(chosen.path() + QLatin1Char('/'));
        desk.form3->Button22Click();
        QCOMPARE(FileDialog::requests().size(), 1);
        QCOMPARE(FileDialog::requests().last().startFolder, stored.path());
        QCOMPARE(FileDialog::requests().last().title,
                 QStringLiteral("Choose a folder for doument detection"));
        QCOMPARE(desk.form3->Edit4->text(), chosen.path());
        desk.form3->Edit4->setText(QStringLiteral("/typed/again"));
        FileDialog::setNextChoice(QString());
        desk.form3->Button22Click();
        QCOMPARE(FileDialog::requests().size(), 2);
        QCOMPARE(desk.form3->Edit4->text(), QStringLiteral("/typed/again"));
    }

    void theInputFolderNoteSaysWhyTheFolderCannotBeUsed() {
        DeskFixture desk(Stored{{"inputdir", "/scans"}});
        desk.setInputFolder("/scans", {});
        desk.files.folders.insert("/locked");
        desk.start();
        ShowDialog(desk, kGeneralTab);
        QLabel* note = desk.form3->InputFolderNote;
        QCOMPARE(note->text(), QString());
        desk.form3->Edit4->setText(QStringLiteral("/x"));
        QCOMPARE(note->text(), QStringLiteral("There is no folder /x."));
        desk.form3->Edit4->setText(QStringLiteral("/locked"));
        QCOMPARE(note->text(),
                 QStringLiteral("The folder /locked cannot be read: no folder /locked"));
        desk.form3->Edit4->clear();
        QCOMPARE(note->text(),
                 QStringLiteral("No input folder is set: new scans cannot be found."));
        QVERIFY(note->wordWrap());
        QVERIFY(note->textInteractionFlags() & Qt::TextSelectableByMouse);
        // The user may still save a folder that is not there yet.
        desk.form3->Edit4->setText(QStringLiteral("/x"));
        desk.form3->Button20Click();
        QCOMPARE(desk.persisted("inputdir"), std::string("/x"));
    }

    void theInputFolderIsCheckedWhenTheTabIsShown() {
        DeskFixture desk(Stored{{"inputdir", "/gone"}});
        desk.start();
        ShowDialog(desk, kNamesTab);
        desk.form3->PageControl1->setCurrentIndex(kGeneralTab);
        QCOMPARE(desk.form3->InputFolderNote->text(), QStringLiteral("There is no folder /gone."));
    }

    void theExchangeFolderNoteNamesTheFolderInUse() {
        DeskFixture desk;
        desk.host.program.path = "/home/anna/sortwell/sortwell";
        desk.host.shellFolders.folders["AppData"] = "/home/anna/.config";
        desk.start();
        ShowDialog(desk, kGeneralTab);
        QLabel* note = desk.form3->ExchangeFolderNote;
        QCOMPARE(note->text(),
                 QStringLiteral("The file is QSortwell.ini in /home/anna/sortwell/."));
        desk.form3->hide();
        InstallIntoSystemFolder(desk, QStringLiteral("/home/anna/.config"));
        desk.form3->show();
        QCOMPARE(note->text(),
                 QStringLiteral("The file is QSortwell.ini in /home/anna/.config/tessaryn/."));
        QVERIFY(note->wordWrap());
        QVERIFY(note->textInteractionFlags() & Qt::TextSelectableByMouse);
    }

    void anInstalledCopyExportsToAndImportsFromThePerUserFolder() {
        QTemporaryDir config;
        DeskFixture desk(Stored{{"inputdir", "/scans"}, {"columns", "4"}});
        InstallIntoSystemFolder(desk, config.path());
        desk.start();
        MessageBox::clearShown();
        desk.form3->Button29Click();
        const QString file = config.filePath(QStringLiteral("tessaryn/QSortwell.ini"));
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().kind, MessageBox::Kind::Information);
        QVERIFY(MessageBox::shown().first().text.contains(file));

        desk.form3->Edit1->setText(QStringLiteral("7"));
        desk.form3->Button20Click();
        QCOMPARE(desk.persisted("columns"), std::string("7"));
        desk.form3->Button30Click();
        QCOMPARE(desk.persisted("columns"), std::string("4"));
        QCOMPARE(desk.form3->Edit1->text(), QStringLiteral("4"));
    }

    void anInstalledCopyWithoutAHomeFolderExportsNothingAndSaysSo() {
        DeskFixture desk(Stored{{"columns", "4"}});
        InstallIntoSystemFolder(desk, QString());
        desk.host.shellFolders.folders.clear();
        desk.start();
        desk.form3->Edit1->setText(QStringLiteral("6"));
        MessageBox::clearShown();
        desk.form3->Button29Click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().kind, MessageBox::Kind::Warning);
        QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("no home folder")));
        QCOMPARE(desk.persisted("columns"), std::string("6"));
        MessageBox::clearShown();
        desk.form3->Button30Click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("Nothing was imported")));
        QCOMPARE(desk.persisted("columns"), std::string("6"));
    }

    void importWithoutAFileChangesNothingAndSaysSo() {
        QTemporaryDir program;
        DeskFixture desk(Merged(ThreeButtons(), {{"inputdir", "/scans"}, {"columns", "4"}}));
        desk.host.program.path = (program.path() + QStringLiteral("/sortwell")).toStdString();
        desk.start();
        desk.form3->show();
        desk.form3->Edit4->setText(QStringLiteral("/unapplied"));
        desk.form3->Edit1->setText(QStringLiteral("6"));
        const auto before = desk.host.settings.keys;
        MessageBox::clearShown();
        desk.form3->Button30Click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("QSortwell.ini")));
        QVERIFY(desk.host.settings.keys == before);
        QCOMPARE(desk.persisted("inputdir"), std::string("/scans"));
        QCOMPARE(desk.form3->Edit4->text(), QStringLiteral("/unapplied"));
        QCOMPARE(desk.form3->Edit1->text(), QStringLiteral("6"));
        QCOMPARE(Captions(desk.form3), QStringList({"Alpha", "Beta", "Gamma"}));
        QCOMPARE(desk.store.Pop("columns"), std::string("4"));
    }

    void exportThenImportBringsEverySettingBack() {
        QTemporaryDir program;
        DeskFixture desk;
        desk.host.program.path = (program.path() + QStringLiteral("/sortwell")).toStdString();
        desk.start();
        TForm3* form = desk.form3;
        const std::vector<sortwell::desk::TargetButton> buttons{
            {"/icons/a.ico", "Invoices", "/archive/%YEAR/%TAG", "Ben,Carl"},
            {"/icons/b.ico", "Letters", "/letters/%NAME", ""}};
        form->setTargetButtons(buttons);
        for (const char* name : {"Anna", "Ben", "Carl"}) {
            form->Edit5->setText(QString::fromLatin1(name));
            form->Button23Click();
        }
        form->setSequenceText("WAITWINDOW:Scan\r\nTAB\r\nTYPE:a b\r\nHANDLEDOCUMENT");
        form->Edit4->setText(QStringLiteral("/scans/in"));
        form->Edit1->setText(QStringLiteral("5"));
        form->CheckBox1->setChecked(false);
        form->CheckBox2->setChecked(false);
        MessageBox::clearShown();
        form->Button29Click();
        QVERIFY(QFileInfo::exists(program.filePath(QStringLiteral("QSortwell.ini"))));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().kind, MessageBox::Kind::Information);

        const std::vector<std::string> keys{"sequence",  "inputdir", "columns",  "attach",
                                            "autostart", "icon0",    "caption0", "folder0",
                                            "hide0",     "icon1",    "caption1", "folder1",
                                            "hide1",     "name0",    "name1",    "name2"};
        std::map<std::string, std::string> exported;
        for (const std::string& key : keys) {
            exported[key] = desk.persisted(key);
        }
        QCOMPARE(exported["hide0"], std::string("Ben,Carl"));

        form->Button21Click();
        form->ListView1->setCurrentItem(form->ListView1->topLevelItem(1));
        form->Button15Click();
        form->ListBox4->setCurrentRow(0);
        form->Button25Click();
        form->Edit4->setText(QStringLiteral("/other"));
        form->Button20Click();
        QCOMPARE(desk.persisted("caption1"), std::string());
        QCOMPARE(desk.persisted("columns"), std::string("3"));
        QCOMPARE(desk.persisted("name0"), std::string("Ben"));

        form->Button30Click();
        QVERIFY(form->targetButtons() == buttons);
        QCOMPARE(Items(form->ListBox4), QStringList({"Anna", "Ben", "Carl"}));
        QCOMPARE(form->sequenceText(),
                 std::string("WAITWINDOW:Scan\r\nTAB\r\nTYPE:a b\r\nHANDLEDOCUMENT"));
        QCOMPARE(form->Edit4->text(), QStringLiteral("/scans/in"));
        QCOMPARE(form->Edit1->text(), QStringLiteral("5"));
        QVERIFY(!form->CheckBox1->isChecked());
        QVERIFY(!form->CheckBox2->isChecked());
        // The imported choice holds for the desktop session too, not only in the field.
        QVERIFY(!desk.host.autostart.isEnabled("Tessaryn Sortwell"));
        for (const std::string& key : keys) {
            QCOMPARE(desk.persisted(key), exported[key]);
        }
    }

    void anExportThatCannotBeWrittenIsReported_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("missing folder") << QStringLiteral("missing/bin");
        QTest::newRow("a file in the folder's place") << QStringLiteral("blocker");
    }

    void anExportThatCannotBeWrittenIsReported() {
        QFETCH(QString, folder);
        QTemporaryDir root;
        QFile blocker(root.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        DeskFixture desk;
        desk.host.program.path = root.filePath(folder + QStringLiteral("/sortwell")).toStdString();
        desk.start();
        desk.form3->Edit4->setText(QStringLiteral("/exported/anyway"));
        MessageBox::clearShown();
        desk.form3->Button29Click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().kind, MessageBox::Kind::Warning);
        QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("not exported")));
        QVERIFY(!QFileInfo::exists(root.filePath(folder + QStringLiteral("/QSortwell.ini"))));
        // The settings themselves were saved before the file was tried.
        QCOMPARE(desk.persisted("inputdir"), std::string("/exported/anyway"));
    }

    void loadDefaultsResetsTheGeneralValuesAndKeepsButtonsAndNames() {
        DeskFixture desk(Merged(ThreeButtons(), Merged(ThreeNames(), {{"inputdir", "/scans"}})));
        desk.start();
        TForm3* form = desk.form3;
        form->setSequenceText("TAB");
        form->Edit1->setText(QStringLiteral("5"));
        form->CheckBox1->setChecked(false);
        form->CheckBox2->setChecked(false);
        form->Button20Click();
        QCOMPARE(desk.persisted("columns"), std::string("5"));
        form->Button21Click();
        QCOMPARE(form->sequenceText(), sortwell::config::DefaultSequence());
        QCOMPARE(form->Edit1->text(), QStringLiteral("3"));
        QVERIFY(form->CheckBox1->isChecked());
        QVERIFY(form->CheckBox2->isChecked());
        QCOMPARE(desk.persisted("columns"), std::string("3"));
        QCOMPARE(Captions(form), QStringList({"Alpha", "Beta", "Gamma"}));
        QCOMPARE(Items(form->ListBox4), QStringList({"Anna", "Ben", "Carl"}));
        QCOMPARE(form->Edit4->text(), QStringLiteral("/scans"));
    }

    // Detection && Action tab.

    void editingButtonsAppendTheirLinesAtTheEnd() {
        DeskFixture desk;
        desk.start();
        TForm3* form = desk.form3;
        form->Edit3->setText(QStringLiteral("hello world"));
        form->Edit2->setText(QStringLiteral("05"));
        for (QPushButton* button : {form->Button3, form->Button4, form->Button6, form->Button5,
                                    form->Button9, form->Button12, form->Button28}) {
            button->click();
        }
        QCOMPARE(SequenceLines(form),
                 QStringList({"TAB", "ENTER", "SPACE", "ESC", "TYPE:hello world", "WAITSECONDS:5",
                              "HANDLEDOCUMENT"}));
        form->setSequenceText("FIRST\r\nSECOND\r\n");
        form->Button3->click();
        QCOMPARE(SequenceLines(form), QStringList({"FIRST", "SECOND", "TAB"}));
    }

    void waitSecondsRefusesAFieldThatIsNoInteger() {
        DeskFixture desk;
        desk.start();
        desk.form3->setSequenceText("TAB");
        desk.form3->Edit2->setText(QStringLiteral("x"));
        MessageBox::clearShown();
        desk.form3->Button12->click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
                 QStringLiteral("'x' is not a valid integer value"));
        QCOMPARE(SequenceLines(desk.form3), QStringList({"TAB"}));
    }

    void windowButtonsAppendTheSelectedTitleAndNothingWithoutOne() {
        DeskFixture desk;
        desk.start();
        desk.windowSystem.open(0x21, 300, "Scanner Tool");
        desk.windowSystem.open(0x22, 301, "Mail");
        desk.form3->Button10Click();
        QListWidget* list = desk.form3->ListBox1;
        const QList<QPushButton*> buttons{desk.form3->Wait, desk.form3->Button14,
                                          desk.form3->Button2, desk.form3->Button7};
        list->setCurrentRow(static_cast<int>(Items(list).indexOf(QStringLiteral("Mail"))));
        list->clearSelection();
        for (QPushButton* button : buttons) {
            button->click();
        }
        QVERIFY(desk.form3->Memo1->toPlainText().isEmpty());
        const int row = static_cast<int>(Items(list).indexOf(QStringLiteral("Scanner Tool")));
        QVERIFY(row >= 0);
        list->setCurrentRow(row);
        for (QPushButton* button : buttons) {
            button->click();
        }
        QCOMPARE(SequenceLines(desk.form3),
                 QStringList({"WAITWINDOW:Scanner Tool", "UNWAITWINDOW:Scanner Tool",
                              "SWITCH:Scanner Tool", "CLOSE:Scanner Tool"}));
    }

    // Tabs.

    void everyTabFitsTheDialogWithoutSqueezingItsTexts() {
        DeskFixture desk(Merged(ThreeButtons(), Merged(ThreeNames(), {{"inputdir", "/gone"}})));
        InstallIntoSystemFolder(desk, QStringLiteral("/home/anna/.config"));
        desk.start();
        for (const int tab : {0, kButtonsTab, kNamesTab, kGeneralTab}) {
            ShowDialog(desk, tab);
            QVERIFY(QTest::qWaitForWindowExposed(desk.form3));
            const QStringList squeezed = Squeezed(desk.form3);
            QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(QStringLiteral("; "))));
        }
    }

    void tabsComeInOrderGeneralFirstAndTheLastOneIsKept() {
        DeskFixture desk;
        desk.start();
        QTabWidget* tabs = desk.form3->PageControl1;
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Detection && Action"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Buttons"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Names"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("General"));
        desk.form3->show();
        QCOMPARE(tabs->currentIndex(), kGeneralTab);
        tabs->setCurrentIndex(kButtonsTab);
        desk.form3->Button19Click();
        desk.form3->show();
        QCOMPARE(tabs->currentIndex(), kButtonsTab);
        tabs->setCurrentIndex(kNamesTab);
        desk.form3->Button1Click();
        desk.form3->show();
        QCOMPARE(tabs->currentIndex(), kNamesTab);
    }
};

QTEST_MAIN(ConfigDialogTest)
#include "config_dialog_test.moc"
