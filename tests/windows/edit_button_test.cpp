#include <map>
#include <memory>
#include <optional>
#include <string>

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "components/file_dialog.h"
#include "desk/filing.h"
#include "windows/desk_fixture.h"

using sortwell::desk::FilingPlan;
using sortwell::test::DeskFixture;
using Stored = std::map<std::string, std::string>;

namespace {

Stored ThreeNames() {
    return {{"name0", "Anna"}, {"name1", "Ben"}, {"name2", "Carl"}};
}

// One stored button with the given icon and hide text, and the names Anna, Ben and Carl.
Stored OneButton(const std::string& icon, const std::string& hide) {
    Stored stored = ThreeNames();
    stored["icon0"] = icon;
    stored["caption0"] = "Invoices";
    stored["folder0"] = "/archive/%YEAR/%TAG";
    stored["hide0"] = hide;
    return stored;
}

QStringList CheckedNames(const TForm2* dialog) {
    QStringList checked;
    for (int row = 0; row < dialog->CheckListBox1->count(); ++row) {
        const QListWidgetItem* item = dialog->CheckListBox1->item(row);
        if (item->checkState() == Qt::Checked) {
            checked.append(item->text());
        }
    }
    return checked;
}

QString WriteIcon(const QTemporaryDir& folder, const QString& name) {
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    const QString path = folder.filePath(name);
    return picture.save(path, "ICO") ? path : QString();
}

// Where a scan would go when filed with `pattern`.
FilingPlan PlanIn(const QString& pattern, bool attach) {
    sortwell::desk::FilingRequest request;
    request.folderPattern = pattern.toStdString();
    request.entries = {"03", "2024", "Tax", "Anna"};
    request.inputFolder = "/scans";
    request.documentName = "scan0001.pdf";
    request.attach = attach;
    return sortwell::desk::PlanFiling(request);
}

// Selects the only row of the Buttons list and opens it with "&Edit"; `inside` runs while the
// Edit Button dialog is shown and must close it.
template <typename Inside>
bool EditFirstRow(DeskFixture& desk, Inside inside) {
    auto shown = std::make_shared<std::optional<bool>>();
    TForm2* dialog = desk.form2;
    QTimer::singleShot(0, dialog, [dialog, shown, inside] {
        *shown = dialog->isVisible();
        inside();
    });
    desk.form3->show();
    desk.form3->ListView1->setCurrentItem(desk.form3->ListView1->topLevelItem(0));
    desk.form3->Button16->click();
    return QTest::qWaitFor([shown] { return shown->has_value(); }, 5000) && shown->value();
}

}  // namespace

class EditButtonTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FileDialog::clear(); }

    // The "Visible for:" list.

    void applyHideUnchecksTheListedNamesAndGetHideReadsThemBack() {
        DeskFixture desk(ThreeNames());
        desk.start();
        TForm2* dialog = desk.form2;
        QCOMPARE(dialog->CheckListBox1->count(), 3);
        dialog->ApplyHide(QStringLiteral("Ben"));
        QCOMPARE(CheckedNames(dialog), QStringList({"Anna", "Carl"}));
        dialog->CheckListBox1->item(2)->setCheckState(Qt::Unchecked);
        QCOMPARE(dialog->GetHide().hide, std::string("Ben,Carl"));
        QVERIFY(dialog->GetHide().error.empty());
    }

    void anEmptyHideChecksEveryName() {
        DeskFixture desk(ThreeNames());
        desk.start();
        desk.form2->ApplyHide(QStringLiteral("Anna,Carl"));
        QCOMPARE(CheckedNames(desk.form2), QStringList({"Ben"}));
        desk.form2->ApplyHide(QString());
        QCOMPARE(CheckedNames(desk.form2), QStringList({"Anna", "Ben", "Carl"}));
        QCOMPARE(desk.form2->GetHide().hide, std::string());
    }

    void hideMatchesNamesExactly() {
        DeskFixture desk(ThreeNames());
        desk.start();
        for (const char* hide : {"anna", " Anna", "Anna ", "Ann"}) {
            desk.form2->ApplyHide(QString::fromLatin1(hide));
            QCOMPARE(CheckedNames(desk.form2), QStringList({"Anna", "Ben", "Carl"}));
        }
        desk.form2->ApplyHide(QStringLiteral("Anna"));
        QCOMPARE(CheckedNames(desk.form2), QStringList({"Ben", "Carl"}));
    }

    void anUnknownHiddenNameIsDroppedByEditAndOk() {
        DeskFixture desk(OneButton("<none>", "Zoe,Ben"));
        desk.start();
        MessageBox::clearShown();
        QStringList checkedWhileShown;
        QVERIFY(EditFirstRow(desk, [&desk, &checkedWhileShown] {
            checkedWhileShown = CheckedNames(desk.form2);
            desk.form2->Edit3->clear();
            desk.form2->Button1->click();
        }));
        QCOMPARE(checkedWhileShown, QStringList({"Anna", "Carl"}));
        const QTreeWidgetItem* row = desk.form3->ListView1->topLevelItem(0);
        QCOMPARE(row->text(3), QStringLiteral("Ben"));
        QCOMPARE(row->text(1), QStringLiteral("Invoices"));
        desk.form3->Button20Click();
        QCOMPARE(desk.persisted("hide0"), std::string("Ben"));
    }

    // The picture.

    void selectTakesThePictureAndRemembersItsFolder() {
        QTemporaryDir start;
        QTemporaryDir pictures;
        const QString icon = WriteIcon(pictures, QStringLiteral("green.ico"));
        QVERIFY(!icon.isEmpty());
        const QString startFolder = start.path() + QLatin1Char('/');
        DeskFixture desk(Stored{{"icondir", startFolder.toStdString()}});
        desk.start();
        TForm2* dialog = desk.form2;
        dialog->show();
        QVERIFY(dialog->Image1->isHidden());
        FileDialog::setNextChoice(icon);
        dialog->Button3Click();
        QCOMPARE(FileDialog::requests().size(), 1);
        const FileDialog::Request request = FileDialog::requests().last();
        QCOMPARE(request.startFolder, startFolder);
        QCOMPARE(request.filter,
                 QStringLiteral("All (*.ico *.bmp);;Icons (*.ico);;Bitmap (*.bmp)"));
        QCOMPARE(request.filter.split(QStringLiteral(";;")).size(), 3);
        QCOMPARE(dialog->Edit3->text(), icon);
        QCOMPARE(desk.persisted("icondir"), (pictures.path() + QLatin1Char('/')).toStdString());
        QVERIFY(!dialog->Image1->isHidden());
        QVERIFY(!dialog->Image1->pixmap().isNull());
        QCOMPARE(dialog->Image1->pixmap().size(), QSize(32, 32));
        QVERIFY(MessageBox::shown().isEmpty());
        dialog->Button2Click();
    }

    void aCancelledSelectChangesNothing() {
        DeskFixture desk(Stored{{"icondir", "/icons/"}});
        desk.start();
        desk.form2->Edit3->setText(QStringLiteral("/icons/old.ico"));
        FileDialog::setNextChoice(QString());
        desk.form2->Button3Click();
        QCOMPARE(FileDialog::requests().size(), 1);
        QCOMPARE(desk.form2->Edit3->text(), QStringLiteral("/icons/old.ico"));
        QCOMPARE(desk.persisted("icondir"), std::string("/icons/"));
    }

    void aPictureThatCannotBeLoadedIsReportedAndTheDialogStaysUsable() {
        QTemporaryDir pictures;
        QFile fake(pictures.filePath(QStringLiteral("x.ico")));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("this is no picture\n");
        fake.close();
        DeskFixture desk(ThreeNames());
        desk.start();
        TForm2* dialog = desk.form2;
        dialog->Edit1->setText(QStringLiteral("Invoices"));
        dialog->Edit2->setText(QStringLiteral("/archive/%YEAR"));
        dialog->show();
        MessageBox::clearShown();
        FileDialog::setNextChoice(fake.fileName());
        dialog->Button3Click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().kind, MessageBox::Kind::Warning);
        QVERIFY(MessageBox::shown().first().text.contains(fake.fileName()));
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->cancelled);
        QVERIFY(dialog->Image1->pixmap().isNull());
        QCOMPARE(dialog->Edit1->text(), QStringLiteral("Invoices"));
        QCOMPARE(dialog->Edit2->text(), QStringLiteral("/archive/%YEAR"));
        QCOMPARE(CheckedNames(dialog), QStringList({"Anna", "Ben", "Carl"}));
        dialog->Button1->click();
        QVERIFY(!dialog->isVisible());
        QVERIFY(!dialog->cancelled);
    }

    void clearRemovesThePictureAndTheRowKeepsNoIcon() {
        QTemporaryDir pictures;
        const QString icon = WriteIcon(pictures, QStringLiteral("green.ico"));
        QVERIFY(!icon.isEmpty());
        DeskFixture desk(OneButton(icon.toStdString(), ""));
        desk.start();
        bool previewBefore = false;
        bool previewAfter = true;
        QVERIFY(EditFirstRow(desk, [&desk, &previewBefore, &previewAfter] {
            TForm2* dialog = desk.form2;
            previewBefore = !dialog->Image1->isHidden() && !dialog->Image1->pixmap().isNull();
            dialog->Button4->click();
            previewAfter = !dialog->Image1->isHidden() || !dialog->Image1->pixmap().isNull();
            dialog->Button1->click();
        }));
        QVERIFY(previewBefore);
        QVERIFY(!previewAfter);
        QVERIFY(desk.form2->Edit3->text().isEmpty());
        QVERIFY(desk.form3->ListView1->topLevelItem(0)->text(0).isEmpty());
        desk.form3->Button20Click();
        QCOMPARE(desk.persisted("icon0"), std::string("<none>"));
        QCOMPARE(desk.persisted("caption0"), std::string("Invoices"));
        desk.form1->Load();
        QCOMPARE(desk.form3->ListView1->topLevelItemCount(), 1);
        QVERIFY(desk.form3->ListView1->topLevelItem(0)->text(0).isEmpty());
        QCOMPARE(desk.form3->ListView1->topLevelItem(0)->text(1), QStringLiteral("Invoices"));
    }

    // The folder.

    void browseFilesIntoTheChosenFolderAndRemembersIt() {
        QTemporaryDir start;
        QTemporaryDir chosen;
        DeskFixture desk(Stored{{"folderdir", start.path().toStdString()}});
        desk.start();
        desk.form2->Edit2->setText(QStringLiteral("/old/%YEAR/Invoices"));
        FileDialog::setNextChoice(chosen.path() + QLatin1Char('/'));
        desk.form2->Button5Click();
        QCOMPARE(FileDialog::requests().size(), 1);
        QCOMPARE(FileDialog::requests().last().startFolder, start.path());
        QCOMPARE(FileDialog::requests().last().title, QStringLiteral("Choose a folder to save"));
        QCOMPARE(desk.form2->Edit2->text(), chosen.path() + QLatin1Char('/'));
        QCOMPARE(desk.persisted("folderdir"), chosen.path().toStdString());
        for (const bool attach : {true, false}) {
            const FilingPlan plan = PlanIn(desk.form2->Edit2->text(), attach);
            QVERIFY2(plan.problem.empty(), plan.problem.c_str());
            QCOMPARE(QString::fromStdString(plan.targetFolder), chosen.path());
        }
    }

    void browseKeepsALastPartThatHoldsAPlaceholder() {
        QTemporaryDir chosen;
        DeskFixture desk;
        desk.start();
        desk.form2->Edit2->setText(QStringLiteral("/old/%YEAR/%MONTH %TAG"));
        FileDialog::setNextChoice(chosen.path());
        desk.form2->Button5Click();
        QCOMPARE(desk.form2->Edit2->text(), chosen.path() + QStringLiteral("/%MONTH %TAG"));
        const FilingPlan plan = PlanIn(desk.form2->Edit2->text(), true);
        QVERIFY2(plan.problem.empty(), plan.problem.c_str());
        QCOMPARE(QString::fromStdString(plan.targetFolder), chosen.path());
        QVERIFY(desk.form2->PatternWarning->isHidden());
    }

    void aCancelledBrowseKeepsThePattern() {
        QTemporaryDir start;
        DeskFixture desk(Stored{{"folderdir", start.path().toStdString()}});
        desk.start();
        desk.form2->Edit2->setText(QStringLiteral("/old/%YEAR/%TAG"));
        FileDialog::setNextChoice(QString());
        desk.form2->Button5Click();
        QCOMPARE(desk.form2->Edit2->text(), QStringLiteral("/old/%YEAR/%TAG"));
        QCOMPARE(desk.persisted("folderdir"), start.path().toStdString());
    }

    void theWarningFollowsThePatternAsItIsTyped() {
        DeskFixture desk;
        desk.start();
        TForm2* dialog = desk.form2;
        dialog->Edit2->clear();
        dialog->show();
        QLabel* warning = dialog->PatternWarning;
        QVERIFY(warning->isVisible());
        QVERIFY(warning->text().contains(QStringLiteral("no folder pattern")));
        QTest::keyClicks(dialog->Edit2, QStringLiteral("archive"));
        QVERIFY(warning->isVisible());
        QVERIFY(warning->text().contains(QStringLiteral("must start with \"/\"")));
        dialog->Edit2->setCursorPosition(0);
        QTest::keyClick(dialog->Edit2, Qt::Key_Slash);
        QCOMPARE(dialog->Edit2->text(), QStringLiteral("/archive"));
        QVERIFY(!warning->isVisible());
        dialog->Edit2->end(false);
        QTest::keyClicks(dialog->Edit2, QStringLiteral("//%YEAR"));
        QVERIFY(warning->isVisible());
        QVERIFY(warning->text().contains(QStringLiteral("empty level")));
        QCOMPARE(warning->textFormat(), Qt::PlainText);
        QVERIFY(warning->wordWrap());
        dialog->Edit2->setText(QStringLiteral("/archive/../%YEAR"));
        QVERIFY(warning->text().contains(QStringLiteral("\"..\" level")));
        dialog->Edit2->setText(QStringLiteral("/archive/%YEAR/"));
        QVERIFY(!warning->isVisible());
        dialog->Button2Click();
    }

    void okKeepsAPatternThatFilingWouldRefuse() {
        DeskFixture desk(OneButton("<none>", ""));
        desk.start();
        bool warned = false;
        QVERIFY(EditFirstRow(desk, [&desk, &warned] {
            desk.form2->Edit2->setText(QStringLiteral("archive/%YEAR"));
            warned = desk.form2->PatternWarning->isVisible();
            desk.form2->Button1->click();
        }));
        QVERIFY(warned);
        QVERIFY(!desk.form2->cancelled);
        QCOMPARE(desk.form3->ListView1->topLevelItem(0)->text(2), QStringLiteral("archive/%YEAR"));
        desk.form3->Button20Click();
        QCOMPARE(desk.persisted("folder0"), std::string("archive/%YEAR"));
    }

    void thePatternHintShowsOnceAndTheLabelsEndInAColon() {
        DeskFixture desk;
        desk.start();
        TForm2* dialog = desk.form2;
        QVERIFY(dialog->Edit2->placeholderText().isEmpty());
        int hints = 0;
        QStringList labels;
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            hints += label->text().contains(QStringLiteral("%YEAR")) ? 1 : 0;
            labels.append(label->text());
        }
        QCOMPARE(hints, 1);
        for (const char* text : {"Icon:", "Caption:", "Folder:", "Visible for:"}) {
            QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
        }
    }

    // Closing.

    void cancelledUnlessClosedWithOk() {
        DeskFixture desk;
        desk.start();
        TForm2* dialog = desk.form2;
        const auto closeWith = [dialog](const char* how) {
            bool seenWhileShown = false;
            QTimer::singleShot(0, dialog, [dialog, how, &seenWhileShown] {
                seenWhileShown = dialog->cancelled;
                const std::string way(how);
                if (way == "ok") {
                    dialog->Button1->click();
                } else if (way == "cancel") {
                    dialog->Button2->click();
                } else {
                    QTest::keyClick(dialog, Qt::Key_Escape);
                }
            });
            dialog->exec();
            return seenWhileShown;
        };
        QVERIFY(closeWith("ok"));
        QVERIFY(!dialog->cancelled);
        QVERIFY(closeWith("cancel"));
        QVERIFY(dialog->cancelled);
        QVERIFY(closeWith("ok"));
        QVERIFY(!dialog->cancelled);
        QVERIFY(closeWith("escape"));
        QVERIFY(dialog->cancelled);
    }
};

QTEST_MAIN(EditButtonTest)
#include "edit_button_test.moc"
