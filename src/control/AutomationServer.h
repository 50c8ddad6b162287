#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QString>

#include "AutomationDispatcher.h"

class QDBusArgument;
class QDBusServiceWatcher;

namespace tessra {

class AutomationRelay;

/// D-Bus forms of the structured results: a world size as (ii), a series'
/// samples as (adad), the ticks first.
QDBusArgument& operator<<(QDBusArgument& argument, const AutomationWorldSize& size);
const QDBusArgument& operator>>(const QDBusArgument& argument, AutomationWorldSize& size);
QDBusArgument& operator<<(QDBusArgument& argument, const AutomationSeriesSamples& samples);
const QDBusArgument& operator>>(const QDBusArgument& argument, AutomationSeriesSamples& samples);

/// The automation object on the D-Bus session bus: name "Tessra.FrontEnd",
/// object "/FrontEnd", interface "Tessra.FrontEnd".
///
/// The interface has the typed methods of AutomationDispatcher's table, a late-bound
/// Invoke(s name, b wantResult, av arguments) -> v and Release(). Every call
/// goes through AutomationDispatcher; its errors reach the client as
/// "Tessra.Error.<Kind>" errors. Typed methods convert their arguments as
/// Invoke does, so a text "3" is accepted for an int32 column. Invoke answers
/// an empty text for a method without a result; a variant holding an empty
/// array stands for a left-out argument.
///
/// Single use: the first client that calls a method becomes the client of
/// this instance. With a relay (setRelay), the instance keeps the well-known
/// name and hands the calls of every other connection to the relay, which
/// serves each through a private instance of its own. Without one, the name
/// is released at once, so the next client's call starts (or reaches) another
/// instance, and calls from any other connection are refused with
/// "Tessra.Error.AccessDenied". When the client's
/// connection closes, or it calls Release, clientGone() is emitted (once); the
/// application then quits without asking.
///
/// Calls are served on the GUI thread from the event loop, one at a time; a
/// method that waits (SimRunWait, SimWait, SimPause, LoadModel,
/// TimeSeriesExport …) runs a nested event loop in which the windows, the
/// timers and further calls keep being served. The reply is sent when the
/// method returns, however long that takes: a client must give waiting calls
/// a timeout long enough (the D-Bus libraries' default is 25 s).
class AutomationServer : public QDBusVirtualObject {
    Q_OBJECT
public:
    static constexpr auto ServiceName = "Tessra.FrontEnd";
    static constexpr auto ObjectPath = "/FrontEnd";
    static constexpr auto InterfaceName = "Tessra.FrontEnd";
    static constexpr auto AccessDeniedError = "Tessra.Error.AccessDenied";

    /// `core` must outlive the server; every call runs on it through the
    /// dispatcher. `serviceName` is the well-known name to own; only tests pass
    /// another than ServiceName.
    AutomationServer(Core& core, const QDBusConnection& connection,
        const QString& serviceName = QString::fromLatin1(ServiceName), QObject* parent = nullptr);
    ~AutomationServer() override;

    /// Registers the object and asks for the well-known name (waiting in the
    /// bus's queue while another unattached instance holds it). False, with
    /// errorText(), when there is no bus or the object or name cannot be had.
    bool start();
    /// Calls of connections other than the client go to `relay` (which must
    /// outlive the server), and the well-known name is kept. Before start().
    void setRelay(AutomationRelay* relay) { m_relay = relay; }
    /// Serves only `client` from the start (a private instance serving the
    /// hub that started it) and keeps its name. Before start().
    void serveOnly(const QString& client) { m_onlyClient = client; }
    QString errorText() const { return m_error; }
    /// Unique bus name of the client being served; empty before the first call.
    QString client() const { return m_client; }

    /// The introspection data of the interface.
    static QString interfaceXml();

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

signals:
    /// The first client has called; `uniqueName` is its connection.
    void clientAttached(const QString& uniqueName);
    /// The client has called Release or closed its connection; emitted once,
    /// from the event loop. The application requests a pause (a call of the
    /// gone client may still be waiting in a nested loop for the run to end)
    /// and quits without the close question.
    void clientGone();

private:
    void serve(const QDBusMessage& message);
    void attach(const QString& client);
    void finish();
    QDBusMessage invokeLateBound(const QDBusMessage& message) const;
    QDBusMessage invokeTyped(const QDBusMessage& message) const;
    void reply(const QDBusMessage& message, const QDBusMessage& answer) const;

    AutomationDispatcher m_dispatcher;
    QDBusConnection m_connection;
    QString m_serviceName;
    QDBusServiceWatcher* m_watcher = nullptr;
    AutomationRelay* m_relay = nullptr;
    QString m_onlyClient;
    QString m_client;
    QString m_error;
    bool m_objectRegistered = false;
    bool m_nameRequested = false;
    bool m_finished = false;
};

} // namespace tessra
