#include <QSignalSpy>
#include <QTest>

#include "components/event_timer.h"

// The margins are hundreds of milliseconds wide: each check tells a kept period from a new
// one, not how precise the timer is.
class EventTimerTest : public QObject {
    Q_OBJECT

private slots:
    void switchingOnWhileRunningKeepsThePeriod() {
        EventTimer timer(nullptr, 1000);
        timer.setEnabled(true);
        QTest::qWait(300);
        timer.setEnabled(true);
        QVERIFY2(timer.remainingTime() <= 800, qPrintable(QString::number(timer.remainingTime())));
    }

    void theSameIntervalKeepsThePeriod() {
        EventTimer timer(nullptr, 1000);
        timer.setEnabled(true);
        QTest::qWait(300);
        timer.setInterval(1000);
        QVERIFY2(timer.remainingTime() <= 800, qPrintable(QString::number(timer.remainingTime())));
    }

    void anotherIntervalStartsAFullPeriod() {
        EventTimer timer(nullptr, 1000);
        timer.setEnabled(true);
        QTest::qWait(300);
        timer.setInterval(2000);
        QCOMPARE(timer.interval(), 2000);
        QVERIFY2(timer.remainingTime() > 1500, qPrintable(QString::number(timer.remainingTime())));
    }

    void restartStartsAFullPeriod() {
        EventTimer timer(nullptr, 1000);
        timer.setEnabled(true);
        QTest::qWait(300);
        timer.restart();
        QVERIFY2(timer.remainingTime() > 850, qPrintable(QString::number(timer.remainingTime())));
    }

    void anIntervalSetWhileOffDoesNotStartIt() {
        EventTimer timer(nullptr, 200);
        timer.setInterval(50);
        QVERIFY(!timer.isEnabled());
        QCOMPARE(timer.remainingTime(), -1);
    }

    void switchedOffItNoLongerTicks() {
        EventTimer timer(nullptr, 20);
        QSignalSpy ticks(&timer, &EventTimer::timeout);
        timer.setEnabled(true);
        QVERIFY(ticks.wait(1000));
        timer.setEnabled(false);
        const auto counted = ticks.count();
        QTest::qWait(150);
        QCOMPARE(ticks.count(), counted);
        QVERIFY(!timer.isEnabled());
    }

    void aOneShotTimerTicksOnceAndSwitchesItselfOff() {
        EventTimer timer(nullptr, 10, true);
        QSignalSpy ticks(&timer, &EventTimer::timeout);
        timer.setEnabled(true);
        QTest::qWait(200);
        QCOMPARE(ticks.count(), 1);
        QVERIFY(!timer.isEnabled());
    }
};

QTEST_MAIN(EventTimerTest)
#include "event_timer_test.moc"
