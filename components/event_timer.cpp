#include "components/event_timer.h"

EventTimer::EventTimer(QObject* parent, int intervalMs, bool singleShot) : QObject(parent) {
    timer_.setInterval(intervalMs);
    timer_.setSingleShot(singleShot);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &EventTimer::timeout);
}

void EventTimer::setEnabled(bool on) {
    if (on == timer_.isActive()) {
        return;
    }
    if (on) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

void EventTimer::setInterval(int intervalMs) {
    // QTimer restarts its period on every setInterval, even to the same value.
    if (intervalMs != timer_.interval()) {
        timer_.setInterval(intervalMs);
    }
}

void EventTimer::restart() {
    timer_.stop();
    timer_.start();
}
