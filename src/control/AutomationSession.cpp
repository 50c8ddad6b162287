#include "AutomationSession.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QTimer>
#include <QtGlobal>

#include "Core.h"
#include "FrontEnd.h"

namespace tessra {

namespace {

constexpr int BusCheckMilliseconds = 500;

} // namespace

AutomationSession::AutomationSession(
    Core& core, const QDBusConnection& connection, const QString& serviceName, QObject* parent)
    : QObject(parent)
    , m_core(core)
    , m_relay(connection, QCoreApplication::arguments().mid(1))
    , m_server(core, connection, serviceName)
    , m_connection(connection)
    , m_serviceName(serviceName)
{
    m_server.setRelay(&m_relay);
    connect(&m_server, &AutomationServer::clientGone, this, &AutomationSession::clientGone);
    connect(
        &m_relay, &AutomationRelay::lastClientGone, this, &AutomationSession::relayedClientsGone);
}

AutomationSession::~AutomationSession() = default;

bool AutomationSession::start()
{
    if (m_server.start()) {
        // The connection notices a closed bus only by itself; nothing is sent.
        m_busCheck = new QTimer(this);
        connect(m_busCheck, &QTimer::timeout, this, &AutomationSession::checkBus);
        m_busCheck->start(BusCheckMilliseconds);
        return true;
    }
    qWarning("Automation is not available: %s", qPrintable(m_server.errorText()));
    return false;
}

void AutomationSession::servePrivately(const QString& hub)
{
    m_private = true;
    m_server.setRelay(nullptr);
    m_server.serveOnly(hub);
}

void AutomationSession::checkBus()
{
    if (m_connection.isConnected())
        return;
    m_busCheck->stop();
    qWarning("The session bus has gone away: no script can reach this instance, so it ends.");
    m_core.frontEnd().requestPause();
    QCoreApplication::exit(0);
}

void AutomationSession::clientGone()
{
    m_clientGone = true;
    m_core.frontEnd().requestPause();
    if (!m_private && m_relay.clientCount() > 0) {
        emit hideRequested();
        return;
    }
    relayedClientsGone();
}

void AutomationSession::relayedClientsGone()
{
    if (!m_clientGone)
        return;
    if (!m_private && !m_nameGivenUp) {
        // A script may have called the name just now. Give the name up (the bus
        // answers after handing over every call made to it before), let those
        // calls reach the relay, and stay if they did: the next script's call
        // starts a new instance.
        m_nameGivenUp = true;
        if (m_connection.isConnected())
            m_connection.interface()->unregisterService(m_serviceName);
        QTimer::singleShot(100, this, [this] {
            if (m_relay.clientCount() == 0)
                QCoreApplication::exit(0);
            else
                emit hideRequested();
        });
        return;
    }
    if (!m_private && m_relay.clientCount() > 0)
        return;
    // exit() ends the event loops without closing windows: quit() would close
    // the main window, and that asks the user whether to end an automated run.
    QCoreApplication::exit(0);
}

} // namespace tessra
