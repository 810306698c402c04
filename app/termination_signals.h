#pragma once

#include <QObject>

#include "platform/termination_watch.h"

class QSocketNotifier;

// Turns SIGTERM and SIGINT (a log-off, a shutdown, Ctrl+C) into an orderly end of the event
// loop, so that the settings are flushed and the document at hand stays where it is.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void terminationRequested();

private:
    void readSignal();

    sortwell::platform::TerminationWatch watch_;
    QSocketNotifier* notifier_ = nullptr;
};
