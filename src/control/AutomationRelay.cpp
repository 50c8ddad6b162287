#include "AutomationRelay.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <limits>
#include <unistd.h>

#include "AutomationDispatcher.h"
#include "CommandLineSwitch.h"

namespace tessra {

namespace {

const QString PrivatePrefix = QStringLiteral("Tessra.FrontEnd.p");
const QString ReleaseMethod = QStringLiteral("Release");
const QString ExceptionError = QStringLiteral("Tessra.Error.Exception");
const QString AccessDeniedError = QStringLiteral("Tessra.Error.AccessDenied");

/// How long a private instance may take to end after its Release before it is
/// terminated, and then killed.
constexpr int EndGraceMs = 60000;
constexpr int KillGraceMs = 10000;
/// How long the hub, when it ends, waits for each private instance.
constexpr int ExitWaitMs = 10000;

/// Waits for an answer as long as it takes: a forwarded SimRunWait may run for
/// hours, and the script's own call has its own timeout.
constexpr int NoTimeout = std::numeric_limits<int>::max();

bool isRelease(const QDBusMessage& message)
{
    return automationNameMatches(ReleaseMethod, message.member());
}

void endLater(QProcess* process)
{
    QTimer::singleShot(EndGraceMs, process, [process] {
        process->terminate();
        QTimer::singleShot(KillGraceMs, process, [process] { process->kill(); });
    });
}

} // namespace

std::optional<PrivateStart> takePrivateStart(QStringList& arguments, QString* error)
{
    const QString name = QString::fromLatin1(PrivateStart::Switch).mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const std::optional<QString> found = commandLineSwitch(arguments.at(i));
        if (!found || found->compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const QString hub = arguments.value(i + 1);
        const QString serviceName = arguments.value(i + 2);
        if (!hub.startsWith(QLatin1Char(':')) || !serviceName.startsWith(PrivatePrefix)) {
            *error = QStringLiteral("%1 must be followed by a bus connection and a private name")
                         .arg(PrivateStart::Switch);
            return std::nullopt;
        }
        arguments.remove(i, qMin<qsizetype>(3, arguments.size() - i));
        return PrivateStart { hub, serviceName };
    }
    return std::nullopt;
}

bool startedByHub(const PrivateStart& start, const QDBusConnection& connection)
{
    if (!connection.isConnected())
        return false;
    const QDBusReply<uint> pid = connection.interface()->servicePid(start.hub);
    return pid.isValid() && pid.value() == uint(::getppid());
}

struct AutomationRelay::Route {
    QString client;
    QString serviceName; ///< the private instance's name
    QString target; ///< its unique name, once it serves
    QProcess* process = nullptr;
    QDBusServiceWatcher* watcher = nullptr;
    QList<QDBusMessage> waiting; ///< calls that came before it served
    QString failure; ///< when set, every call is answered with this error
    bool released = false;
    bool clientGone = false;
    bool ended = false;

    ~Route()
    {
        delete watcher;
        if (process) {
            process->disconnect();
            process->deleteLater();
        }
    }
};

AutomationRelay::AutomationRelay(
    const QDBusConnection& connection, const QStringList& arguments, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_arguments(arguments)
    , m_clients(new QDBusServiceWatcher(this))
{
    m_clients->setConnection(connection);
    m_clients->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_clients, &QDBusServiceWatcher::serviceUnregistered, this,
        [this](const QString& client) { clientGone(client); });
}

AutomationRelay::~AutomationRelay()
{
    // The hub is ending (its user closed it): the private instances end too,
    // through their normal exit. They would also notice the hub's connection
    // closing; the Release only makes it sooner.
    std::vector<QProcess*> running;
    for (auto& [client, route] : m_routes) {
        if (route->ended)
            continue;
        if (!route->target.isEmpty() && !route->released)
            releaseQuietly(*route);
        running.push_back(route->process);
    }
    for (QProcess* process : running) {
        process->disconnect();
        if (!process->waitForFinished(ExitWaitMs)) {
            process->kill();
            process->waitForFinished();
        }
    }
}

void AutomationRelay::relay(const QDBusMessage& message)
{
    const QString client = message.service();
    auto found = m_routes.find(client);
    if (found == m_routes.end() && m_released.contains(client)) {
        // Released, and its private instance has ended.
        if (message.isReplyRequired())
            m_connection.send(message.createErrorReply(
                AccessDeniedError, QStringLiteral("This Tessra instance has been released")));
        return;
    }
    Route& route = found != m_routes.end() ? *found->second : routeFor(client);
    if (!route.failure.isEmpty()) {
        if (message.isReplyRequired())
            m_connection.send(isRelease(message)
                    ? message.createReply()
                    : message.createErrorReply(ExceptionError, route.failure));
        return;
    }
    if (route.target.isEmpty())
        route.waiting.append(message);
    else
        forward(route, message);
}

AutomationRelay::Route& AutomationRelay::routeFor(const QString& client)
{
    auto route = std::make_unique<Route>();
    route->client = client;
    route->serviceName = PrivatePrefix
        + QStringLiteral("%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_started);
    // Watched before the process starts, so its registration is never missed.
    route->watcher = new QDBusServiceWatcher(
        route->serviceName, m_connection, QDBusServiceWatcher::WatchForRegistration);
    connect(route->watcher, &QDBusServiceWatcher::serviceRegistered, this, [this, client] {
        if (auto found = m_routes.find(client); found != m_routes.end())
            registered(*found->second);
    });

    route->process = new QProcess(this);
    QProcess* process = route->process;
    process->setProgram(QCoreApplication::applicationFilePath());
    process->setArguments(QStringList { QString::fromLatin1(PrivateStart::Switch),
                              m_connection.baseService(), route->serviceName }
        + m_arguments);
    process->setWorkingDirectory(QDir::currentPath());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this,
        [this, client](int exitCode, QProcess::ExitStatus status) {
            processEnded(client,
                status == QProcess::CrashExit
                    ? QStringLiteral("it crashed")
                    : QStringLiteral("it ended with exit code %1").arg(exitCode));
        });
    connect(process, &QProcess::errorOccurred, this,
        [this, client, process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                processEnded(client, process->errorString());
        });

    Route& added = *m_routes.emplace(client, std::move(route)).first->second;
    m_clients->addWatchedService(client);
    process->start();
    // The client may have gone before the watch began.
    if (!m_connection.interface()->isServiceRegistered(client).value())
        QMetaObject::invokeMethod(
            this, [this, client] { clientGone(client); }, Qt::QueuedConnection);
    return added;
}

void AutomationRelay::forward(Route& route, const QDBusMessage& message)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        route.target, message.path(), message.interface(), message.member());
    call.setArguments(message.arguments());
    if (isRelease(message)) {
        route.released = true;
        endLater(route.process);
    }
    if (!message.isReplyRequired()) {
        call.setAutoStartService(false);
        m_connection.send(call);
        return;
    }
    auto* pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call, NoTimeout), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
        [this, message](QDBusPendingCallWatcher* answered) {
            const QDBusMessage answer = answered->reply();
            m_connection.send(answer.type() == QDBusMessage::ErrorMessage
                    ? message.createErrorReply(answer.errorName(), answer.errorMessage())
                    : message.createReply(answer.arguments()));
            answered->deleteLater();
        });
}

void AutomationRelay::registered(Route& route)
{
    if (!route.target.isEmpty() || route.ended)
        return;
    // The name is only trusted when the process this relay started owns it.
    const QDBusReply<uint> pid = m_connection.interface()->servicePid(route.serviceName);
    const QDBusReply<QString> owner = m_connection.interface()->serviceOwner(route.serviceName);
    if (!pid.isValid() || !owner.isValid() || qint64(pid.value()) != route.process->processId()) {
        fail(route,
            QStringLiteral("TFrontEnd: another program took the name %1").arg(route.serviceName));
        route.process->terminate();
        return;
    }
    route.target = owner.value();
    const QList<QDBusMessage> waiting = std::exchange(route.waiting, {});
    for (const QDBusMessage& message : waiting)
        forward(route, message);
    if (route.clientGone && !route.released)
        releaseQuietly(route);
}

void AutomationRelay::releaseQuietly(Route& route)
{
    QDBusMessage release = QDBusMessage::createMethodCall(route.target,
        QString::fromLatin1(PrivateStart::ObjectPath), QString::fromLatin1(PrivateStart::Interface),
        ReleaseMethod);
    release.setAutoStartService(false);
    m_connection.send(release);
    route.released = true;
    endLater(route.process);
}

void AutomationRelay::clientGone(const QString& client)
{
    m_released.remove(client);
    auto found = m_routes.find(client);
    if (found == m_routes.end()) {
        m_clients->removeWatchedService(client);
        return;
    }
    Route& route = *found->second;
    if (route.clientGone)
        return;
    route.clientGone = true;
    if (route.ended) {
        remove(client);
        return;
    }
    if (!route.released && !route.target.isEmpty())
        releaseQuietly(route);
    // Before it serves, it is released as soon as it does (registered()).
    endLater(route.process);
}

void AutomationRelay::processEnded(const QString& client, const QString& why)
{
    auto found = m_routes.find(client);
    if (found == m_routes.end())
        return;
    Route& route = *found->second;
    if (route.ended)
        return;
    route.ended = true;
    if (route.clientGone) {
        remove(client);
    } else if (route.released) {
        m_released.insert(client);
        remove(client);
    } else if (route.target.isEmpty()) {
        fail(route,
            QStringLiteral("TFrontEnd: Tessra could not start an instance for this script: %1")
                .arg(why));
    } else {
        fail(route,
            QStringLiteral("TFrontEnd: the Tessra instance serving this script has ended: %1")
                .arg(why));
    }
}

void AutomationRelay::fail(Route& route, const QString& why)
{
    route.failure = why;
    const QList<QDBusMessage> waiting = std::exchange(route.waiting, {});
    for (const QDBusMessage& message : waiting)
        if (message.isReplyRequired())
            m_connection.send(isRelease(message) ? message.createReply()
                                                 : message.createErrorReply(ExceptionError, why));
}

void AutomationRelay::remove(const QString& client)
{
    m_routes.erase(client);
    if (!m_released.contains(client))
        m_clients->removeWatchedService(client);
    if (m_routes.empty())
        emit lastClientGone();
}

} // namespace tessra
