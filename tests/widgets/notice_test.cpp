#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include "components/notice.h"

namespace {

int VisibleNotices() {
    int count = 0;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        count += qobject_cast<const Notice*>(window) != nullptr && window->isVisible() ? 1 : 0;
    }
    return count;
}

bool TakesNoFocus(const QWidget& widget) {
    if (widget.focusPolicy() != Qt::NoFocus) {
        return false;
    }
    for (const QWidget* child : widget.findChildren<QWidget*>()) {
        if (child->focusPolicy() != Qt::NoFocus) {
            return false;
        }
    }
    return true;
}

}  // namespace

class NoticeTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheTitleAndTheTextAsTyped() {
        Notice notice;
        QVERIFY(!notice.isVisible());
        notice.say(QStringLiteral("Automation"), QStringLiteral("<b>SWITCH:Scanner</b> & more"));
        QVERIFY(notice.isVisible());
        QCOMPARE(notice.title(), QStringLiteral("Automation"));
        QCOMPARE(notice.text(), QStringLiteral("<b>SWITCH:Scanner</b> & more"));
        for (const QLabel* label : notice.findChildren<QLabel*>()) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
    }

    void anOfferedActionIsChosenOnceAndGoesWithTheNextMessage() {
        Notice notice;
        int chosen = 0;
        connect(&notice, &Notice::actionChosen, this, [&chosen] { ++chosen; });
        notice.say(QStringLiteral("Filed"), QStringLiteral("a.pdf filed to /x/a.pdf"),
                   QStringLiteral("Undo"));
        QCOMPARE(notice.action(), QStringLiteral("Undo"));
        const QList<QToolButton*> buttons = notice.findChildren<QToolButton*>();
        const auto undo = std::find_if(buttons.begin(), buttons.end(), [](QToolButton* b) {
            return b->text() == QStringLiteral("Undo");
        });
        QVERIFY(undo != buttons.end());
        QTest::mouseClick(*undo, Qt::LeftButton);
        QCOMPARE(chosen, 1);
        QVERIFY(!notice.isVisible());

        notice.say(QStringLiteral("Automation"), QStringLiteral("plain"));
        QCOMPARE(notice.action(), QString());
        notice.chooseAction();
        QCOMPARE(chosen, 1);
    }

    void aNewerMessageReplacesTheOlderOne() {
        Notice notice;
        notice.say(QStringLiteral("First"), QStringLiteral("one"));
        notice.say(QStringLiteral("Second"), QStringLiteral("two"));
        QCOMPARE(notice.title(), QStringLiteral("Second"));
        QCOMPARE(notice.text(), QStringLiteral("two"));
        QCOMPARE(VisibleNotices(), 1);
    }

    void hidesItselfWhenItsTimeIsUp() {
        Notice notice;
        notice.say(QStringLiteral("Automation"), QStringLiteral("gone"));
        QVERIFY(notice.hideTimer().isEnabled());
        QCOMPARE(notice.hideTimer().interval(), Notice::kShowMs);

        emit notice.hideTimer().timeout();
        QVERIFY(!notice.isVisible());
        QVERIFY(!notice.hideTimer().isEnabled());

        notice.say(QStringLiteral("Automation"), QStringLiteral("again"));
        QVERIFY(notice.isVisible());
        QVERIFY(notice.hideTimer().isEnabled());
    }

    void theCloseButtonHidesItAtOnce() {
        Notice notice;
        notice.say(QStringLiteral("Automation"), QStringLiteral("gone"));
        auto* close = notice.findChild<QToolButton*>();
        QVERIFY(close != nullptr);
        close->click();
        QVERIFY(!notice.isVisible());
        QVERIFY(!notice.hideTimer().isEnabled());
    }

    void neverTakesTheKeyboardFocus() {
        QWidget target;
        auto* field = new QLineEdit(&target);
        target.show();
        QApplication::setActiveWindow(&target);
        field->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), field);

        Notice notice;
        notice.say(QStringLiteral("Automation"), QStringLiteral("gone"));
        QCoreApplication::processEvents();
        // The offscreen platform focuses every window it shows; on X11 these two keep the
        // window manager from doing so.
        QVERIFY(notice.testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(notice.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(notice.windowFlags().testFlag(Qt::Tool));
        QVERIFY(TakesNoFocus(notice));
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused != &notice && !notice.isAncestorOf(focused));
    }

    void sitsInTheBottomRightCornerOfTheScreen() {
        Notice notice;
        notice.say(QStringLiteral("Automation"),
                   QStringLiteral("a text long enough to need more than one line in the note, "
                                  "so that the note grows upwards from the corner"));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = notice.geometry();
        QVERIFY(area.contains(frame));
        QVERIFY(frame.center().x() > area.center().x());
        QVERIFY(frame.center().y() > area.center().y());
        QCOMPARE(frame.width(), Notice::kWidth);
        QCoreApplication::processEvents();
        const QLabel* text = notice.findChildren<QLabel*>().last();
        QCOMPARE(text->text(), notice.text());
        QVERIFY(text->height() >= text->heightForWidth(text->width()));
    }
};

QTEST_MAIN(NoticeTest)
#include "notice_test.moc"
