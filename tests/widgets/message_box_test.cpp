#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "components/message_box.h"

namespace {

// Watches for a real message box; when one opens it notes what it shows and clicks a button,
// so a dialog that should never have opened cannot hang the test either.
class DialogWatch {
public:
    explicit DialogWatch(QMessageBox::StandardButton click) : click_(click) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { inspect(); });
        timer_.start();
    }

    bool opened = false;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;

private:
    void inspect() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        opened = true;
        text = box->text();
        format = box->textFormat();
        buttons = box->standardButtons();
        defaultButton = box->standardButton(box->defaultButton());
        QAbstractButton* button = box->button(click_);
        if (button != nullptr) {
            button->click();
        } else {
            box->reject();
        }
    }

    QMessageBox::StandardButton click_;
    QTimer timer_;
};

}  // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearAnswers();
        MessageBox::clearShown();
    }

    void answersSetInAdvanceAreGivenInOrderWithoutADialog() {
        DialogWatch watch(QMessageBox::Yes);
        MessageBox::setNextAnswer(MessageBox::Answer::Yes);
        MessageBox::setNextAnswer(MessageBox::Answer::No);
        QCOMPARE(MessageBox::answersLeft(), 2);

        QCOMPARE(MessageBox::question(nullptr, "Sortwell", "First?"), MessageBox::Answer::Yes);
        QCOMPARE(MessageBox::question(nullptr, "Sortwell", "Second?"), MessageBox::Answer::No);
        QCOMPARE(MessageBox::answersLeft(), 0);
        QVERIFY(!watch.opened);
    }

    void plainMessagesTakeAQueuedAnswerToo() {
        DialogWatch watch(QMessageBox::Ok);
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        MessageBox::information(nullptr, "Sortwell", "Filed.");
        MessageBox::warning(nullptr, "Sortwell", "Careful.");
        MessageBox::critical(nullptr, "Sortwell", "Broken.");
        QCOMPARE(MessageBox::answersLeft(), 0);
        QVERIFY(!watch.opened);
    }

    void everyMessageIsRecordedOnceInOrder() {
        for (int i = 0; i < 3; ++i) {
            MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        }
        MessageBox::warning(nullptr, "Export", "'x' is not a valid integer value");
        MessageBox::information(nullptr, "Import", "Done");
        MessageBox::question(nullptr, "Delete", "Delete scan.pdf?");

        const auto shown = MessageBox::shown();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0].kind, MessageBox::Kind::Warning);
        QCOMPARE(shown[0].title, QString("Export"));
        QCOMPARE(shown[0].text, QString("'x' is not a valid integer value"));
        QCOMPARE(shown[1].kind, MessageBox::Kind::Information);
        QCOMPARE(shown[1].text, QString("Done"));
        QCOMPARE(shown[2].kind, MessageBox::Kind::Question);
        QCOMPARE(shown[2].title, QString("Delete"));

        MessageBox::clearShown();
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void theRecordKeepsOnlyTheNewestMessages() {
        const int total = MessageBox::kRecordLimit + 5;
        for (int i = 0; i < total; ++i) {
            MessageBox::setNextAnswer(MessageBox::Answer::Ok);
            MessageBox::information(nullptr, "Sortwell", QString::number(i));
        }
        const auto shown = MessageBox::shown();
        QCOMPARE(shown.size(), MessageBox::kRecordLimit);
        QCOMPARE(shown.first().text, QString::number(5));
        QCOMPARE(shown.last().text, QString::number(total - 1));
    }

    void withoutAnAnswerAQuestionOpensWithNoAsDefault() {
        DialogWatch watch(QMessageBox::Yes);
        const auto answer = MessageBox::question(nullptr, "Sortwell", "File scan.pdf?");
        QVERIFY(watch.opened);
        QCOMPARE(answer, MessageBox::Answer::Yes);
        QCOMPARE(watch.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(watch.defaultButton, QMessageBox::No);
        QCOMPARE(MessageBox::shown().size(), 1);
    }

    void markupInATextIsShownAsTyped() {
        DialogWatch watch(QMessageBox::Ok);
        const QString name = "<b>tax</b><img src=\"x\">.pdf";
        MessageBox::warning(nullptr, "Sortwell", name);
        QVERIFY(watch.opened);
        QCOMPARE(watch.format, Qt::PlainText);
        QCOMPARE(watch.text, name);
        QCOMPARE(watch.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
