#include "components/desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The action a click on the note itself invokes.
const QString kDefaultAction = QStringLiteral("default");
constexpr int kShowMs = 30'000;
}  // namespace

DesktopNotification::DesktopNotification(QObject* parent) : QObject(parent) {
    QDBusConnection::sessionBus().connect(kService, kPath, kInterface,
                                          QStringLiteral("ActionInvoked"), this,
                                          SLOT(takeAction(uint, QString)));
}

void DesktopNotification::show(const QString& summary, const QString& body) {
    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Tessaryn Sortwell") << shownId_ << QStringLiteral("sortwell")
           << summary << body << QStringList{kDefaultAction, QStringLiteral("Open the desk")}
           << QVariantMap{} << kShowMs;
    // Asked without waiting: a slow or absent service must never hold up the desk.
    auto* call = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) { takeAnswer(finished); });
}

void DesktopNotification::takeAnswer(QDBusPendingCallWatcher* call) {
    const QDBusPendingReply<uint> reply = *call;
    call->deleteLater();
    if (reply.isError()) {
        emit answered(false);
        return;
    }
    shownId_ = reply.value();
    emit answered(true);
}

void DesktopNotification::takeAction(uint id, const QString& action) {
    if (id != 0 && id == shownId_ && action == kDefaultAction) {
        emit activated();
    }
}
