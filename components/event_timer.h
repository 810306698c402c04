#pragma once

#include <QObject>
#include <QTimer>

// A timer with the semantics the windows rely on, unlike QTimer's: switching it on while it
// runs changes nothing, giving it the interval it already has keeps the running period, and
// giving it another interval while it runs starts a new full period. Every timer of the
// windows is one of these.
class EventTimer : public QObject {
    Q_OBJECT

public:
    explicit EventTimer(QObject* parent = nullptr, int intervalMs = 1000, bool singleShot = false);

    void setEnabled(bool on);
    bool isEnabled() const { return timer_.isActive(); }
    void setInterval(int intervalMs);
    int interval() const { return timer_.interval(); }
    // Milliseconds to the next tick, or -1 while switched off.
    int remainingTime() const { return timer_.remainingTime(); }
    // Work that follows a burst of events: off and on again, so the full period starts anew.
    void restart();

signals:
    void timeout();

private:
    QTimer timer_;
};
