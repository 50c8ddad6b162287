#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>

class QDBusServiceWatcher;

namespace tessra {

/// How an instance started by a relay for one script is told whom it serves:
/// the switch "/automation-private" followed by the hub's unique bus name and
/// the private bus name to own.
struct PrivateStart {
    static constexpr auto Switch = "/automation-private";
    static constexpr auto ObjectPath = "/FrontEnd";
    static constexpr auto Interface = "Tessra.FrontEnd";
    QString hub; ///< unique name of the hub's connection, the only client served
    QString serviceName; ///< the private well-known name, "Tessra.FrontEnd.p<pid>_<n>"
};

/// Takes the private switch and its two values out of `arguments` (the
/// command-line arguments after the program path). Nothing when the switch is
/// absent; an error text when it is malformed.
std::optional<PrivateStart> takePrivateStart(QStringList& arguments, QString* error);

/// Whether this process really was started by the hub named in `start`: the
/// hub's connection belongs to this process's parent. The switch is refused
/// when given by hand.
bool startedByHub(const PrivateStart& start, const QDBusConnection& connection);

/// The hub's side of automation for more than one script at a time.
///
/// The bus queues every call made to "Tessra.FrontEnd" while an activated
/// instance starts and hands them all to it; scripts calling by the
/// well-known name reach the same instance too. So the instance that serves
/// its first client (the hub) keeps the name and passes the calls of every
/// other connection to the relay, which starts a private instance of the
/// program for that connection (its own executable, arguments and working
/// folder, plus the private switch) and forwards that connection's calls to
/// it, answers and errors coming back unchanged. Each script thus gets its
/// own model state, world and series, whatever the timing of its calls.
///
/// Calls are forwarded in the order they arrive and without a timeout (a
/// SimRunWait may take hours); calls that arrive while the private instance
/// starts wait for it. Release, or the script's connection closing, ends the
/// private instance: Release is forwarded, and a process still running a
/// while after is terminated. A private instance ends by itself when the hub
/// goes away.
class AutomationRelay : public QObject {
    Q_OBJECT
public:
    /// `arguments` are the hub's own command-line arguments after the program
    /// path; each private instance gets them after the private switch.
    AutomationRelay(
        const QDBusConnection& connection, const QStringList& arguments, QObject* parent = nullptr);
    /// Releases the private instances still running and waits for their end.
    ~AutomationRelay() override;

    /// Serves one call of a connection other than the hub's own client.
    void relay(const QDBusMessage& message);
    /// Number of scripts served through private instances.
    int clientCount() const { return int(m_routes.size()); }

signals:
    /// The last relayed script is gone and its private instance has ended.
    void lastClientGone();

private:
    struct Route;
    Route& routeFor(const QString& client);
    void forward(Route& route, const QDBusMessage& message);
    void registered(Route& route);
    void releaseQuietly(Route& route);
    void clientGone(const QString& client);
    void processEnded(const QString& client, const QString& why);
    void fail(Route& route, const QString& why);
    void remove(const QString& client);

    QDBusConnection m_connection;
    QStringList m_arguments;
    QDBusServiceWatcher* m_clients;
    std::map<QString, std::unique_ptr<Route>> m_routes;
    QSet<QString> m_released; ///< clients whose instance has ended after their Release
    int m_started = 0;
};

} // namespace tessra
