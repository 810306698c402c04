#pragma once

#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// A note through the desktop's notification service (org.freedesktop.Notifications on the
// session bus), for when the desk may not take the focus itself, as on Wayland. A click on the
// note emits activated(). Without a session bus or a service the note is simply not shown.
class DesktopNotification : public QObject {
    Q_OBJECT

public:
    explicit DesktopNotification(QObject* parent = nullptr);

    // Sends the note without waiting for the service; a newer note replaces the older one.
    void show(const QString& summary, const QString& body);
    // The number the service gave the last note, 0 until it answered.
    uint shownId() const { return shownId_; }

signals:
    void activated();
    // The service answered the last show(): with its number, or refused it.
    void answered(bool shown);

private slots:
    void takeAction(uint id, const QString& action);

private:
    void takeAnswer(QDBusPendingCallWatcher* call);

    uint shownId_ = 0;
};
