#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "config/tform3.h"
#include "windows/desk_fixture.h"

using sortwell::test::DeskFixture;

namespace {

struct Target {
    std::string icon;
    std::string caption;
    std::string folder;
    std::string hide;
};

std::map<std::string, std::string> StoredTargets(const std::vector<Target>& targets,
                                                 const std::string& columns = "3") {
    std::map<std::string, std::string> stored{{"columns", columns}};
    for (std::size_t n = 0; n < targets.size(); ++n) {
        const std::string index = std::to_string(n);
        stored["icon" + index] = targets[n].icon;
        stored["caption" + index] = targets[n].caption;
        stored["folder" + index] = targets[n].folder;
        stored["hide" + index] = targets[n].hide;
    }
    return stored;
}

// Targets whose icon files do not exist, so that only the captions show.
std::vector<Target> PlainTargets(int count) {
    std::vector<Target> targets;
    for (int n = 0; n < count; ++n) {
        const std::string index = std::to_string(n);
        targets.push_back(
            {"/nowhere/" + index + ".ico", "T" + index, "/docs/" + index + "/%TAG", ""});
    }
    return targets;
}

int SerialOf(const QToolButton* button) {
    return button->objectName().mid(QStringLiteral("MainButton").size()).toInt();
}

// The grid's buttons in the order they were made.
QList<QToolButton*> GridButtons(const TForm1* form) {
    QList<QToolButton*> buttons;
    for (QToolButton* child :
         form->Panel1->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->objectName().startsWith(QStringLiteral("MainButton"))) {
            buttons.append(child);
        }
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const QToolButton* a, const QToolButton* b) { return SerialOf(a) < SerialOf(b); });
    return buttons;
}

QStringList Captions(const TForm1* form) {
    QStringList captions;
    for (const QToolButton* button : GridButtons(form)) {
        captions.append(button->text());
    }
    return captions;
}

QStringList ButtonNames(const TForm1* form) {
    QStringList names;
    for (const QToolButton* button : GridButtons(form)) {
        names.append(button->objectName());
    }
    return names;
}

// Waits for the rebuild that Load schedules, until the grid holds `count` buttons.
bool WaitForGrid(const TForm1* form, int count) {
    return QTest::qWaitFor(
        [form, count] {
            return !form->ButtonRefreshTimer.isEnabled() && GridButtons(form).size() == count;
        },
        5000);
}

QToolButton* ButtonWithCaption(const TForm1* form, const QString& caption) {
    for (QToolButton* button : GridButtons(form)) {
        if (button->text() == caption) {
            return button;
        }
    }
    return nullptr;
}

bool ContainsChange(const std::vector<std::string>& changes, const std::string& change) {
    return std::find(changes.begin(), changes.end(), change) != changes.end();
}

}  // namespace

class DeskGridTest : public QObject {
    Q_OBJECT

private slots:
    void sevenButtonsFillThreeColumnsOfTheDesignPanel() {
        DeskFixture desk(StoredTargets(PlainTargets(7), "3"));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 7));
        desk.form1->Panel1->resize(470, 268);
        desk.form1->RefreshButtons();

        const QList<QToolButton*> buttons = GridButtons(desk.form1);
        QCOMPARE(buttons.size(), 7);
        const int border = desk.form1->Panel1->frameWidth();
        const QList<QPoint> corners{{0, 0},    {155, 0},  {310, 0}, {0, 88},
                                    {155, 88}, {310, 88}, {0, 176}};
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i]->text(), QStringLiteral("T%1").arg(i));
            QCOMPARE(buttons[i]->geometry(),
                     QRect(corners[i] + QPoint(border, border), QSize(155, 88)));
            QVERIFY(desk.form1->Panel1->rect().contains(buttons[i]->geometry()));
            QVERIFY(buttons[i]->isVisible());
        }
    }

    void theLiveColumnCountOfTheConfigurationIsUsed() {
        DeskFixture desk(StoredTargets(PlainTargets(3), "3"));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 3));
        desk.form1->Panel1->resize(470, 268);
        desk.form3->Edit1->setText(QStringLiteral("2"));
        desk.form1->RefreshButtons();

        const QList<QToolButton*> buttons = GridButtons(desk.form1);
        QCOMPARE(buttons.size(), 3);
        const int border = desk.form1->Panel1->frameWidth();
        QCOMPARE(buttons[0]->geometry(), QRect(border, border, 233, 132));
        QCOMPARE(buttons[1]->geometry(), QRect(border + 233, border, 233, 132));
        QCOMPARE(buttons[2]->geometry(), QRect(border, border + 132, 233, 132));
    }

    void captionsAreStarredWhenThePatternAsksForNoTag() {
        DeskFixture desk(StoredTargets({{"/nowhere/a.ico", "Year", "/docs/%YEAR", ""},
                                        {"/nowhere/b.ico", "Tagged", "/docs/%TAG/%YEAR", ""},
                                        {"/nowhere/c.ico", "Lower", "/docs/%tag", ""}}));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 3));
        QCOMPARE(Captions(desk.form1),
                 QStringList({QStringLiteral("Year*"), QStringLiteral("Tagged"),
                              QStringLiteral("Lower*")}));
        const QList<QToolButton*> buttons = GridButtons(desk.form1);
        // No tag yet: the empty level would be refused, and the tooltip says so before a click.
        QVERIFY(buttons[1]->toolTip().startsWith(QStringLiteral("This target cannot file: ")));
        QCOMPARE(buttons[1]->property("folder").toString(), QStringLiteral("/docs/%TAG/%YEAR"));
    }

    void aButtonHiddenForTheSelectedNameTakesNoCell() {
        std::map<std::string, std::string> stored =
            StoredTargets({{"/nowhere/a.ico", "A", "/docs/a/%TAG", "Anna"},
                           {"/nowhere/b.ico", "B", "/docs/b/%TAG", ""},
                           {"/nowhere/c.ico", "C", "/docs/c/%TAG", "Ben,Carl"}});
        stored["name0"] = "Anna";
        stored["name1"] = "Ben";
        stored["selectedname"] = "0";
        DeskFixture desk(stored);
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 2));
        QVERIFY(!desk.form1->ComboBox1->isHidden());
        QCOMPARE(desk.form1->ComboBox1->currentText(), QStringLiteral("Anna"));
        QCOMPARE(Captions(desk.form1), QStringList({QStringLiteral("B"), QStringLiteral("C")}));

        const QList<QToolButton*> buttons = GridButtons(desk.form1);
        const int border = desk.form1->Panel1->frameWidth();
        QCOMPARE(buttons[0]->pos(), QPoint(border, border));
        QCOMPARE(buttons[1]->pos(), QPoint(border + buttons[0]->width(), border));
    }

    void pickingAnotherNameBringsTheButtonBackAfterTheDelay() {
        std::map<std::string, std::string> stored =
            StoredTargets({{"/nowhere/a.ico", "A", "/docs/a/%TAG", "Anna"},
                           {"/nowhere/b.ico", "B", "/docs/b/%TAG", ""},
                           {"/nowhere/c.ico", "C", "/docs/c/%TAG", "Ben,Carl"}});
        stored["name0"] = "Anna";
        stored["name1"] = "Ben";
        stored["selectedname"] = "0";
        DeskFixture desk(stored);
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 2));

        desk.form1->ComboBox1->setCurrentIndex(1);
        emit desk.form1->ComboBox1->activated(1);
        // The rebuild trails the pick; nothing has changed yet.
        QVERIFY(desk.form1->ButtonRefreshTimer.isEnabled());
        QCOMPARE(Captions(desk.form1), QStringList({QStringLiteral("B"), QStringLiteral("C")}));
        QCOMPARE(desk.persisted("selectedname"), std::string("1"));

        QTRY_COMPARE_WITH_TIMEOUT(Captions(desk.form1),
                                  QStringList({QStringLiteral("A"), QStringLiteral("B")}), 5000);
    }

    void withoutNamesHideTextsAreIgnored() {
        DeskFixture desk(StoredTargets({{"/nowhere/a.ico", "A", "/docs/a/%TAG", "Anna"},
                                        {"/nowhere/b.ico", "B", "/docs/b/%TAG", ""},
                                        {"/nowhere/c.ico", "C", "/docs/c/%TAG", "Ben,Carl"}}));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 3));
        QVERIFY(desk.form1->ComboBox1->isHidden());
        QCOMPARE(Captions(desk.form1),
                 QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    }

    void aBurstOfResizesGivesOneRebuildAfterTheLast() {
        DeskFixture desk(StoredTargets(PlainTargets(3)));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 3));
        QTest::qWait(300);
        const int before = desk.form1->mainButtonSerial;

        // The burst lasts longer than the delay, so a delay counted from the first resize
        // would rebuild in the middle of it.
        for (int i = 0; i < 50; ++i) {
            desk.form1->resize(480 + i, 420 + i);
            QTest::qWait(8);
        }
        QCOMPARE(desk.form1->mainButtonSerial, before);
        QVERIFY(desk.form1->ButtonRefreshTimer.isEnabled());
        QElapsedTimer sinceLast;
        sinceLast.start();

        QTRY_VERIFY_WITH_TIMEOUT(desk.form1->mainButtonSerial != before, 5000);
        QVERIFY2(sinceLast.elapsed() >= 150, qPrintable(QString::number(sinceLast.elapsed())));
        QTest::qWait(500);
        QCOMPARE(desk.form1->mainButtonSerial, before + 3);
        QCOMPARE(ButtonNames(desk.form1),
                 QStringList({QStringLiteral("MainButton%1").arg(before + 1),
                              QStringLiteral("MainButton%1").arg(before + 2),
                              QStringLiteral("MainButton%1").arg(before + 3)}));
    }

    void everyRebuildNamesItsButtonsAfresh() {
        DeskFixture desk(StoredTargets(PlainTargets(3)));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 3));
        QCOMPARE(ButtonNames(desk.form1),
                 QStringList({QStringLiteral("MainButton1"), QStringLiteral("MainButton2"),
                              QStringLiteral("MainButton3")}));

        desk.form1->RefreshButtons();
        QCOMPARE(ButtonNames(desk.form1),
                 QStringList({QStringLiteral("MainButton4"), QStringLiteral("MainButton5"),
                              QStringLiteral("MainButton6")}));
        QCOMPARE(desk.form1->mainButtonSerial, 6);
        QCOMPARE(desk.form1->Panel1->findChildren<QToolButton*>().size(), 3);
        for (int serial = 1; serial <= 3; ++serial) {
            QVERIFY(!desk.form1->Panel1->findChild<QToolButton*>(
                QStringLiteral("MainButton%1").arg(serial)));
        }
    }

    void gridButtonsNeverTakeTheFocus() {
        DeskFixture desk(StoredTargets(PlainTargets(4)));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 4));
        for (const QToolButton* button : GridButtons(desk.form1)) {
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        }
    }

    void anIconFileInCapitalsIsDrawnAt32By32() {
        if (!QImageWriter::supportedImageFormats().contains("ico")) {
            QSKIP("This Qt has no ico image plugin, so no icon file can be written.");
        }
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("face.ICO"));
        QImage image(48, 48, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path, "ICO"));

        DeskFixture desk(StoredTargets({{path.toStdString(), "Icon", "/docs/%TAG", ""}}));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 1));
        const QToolButton* button = GridButtons(desk.form1).first();
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->iconSize(), QSize(32, 32));
        QCOMPARE(button->icon().availableSizes(), QList<QSize>({QSize(32, 32)}));
        const QColor centre = button->icon().pixmap(32, 32).toImage().pixelColor(16, 16);
        QVERIFY2(centre.red() > 200 && centre.green() < 50 && centre.blue() < 50,
                 qPrintable(centre.name()));
        QCOMPARE(button->text(), QStringLiteral("Icon"));
    }

    void aBitmapKeepsItsOwnSize() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("face.bmp"));
        QImage image(20, 14, QImage::Format_RGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(path, "BMP"));

        DeskFixture desk(StoredTargets({{path.toStdString(), "Bitmap", "/docs/%TAG", ""}}));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 1));
        const QToolButton* button = GridButtons(desk.form1).first();
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->iconSize(), QSize(20, 14));
        QCOMPARE(button->icon().availableSizes(), QList<QSize>({QSize(20, 14)}));
    }

    void otherImagesAndMissingFilesGiveTheCaptionOnly() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString png = folder.filePath(QStringLiteral("face.png"));
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(png, "PNG"));
        const QString missing = folder.filePath(QStringLiteral("gone.ico"));

        DeskFixture desk(StoredTargets({{png.toStdString(), "Png", "/docs/%TAG", ""},
                                        {missing.toStdString(), "Missing", "/docs/%TAG", ""}}));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 2));
        const QList<QToolButton*> buttons = GridButtons(desk.form1);
        QCOMPARE(buttons[0]->text(), QStringLiteral("Png"));
        QVERIFY(buttons[0]->icon().isNull());
        QCOMPARE(buttons[1]->text(), QStringLiteral("Missing"));
        QVERIFY(buttons[1]->icon().isNull());
    }

    void aClickFilesTheDocumentByThatButtonsPattern() {
        std::map<std::string, std::string> stored =
            StoredTargets({{"/nowhere/a.ico", "Bills", "/docs/bills/%YEAR", ""},
                           {"/nowhere/b.ico", "Post", "/docs/post/%YEAR-%MONTH", ""}});
        stored["inputdir"] = "/in";
        stored["attach"] = "0";
        DeskFixture desk(stored);
        desk.setInputFolder("/in", {});
        desk.files.folders.insert("/docs/post");
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 2));

        desk.setInputFolder("/in", {"scan.pdf"});
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string("scan.pdf"));

        QToolButton* post = ButtonWithCaption(desk.form1, QStringLiteral("Post*"));
        QVERIFY(post);
        QTest::mouseClick(post, Qt::LeftButton);
        QVERIFY(
            ContainsChange(desk.files.changes(), "move /in/scan.pdf -> /docs/post/2014-09.pdf"));
        QVERIFY(desk.form1->currentDocument.empty());
    }

    void aClickOnATaggedTargetAsksForTheTagFirst() {
        DeskFixture desk(StoredTargets({{"/nowhere/a.ico", "Tagged", "/docs/%TAG", ""}}));
        desk.start();
        QVERIFY(WaitForGrid(desk.form1, 1));
        QVERIFY(!desk.form1->tagConfirmed);
        QVERIFY(desk.form1->Label4->isHidden());

        QTest::mouseClick(GridButtons(desk.form1).first(), Qt::LeftButton);
        QVERIFY(!desk.form1->Label4->isHidden());
        QVERIFY(desk.form1->AlertTimer.isEnabled());
        QVERIFY(desk.form1->tagConfirmed);
        QVERIFY(desk.files.changes().empty());
    }
};

QTEST_MAIN(DeskGridTest)
#include "desk_grid_test.moc"
