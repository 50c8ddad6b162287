#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QTimer;

#include "AutomationRelay.h"
#include "AutomationServer.h"

namespace tessra {

class Core;

/// The program's automation while it runs in automation mode: the automation
/// methods over the program's core on the session bus (AutomationServer).
///
/// The program creates it once its windows exist and calls start() after the
/// first model load has finished, so a script's first call never races the
/// loading of "./model.so" (a LoadModel of its own would be overwritten).
/// When the client is gone (it called Release or its connection closed) the
/// session requests a pause, for a waiting call of the client may still be
/// serving the run in a nested event loop, and ends the event loop with exit
/// code 0: the program quits without the close question.
///
/// Further scripts are served through a relay, each by a private instance of
/// its own. When the session's own client is gone while such scripts remain,
/// the windows are hidden (hideRequested) and the program lives on until the
/// last of them is gone.
///
/// When the bus itself goes away (its daemon ended), no script can reach the
/// program any more: it pauses and ends as when its client is gone.
class AutomationSession : public QObject {
    Q_OBJECT
public:
    /// `core` must outlive the session. `serviceName` is the well-known name to
    /// own; only tests pass another than AutomationServer::ServiceName.
    explicit AutomationSession(Core& core,
        const QDBusConnection& connection = QDBusConnection::sessionBus(),
        const QString& serviceName = QString::fromLatin1(AutomationServer::ServiceName),
        QObject* parent = nullptr);
    ~AutomationSession() override;

    /// Offers the object on the bus. False, with a warning on the error output,
    /// when there is no bus or the name cannot be had; the program then goes on
    /// for its user alone.
    bool start();

    /// Makes this a private instance started by a hub's relay: it serves the
    /// hub alone, under the name given to the constructor, and relays nothing.
    /// Before start().
    void servePrivately(const QString& hub);

signals:
    /// The own client is gone but relayed scripts remain: the windows are no
    /// longer wanted.
    void hideRequested();

private:
    void clientGone();
    void relayedClientsGone();
    void checkBus();

    Core& m_core;
    AutomationRelay m_relay;
    AutomationServer m_server;
    QDBusConnection m_connection;
    QString m_serviceName;
    bool m_private = false;
    bool m_nameGivenUp = false;
    bool m_clientGone = false;
    QTimer* m_busCheck = nullptr;
};

} // namespace tessra
