#include "app/termination_signals.h"

#include <QSocketNotifier>

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (watch_.handle() < 0) {
        return;
    }
    notifier_ = new QSocketNotifier(watch_.handle(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
}

// The notifier goes before the watch closes the handle it watches.
TerminationSignals::~TerminationSignals() {
    delete notifier_;
}

void TerminationSignals::readSignal() {
    watch_.acknowledge();
    emit terminationRequested();
}
