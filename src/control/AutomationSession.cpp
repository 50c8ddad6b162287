#include "AutomationSession.h"

#include <QCoreApplication>
#include <QtGlobal>

#include "Core.h"
#include "FrontEnd.h"

namespace tessra {

AutomationSession::AutomationSession(
    Core& core, const QDBusConnection& connection, const QString& serviceName, QObject* parent)
    : QObject(parent)
    , m_core(core)
    , m_host(core)
    , m_object(core.model(), m_host)
    , m_relay(connection, QCoreApplication::arguments().mid(1))
    , m_server(m_object, connection, serviceName)
{
    m_server.setRelay(&m_relay);
    connect(&m_server, &AutomationServer::clientGone, this, &AutomationSession::clientGone);
    connect(
        &m_relay, &AutomationRelay::lastClientGone, this, &AutomationSession::relayedClientsGone);
}

AutomationSession::~AutomationSession() = default;

bool AutomationSession::start()
{
    if (m_server.start())
        return true;
    qWarning("Automation is not available: %s", qPrintable(m_server.errorText()));
    return false;
}

void AutomationSession::servePrivately(const QString& hub)
{
    m_private = true;
    m_server.setRelay(nullptr);
    m_server.serveOnly(hub);
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
    // exit() ends the event loops without closing windows: quit() would close
    // the main window, and that asks the user whether to end an automated run.
    QCoreApplication::exit(0);
}

} // namespace tessra
